// The playback deck on the "no sound" device under the manual clock: starting and failing to
// start, position, pause, the end notification and its identity, the cut tail, effects on and off,
// tempo under a tempo stream, and the database program's own end.
#include "deckfixture.h"

#include "engine/deckregistry.h"
#include "platform/messageids.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>

namespace enginetest {
namespace {

using engine::STATE_END;
using engine::STATE_PAUSE;
using engine::STATE_PLAY;
using engine::STATE_STOP;
using engine::TAudioEngine;

constexpr int kRate = 44100;

class DeckStartTest : public DeckFixture {};

TEST_F(DeckStartTest, FilesThatCannotPlayLeaveTheDeckStoppedWithAnError)
{
    std::ofstream(path("empty.mp3")).close();
    std::ofstream(path("junk.wav")) << std::string(5000, 'x');
    for (const char* name : {"missing.mp3", "empty.mp3", "junk.wav", "missing.wma", "Track01.cda"}) {
        SCOPED_TRACE(name);
        m_deck->PlayFile(path(name));
        EXPECT_EQ(m_deck->State(), STATE_STOP);
        EXPECT_NE(m_deck->LastError(), 0);
        EXPECT_EQ(m_deck->PlayHandle(), 0u);
        EXPECT_EQ(m_deck->GetPosition(), 0);
        m_deck->Pause();
        EXPECT_EQ(m_deck->State(), STATE_STOP);
    }
}

TEST_F(DeckStartTest, PlaysPausesResumesAndStops)
{
    m_deck->PlayFile(wav("tone.wav", toneThenSilence(kRate, 0, 8000)));
    ASSERT_EQ(m_deck->State(), STATE_PLAY);
    EXPECT_EQ(m_deck->LastError(), 0);
    EXPECT_EQ(m_deck->LengthMs, 1000);
    EXPECT_EQ(m_deck->ChannelRate, kRate);
    EXPECT_EQ(m_deck->GetVolume(), 100);

    audiolib::advance(kRate / 2);
    EXPECT_NEAR(m_deck->GetPosition(), 500, 15);

    m_deck->Pause();
    EXPECT_EQ(m_deck->State(), STATE_PAUSE);
    const int paused = m_deck->GetPosition();
    audiolib::advance(kRate / 4);
    EXPECT_EQ(m_deck->GetPosition(), paused);
    m_deck->Resume();
    EXPECT_EQ(m_deck->State(), STATE_PLAY);
    audiolib::advance(kRate / 4);
    EXPECT_NEAR(m_deck->GetPosition(), 750, 15);

    m_deck->SetPosition(200);
    EXPECT_NEAR(m_deck->GetPosition(), 200, 15);

    m_deck->Stop();
    EXPECT_EQ(m_deck->State(), STATE_STOP);
    EXPECT_EQ(m_deck->GetPosition(), 0);
    m_deck->Stop();  // stopping twice is harmless
    EXPECT_EQ(m_deck->State(), STATE_STOP);
}

TEST_F(DeckStartTest, PanSetBeforeAnyTrackAppliesToLaterTracks)
{
    m_deck->SetPan(-40);
    m_deck->PlayFile(wav("a.wav", toneThenSilence(kRate / 10, 0, 8000)));
    EXPECT_EQ(m_deck->GetPan(), -40);
    m_deck->PlayFile(wav("b.wav", toneThenSilence(kRate / 10, 0, 8000)));
    EXPECT_EQ(m_deck->GetPan(), -40);
}

TEST_F(DeckStartTest, PositionReadsZeroOnceTheOwnerMarksTheEnd)
{
    m_deck->PlayFile(wav("a.wav", toneThenSilence(kRate, 0, 8000)));
    audiolib::advance(kRate / 2);
    EXPECT_GT(m_deck->GetPosition(), 0);
    m_deck->SetState(STATE_END);
    EXPECT_EQ(m_deck->GetPosition(), 0);
}

TEST_F(DeckStartTest, LevelsComeRightFirstAndTheSpectrumOnlyWhilePlaying)
{
    std::vector<std::int16_t> leftOnly = toneThenSilence(kRate, 0, 16000, 1000.0);
    for (std::size_t i = 1; i < leftOnly.size(); i += 2)
        leftOnly[i] = 0;
    engine::Spectrum spectrum;
    spectrum.fill(1.0f);
    m_deck->GetFFT(spectrum);
    EXPECT_TRUE(std::all_of(spectrum.begin(), spectrum.end(), [](float v) { return v == 0.0f; }));

    m_deck->PlayFile(wav("left.wav", leftOnly));
    audiolib::advance(kRate / 10);
    int first = -1;
    int second = -1;
    m_deck->GetLevel(first, second);
    EXPECT_EQ(first, 0);
    EXPECT_GT(second, 40);

    m_deck->GetFFT(spectrum);
    EXPECT_GT(*std::max_element(spectrum.begin(), spectrum.end()), 0.05f);
    m_deck->Pause();
    spectrum.fill(1.0f);
    m_deck->GetFFT(spectrum);
    EXPECT_TRUE(std::all_of(spectrum.begin(), spectrum.end(), [](float v) { return v == 0.0f; }));
    m_deck->Stop();
    m_deck->GetLevel(first, second);
    EXPECT_EQ(first + second, 0);
}

TEST_F(DeckStartTest, DeckSharingADeviceLeavesItOpenWhenFreed)
{
    m_deck->PlayFile(wav("a.wav", toneThenSilence(kRate, 0, 8000)));
    {
        TAudioEngine jingle(m_window->handle());
        jingle.Device = audiolib::kDeviceNoSound;
        jingle.PlayFile(wav("b.wav", toneThenSilence(kRate, 0, 8000)));
        ASSERT_EQ(jingle.State(), STATE_PLAY);
        jingle.DestroyShared();
        EXPECT_EQ(jingle.State(), STATE_STOP);
    }
    ASSERT_TRUE(audiolib::advance(kRate / 10));
    EXPECT_EQ(m_deck->State(), STATE_PLAY);
    EXPECT_NEAR(m_deck->GetPosition(), 100, 15);
}

class DeckEndTest : public DeckFixture {};

TEST_F(DeckEndTest, EndOfTrackIsPostedToTheCreatingWindowWithTheDeckAndItsStart)
{
    m_deck->PlayFile(wav("short.wav", toneThenSilence(kRate / 5, 0, 8000)));
    const std::uint32_t start = m_deck->StartNumber();
    ASSERT_GE(advanceUntil(kRate, 441, [&] { return endMessages() > 0; }), 0);
    const Message m = m_window->messages.back();
    EXPECT_EQ(m.msg, platform::UM_DECK_ENDED);
    EXPECT_EQ(m.wParam, static_cast<platform::WParam>(start));
    EXPECT_EQ(m.lParam, static_cast<platform::LParam>(m_deck->DeckNumber()));
    EXPECT_EQ(TAudioEngine::FromEndMessage(m.wParam, m.lParam), m_deck.get());
    EXPECT_EQ(m_deck->State(), STATE_PLAY) << "the owner, not the deck, marks the end";
    audiolib::advance(kRate / 2);
    pumpEvents();
    EXPECT_EQ(endMessages(), 1u);
}

TEST_F(DeckEndTest, CutTailNotifiesAtTheCutPoint)
{
    // Half a second of tone, half a second of silence.
    m_deck->SkipSilence = true;
    m_deck->SilenceThreshold = 500;
    m_deck->PlayFile(wav("tail.wav", toneThenSilence(kRate / 2, kRate / 2, 10000)));
    ASSERT_EQ(m_deck->State(), STATE_PLAY);
    EXPECT_GT(m_deck->Trim.tailBytes, 0);
    EXPECT_NEAR(m_deck->Trim.tailSeconds, 0.5, 0.01);
    const std::int64_t cutFrame = (m_deck->Trim.lengthBytes - m_deck->Trim.tailBytes) / 4 - m_deck->Trim.startBytes / 4;
    const std::int64_t at = advanceUntil(kRate * 2, 441, [&] { return endMessages() > 0; });
    ASSERT_GE(at, 0) << "no end notification";
    EXPECT_GE(at, cutFrame);
    EXPECT_LE(at, cutFrame + 441);
    EXPECT_LT(at, kRate - 441) << "notified at the end of the file, not at the cut";
}

TEST_F(DeckEndTest, StaleEndMessagesAreRecognised)
{
    m_deck->PlayFile(wav("short.wav", toneThenSilence(kRate / 10, 0, 8000)));
    const std::uint32_t first = m_deck->StartNumber();
    // The end fires and is queued, but the owner starts something else before it is delivered.
    audiolib::advance(kRate / 5);
    m_deck->PlayFile(wav("long.wav", toneThenSilence(kRate, 0, 8000)));
    ASSERT_TRUE(pumpUntil([&] { return endMessages() > 0; }));
    const Message m = m_window->messages.back();
    EXPECT_EQ(m.wParam, static_cast<platform::WParam>(first));
    EXPECT_EQ(TAudioEngine::FromEndMessage(m.wParam, m.lParam), nullptr);
    EXPECT_EQ(TAudioEngine::FromEndMessage(m_deck->StartNumber(), m.lParam), m_deck.get());

    // A message for a deck that has been freed.
    auto other = std::make_unique<TAudioEngine>(m_window->handle());
    const auto number = other->DeckNumber();
    EXPECT_EQ(TAudioEngine::FromEndMessage(other->StartNumber(), number), other.get());
    other.reset();
    EXPECT_EQ(TAudioEngine::FromEndMessage(0, number), nullptr);
    EXPECT_EQ(TAudioEngine::FromEndMessage(0, 0), nullptr);
    EXPECT_EQ(TAudioEngine::FromEndMessage(0, -1), nullptr);
}

TEST_F(DeckEndTest, TruncatedFilePlaysToTheDamageAndNotifiesItsEnd)
{
    const std::string name = wav("cut.wav", toneThenSilence(kRate, 0, 8000));
    std::filesystem::resize_file(name, 44 + 4 * kRate / 5 + 3);  // the header still claims a second
    m_deck->PlayFile(name);
    ASSERT_EQ(m_deck->State(), STATE_PLAY);
    EXPECT_GE(advanceUntil(kRate * 2, 441, [&] { return endMessages() > 0; }), 0);
}

TEST_F(DeckEndTest, StopForAStartAppliesOnlyWhileThatStartPlays)
{
    m_deck->PlayFile(wav("a.wav", toneThenSilence(kRate, 0, 8000)));
    const std::uint32_t faded = m_deck->StartNumber();
    m_deck->PlayFile(wav("b.wav", toneThenSilence(kRate, 0, 8000)));
    EXPECT_FALSE(m_deck->SetVolumeIfStart(faded, 10));
    EXPECT_EQ(m_deck->GetVolume(), 100);
    EXPECT_FALSE(m_deck->StopIfStart(faded, STATE_END));
    EXPECT_EQ(m_deck->State(), STATE_PLAY);
    EXPECT_TRUE(m_deck->SetVolumeIfStart(m_deck->StartNumber(), 10));
    EXPECT_EQ(m_deck->GetVolume(), 10);
    EXPECT_TRUE(m_deck->StopIfStart(m_deck->StartNumber(), STATE_END));
    EXPECT_EQ(m_deck->State(), STATE_END);
    EXPECT_EQ(m_deck->PlayHandle(), 0u);
}

TEST_F(DeckEndTest, FadeThreadNeverStopsATrackStartedAfterItsOwn)
{
    const std::string a = wav("a.wav", toneThenSilence(kRate, 0, 8000));
    const std::string b = wav("b.wav", toneThenSilence(kRate, 0, 8000));
    m_deck->PlayFile(a);
    const std::uint32_t faded = m_deck->StartNumber();
    std::atomic<bool> done{false};
    std::thread fade([&] {
        // What a fade-out of the first track does, over and over, while the owner moves on.
        for (int step = 99; !done; step = step > 0 ? step - 1 : 99) {
            EXPECT_FALSE(m_deck->FileName().empty());
            m_deck->SetVolumeIfStart(faded, step);
            if (step == 0)
                m_deck->StopIfStart(faded, STATE_END);
        }
    });
    for (int i = 0; i < 30; ++i)
        m_deck->PlayFile(i % 2 ? a : b);
    done = true;
    fade.join();
    EXPECT_EQ(m_deck->State(), STATE_PLAY);
    EXPECT_EQ(m_deck->GetVolume(), 100);
}

class DeckEffectsTest : public DeckFixture {};

TEST_F(DeckEffectsTest, EnablingTwiceAddsTheEffectOnce)
{
    m_deck->autoAmpSettings = engine::AutoAmpSettings{30000, 0, 0.0f, 100.0f};
    m_deck->PlayFile(wav("quiet.wav", toneThenSilence(kRate, 0, 1000)));
    m_deck->ResetAutoAmp();
    m_deck->EnableAutoAmp();
    m_deck->EnableAutoAmp();
    ASSERT_TRUE(m_deck->AutoAmpOn());
    audiolib::advance(4410);
    // Every sample heard passes the procedure once: a second copy would count it twice.
    const std::int32_t counted = m_deck->autoAmpState().counter.load();
    EXPECT_GT(counted, 0);
    audiolib::advance(4410);
    EXPECT_EQ(m_deck->autoAmpState().counter.load() - counted, 2 * 4410);

    m_deck->DisableAutoAmp();
    m_deck->DisableAutoAmp();
    EXPECT_FALSE(m_deck->AutoAmpOn());
    const std::int32_t after = m_deck->autoAmpState().counter.load();
    audiolib::advance(4410);
    EXPECT_EQ(m_deck->autoAmpState().counter.load(), after) << "the procedure still runs";
}

TEST_F(DeckEffectsTest, EveryStartAndStopTakesTheOptionalEffectsOff)
{
    m_deck->PlayFile(wav("a.wav", toneThenSilence(kRate, 0, 8000)));
    m_deck->echoParams = {50, 30, 100, 100, 0};
    m_deck->EnableReverb();
    m_deck->EnableEcho();
    m_deck->EnableEcho();
    m_deck->EnableFlanger();
    m_deck->EnableEcho2();
    m_deck->EnableAutoAmp();
    EXPECT_TRUE(m_deck->ReverbOn() && m_deck->EchoOn() && m_deck->FlangerOn() && m_deck->Echo2On() &&
                m_deck->AutoAmpOn());
    EXPECT_EQ(m_deck->flangerParams.sampleRate, kRate);
    m_deck->PlayFile(path("a.wav"));
    EXPECT_FALSE(m_deck->ReverbOn() || m_deck->EchoOn() || m_deck->FlangerOn() || m_deck->Echo2On() ||
                 m_deck->AutoAmpOn());
    m_deck->EnableEcho();
    m_deck->Stop();
    EXPECT_FALSE(m_deck->EchoOn());
}

class OneBandDeckTest : public DeckFixture {
protected:
    engine::EngineSettings settings() const override
    {
        engine::EngineSettings s;
        s.LastBand = 0;
        s.Freq[0] = 1000;
        return s;
    }
    // RMS of the left channel over a tenth of a second, after the filters settle.
    double renderRms()
    {
        audiolib::advance(kRate / 10);
        std::vector<float> mix(kRate / 10 * 2);
        audiolib::advance(kRate / 10, mix.data());
        double sum = 0;
        for (std::size_t i = 0; i < mix.size(); i += 2)
            sum += double(mix[i]) * mix[i];
        return std::sqrt(sum / (mix.size() / 2));
    }
};

TEST_F(OneBandDeckTest, StoredBandGainIsAppliedAtTheNextStart)
{
    const std::string tone = wav("tone.wav", toneThenSilence(kRate, 0, 3000, 1000.0));
    m_deck->PlayFile(tone);
    const double flat = renderRms();
    ASSERT_GT(flat, 0.0);
    m_deck->SetEqualizerGain(0, 12);
    m_deck->SetEqualizerGain(12, -12);  // no such band: ignored
    m_deck->SetEqualizerGain(-1, -12);
    m_deck->PlayFile(tone);
    EXPECT_NEAR(20 * std::log10(renderRms() / flat), 12.0, 1.0);
    m_deck->ResetEqualizer();
    EXPECT_NEAR(20 * std::log10(renderRms() / flat), 0.0, 0.5) << "reset acts on the playing track";
}

TEST_F(OneBandDeckTest, CompressorGainActsOnThePlayingTrack)
{
    m_deck->PlayFile(wav("tone.wav", toneThenSilence(kRate, 0, 3000, 1000.0)));
    const double flat = renderRms();
    engine::CompressorParams params{};
    params.gainDb = -12.0f;
    m_deck->SetCompressorParams(params);
    EXPECT_NEAR(20 * std::log10(renderRms() / flat), -12.0, 1.5);
}

TEST_F(DeckEffectsTest, WithoutTempoStreamTheTempoChangesNothingButIsKept)
{
    m_deck->SetTempo(50);
    EXPECT_EQ(m_deck->Tempo(), 50);
    m_deck->PlayFile(wav("a.wav", toneThenSilence(kRate, 0, 8000)));
    audiolib::advance(kRate / 2);
    EXPECT_NEAR(m_deck->GetPosition(), 500, 15);
}

TEST_F(DeckEffectsTest, BpmWithoutAMeasurementIsZero)
{
    EXPECT_EQ(m_deck->GetBPM(0, 10, 0), 0);
    EXPECT_EQ(m_deck->GetBPM(0, 10, 1), 0);
    EXPECT_EQ(m_deck->GetBPM(0, 10, 7), 0);
    m_deck->PlayFile(path("missing.mp3"));
    EXPECT_EQ(m_deck->GetBPM(0, 10, 2), 0);
}

TEST_F(DeckEffectsTest, BpmOfAClickTrackIsMeasuredAndConvertedForTheTempo)
{
    // 12 s of 120 clicks per minute.
    std::vector<std::int16_t> clicks(static_cast<std::size_t>(kRate) * 12 * 2, 0);
    for (int beat = 0; beat < 24; ++beat) {
        const int start = beat * kRate / 2;
        for (int i = 0; i < 600; ++i) {
            const auto v = static_cast<std::int16_t>((i % 20 < 10 ? 20000 : -20000) * (600 - i) / 600);
            clicks[2 * (start + i)] = v;
            clicks[2 * (start + i) + 1] = v;
        }
    }
    m_deck->PlayFile(wav("clicks.wav", clicks));
    EXPECT_EQ(m_deck->GetBPM(0, 1, 1), 0) << "mode 1 before any measurement";
    const int bpm = m_deck->GetBPM(0, 12, 2);
    EXPECT_NEAR(bpm, 120, 1);
    m_deck->SetTempo(50);
    EXPECT_EQ(m_deck->GetBPM(0, 0, 1), static_cast<int>(std::lround(bpm * 1.5)));
}

class TempoDeckTest : public DeckFixture {
protected:
    engine::EngineSettings settings() const override
    {
        engine::EngineSettings s;
        s.FXTempo = true;
        return s;
    }
};

TEST_F(TempoDeckTest, TempoAppliesAtEveryStart)
{
    m_deck->SetTempo(10);
    m_deck->PlayFile(wav("a.wav", toneThenSilence(kRate * 4, 0, 8000)));
    ASSERT_EQ(m_deck->State(), STATE_PLAY) << m_deck->LastError();
    EXPECT_EQ(m_deck->LengthMs, 4000);
    audiolib::advance(kRate / 2);  // past the tempo processor's start-up latency
    const int from = m_deck->GetPosition();
    audiolib::advance(kRate * 2);
    // Two seconds heard at +10 % tempo cover 2.2 s of the file (the heard position moves in
    // the tempo processor's steps, a few tens of ms).
    EXPECT_NEAR(m_deck->GetPosition() - from, 2200, 40);
}

class BaseDeckTest : public DeckFixture {
protected:
    std::unique_ptr<TAudioEngine> makeDeck() override
    {
        return std::make_unique<TAudioEngine>(m_window->handle(), engine::EngineVariant::Base);
    }
};

TEST_F(BaseDeckTest, EndMarksTheDeckAndStopsItOnTheOwnersThread)
{
    m_deck->PlayFile(wav("short.wav", toneThenSilence(kRate / 10, 0, 8000)));
    ASSERT_EQ(m_deck->State(), STATE_PLAY);
    for (int i = 0; i < 20 && m_deck->State() == STATE_PLAY; ++i)
        audiolib::advance(441);
    EXPECT_EQ(m_deck->State(), STATE_END);
    EXPECT_NE(m_deck->PlayHandle(), 0u) << "the stop waits for the owner's thread";
    ASSERT_TRUE(pumpUntil([&] { return m_deck->PlayHandle() == 0; }));
    EXPECT_EQ(m_deck->State(), STATE_END);
    EXPECT_EQ(endMessages(), 0u) << "this variant posts nothing";
}

TEST_F(BaseDeckTest, QueuedStopDoesNotTouchATrackStartedMeanwhile)
{
    m_deck->PlayFile(wav("short.wav", toneThenSilence(kRate / 10, 0, 8000)));
    for (int i = 0; i < 20 && m_deck->State() == STATE_PLAY; ++i)
        audiolib::advance(441);
    ASSERT_EQ(m_deck->State(), STATE_END);
    m_deck->PlayFile(wav("long.wav", toneThenSilence(kRate, 0, 8000)));
    pumpEvents();
    pumpEvents();
    EXPECT_EQ(m_deck->State(), STATE_PLAY);
    EXPECT_NE(m_deck->PlayHandle(), 0u);
}

}  // namespace
}  // namespace enginetest

