// Two real decks on the "no sound" device's manual clock, driven by the main timer every 50 ms of
// virtual time: three generated tones crossfade into each other, checked on the rendered mix; the
// next item is opened ahead, and a row changed after that plays as it is at its point.
#include "engine/audioengine.h"
#include "audiolib/audiolib.h"
#include "platform/messageids.h"
#include "platform/window.h"
#include "player/sequencing/maintimer.h"
#include "player/sequencing/nextitem.h"
#include "player/sequencing/sequencingdeck.h"
#include "player/sequencing/sequencingplayback.h"
#include "fakedeck.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <thread>

using namespace std::chrono_literals;

namespace {

constexpr int kRate = 44100;
constexpr int kBlockFrames = kRate / 20;  // one main-timer period

void writeToneWav(const std::string& path, double hz, double seconds)
{
    const int frames = static_cast<int>(seconds * kRate);
    std::ofstream out(path, std::ios::binary);
    auto put = [&out](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.put(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(frames) * 4;
    out.write("RIFF", 4);
    put(36 + dataBytes, 4);
    out.write("WAVEfmt ", 8);
    put(16, 4);
    put(1, 2);
    put(2, 2);
    put(kRate, 4);
    put(kRate * 4, 4);
    put(4, 2);
    put(16, 2);
    out.write("data", 4);
    put(dataBytes, 4);
    for (int i = 0; i < frames; ++i) {
        const auto v = static_cast<std::int16_t>(std::lround(12000 * std::sin(2 * M_PI * hz * i / kRate)));
        put(static_cast<std::uint16_t>(v), 2);
        put(static_cast<std::uint16_t>(v), 2);
    }
}

// Amplitude of one frequency in a block of the left channel (Goertzel).
double toneLevel(const std::vector<float>& stereo, double hz)
{
    const std::size_t n = stereo.size() / 2;
    const double k = 2 * std::cos(2 * M_PI * hz / kRate);
    double s1 = 0, s2 = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double s = stereo[2 * i] + k * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    return std::sqrt(s1 * s1 + s2 * s2 - k * s1 * s2) * 2 / static_cast<double>(n);
}

class EndWindow : public platform::MessageWindow {
public:
    EndWindow() : MessageWindow("SequencerTestWindow", "sequencer test") {}
    player::PlaybackSequencer* sequencer = nullptr;
    player::EngineDeck* decks[2] = {nullptr, nullptr};

protected:
    platform::LResult windowProc(std::uint32_t msg, platform::WParam wParam, platform::LParam lParam) override
    {
        if (msg != platform::UM_DECK_ENDED || sequencer == nullptr)
            return 0;
        engine::TAudioEngine* deck = engine::TAudioEngine::FromEndMessage(wParam, lParam);
        for (player::EngineDeck* d : decks) {
            if (d != nullptr && deck == &d->engine())
                sequencer->WMDeckEnded(*d, static_cast<std::uint32_t>(wParam));
        }
        return 0;
    }
};

TEST(EngineDecksTest, ThreeTonesCrossfadeOnTwoRealDecks)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    audiolib::setManualClock(true);
    EndWindow window;
    engine::TAudioEngine engineA(window.handle());
    engine::TAudioEngine engineB(window.handle());
    // Both decks share the one output device, opened once.
    engineA.Device = audiolib::kDeviceNoSound;
    engineB.Device = audiolib::kDeviceNoSound;
    ASSERT_TRUE(engineA.InitDevice(audiolib::kDeviceNoSound)) << audiolib::lastError();
    player::NextItemPreparer preparer;
    player::EngineDeck deckA(engineA, &preparer);
    player::EngineDeck deckB(engineB, &preparer);

    playerlogictest::FakeList list;
    const double tones[3] = {440, 660, 880};
    for (int i = 0; i < 3; ++i) {
        const std::string path = dir.filePath(QString("tone%1.wav").arg(i)).toStdString();
        writeToneWav(path, tones[i], 2.5);
        list.rows.push_back({"Tone " + std::to_string(i), path});
    }
    // Row 1 holds another file until it has been opened ahead.
    const double staleTone = 550;
    const std::string tone1 = list.rows[1].file;
    list.rows[1].file = dir.filePath("stale.wav").toStdString();
    writeToneWav(list.rows[1].file, staleTone, 2.5);
    platform::ManualMultimediaTimers timers;
    player::PlaybackSequencer sequencer(list, deckA, deckB, timers);
    sequencer.table().records[player::kClassMusic] = {1.0f, 0.5f, true, true};
    window.sequencer = &sequencer;
    window.decks[0] = &deckA;
    window.decks[1] = &deckB;
    player::MainTimerDisplays displays;
    player::MainTimer mainTimer(sequencer, displays);

    list.selected = 0;
    sequencer.aPlay();
    ASSERT_EQ(sequencer.deckA().State(), engine::STATE_PLAY);

    // Per 50 ms block: the level of each tone in the mix.
    std::vector<std::array<double, 3>> levels;
    std::vector<float> block(kBlockFrames * 2);
    double stale = 0;
    for (int i = 0; i < 130; ++i) {
        if (i == 1) {
            std::this_thread::sleep_for(300ms);  // real time for the worker
            list.rows[1].file = tone1;
        }
        ASSERT_TRUE(audiolib::advance(kBlockFrames, block.data()));
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        timers.advance(50ms);
        mainTimer.tick();
        levels.push_back({toneLevel(block, tones[0]), toneLevel(block, tones[1]), toneLevel(block, tones[2])});
        stale = std::max(stale, toneLevel(block, staleTone));
    }
    engineB.DestroyShared();
    engineA.Destroy();
    audiolib::setManualClock(false);

    const double full = 12000.0 / 32768.0;
    auto blockAt = [](double seconds) { return static_cast<std::size_t>(seconds * 20); };
    // Each next tone starts about 1.5 s after the previous one (the mix point, 1 s before the end).
    for (int t = 1; t < 3; ++t) {
        const std::size_t start = blockAt(1.5 * t);
        EXPECT_LT(levels[start - 2][t], full * 0.05) << "tone " << t << " too early";
        EXPECT_GT(levels[start + 1][t], full * 0.8) << "tone " << t << " not started at its mix point";
    }
    // The old tone holds until its fade point (0.5 s before its end), then falls to silence.
    EXPECT_GT(levels[blockAt(1.9)][0], full * 0.8);
    EXPECT_LT(levels[blockAt(2.3)][0], full * 0.5);
    EXPECT_GT(levels[blockAt(2.3)][0], full * 0.1);
    EXPECT_LT(levels[blockAt(2.6)][0], full * 0.02);
    // No silent gap from the first to the last tone.
    for (std::size_t b = 1; b < blockAt(5.3); ++b)
        EXPECT_GT(std::max({levels[b][0], levels[b][1], levels[b][2]}), full * 0.3) << "gap at block " << b;
    // The last tone fades at its own end; nothing follows.
    EXPECT_LT(levels[blockAt(6.0)][2], full * 0.02);
    EXPECT_EQ(list.hl, -1);
    EXPECT_LT(stale, full * 0.2) << "the file opened ahead for a row that changed since was played";
}

}  // namespace