namespace enginetest {
namespace {

// On a real-time device a file with no frames ends as soon as it starts: the end must still be
// seen every time, or the deck would stay "playing" with nothing to end it.
class RealTimeEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        engine::setEngineSettings(engine::EngineSettings{});
        audiolib::setManualClock(false);
    }
    void TearDown() override
    {
        pumpEvents();
        audiolib::setManualClock(true);
    }
    QTemporaryDir m_dir;
};

TEST_F(RealTimeEndTest, FileWithoutFramesEndsEveryTime)
{
    CollectingWindow window;
    const std::string empty = m_dir.filePath("empty.wav").toStdString();
    writeWav(empty, {});
    {
        TAudioEngine deck(window.handle(), engine::EngineVariant::Base);
        deck.Device = audiolib::kDeviceNoSound;
        ASSERT_TRUE(deck.InitDevice(audiolib::kDeviceNoSound));
        for (int i = 0; i < 200; ++i) {
            deck.PlayFile(empty);
            ASSERT_NE(deck.PlayHandle(), 0u) << "a header-only file still opens";
            ASSERT_TRUE(pumpUntil([&] { return deck.State() == STATE_END; }, 1000)) << "start " << i;
        }
        deck.Destroy();
    }
    TAudioEngine deck(window.handle());
    deck.Device = audiolib::kDeviceNoSound;
    ASSERT_TRUE(deck.InitDevice(audiolib::kDeviceNoSound));
    for (int i = 0; i < 200; ++i) {
        deck.PlayFile(empty);
        const std::uint32_t start = deck.StartNumber();
        ASSERT_TRUE(pumpUntil(
            [&] {
                return std::any_of(window.messages.begin(), window.messages.end(), [&](const Message& m) {
                    return m.msg == platform::UM_DECK_ENDED && m.wParam == static_cast<platform::WParam>(start);
                });
            },
            1000))
            << "start " << i;
    }
    deck.Destroy();
}

}  // namespace
}  // namespace enginetest
