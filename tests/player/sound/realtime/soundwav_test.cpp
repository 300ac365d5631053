// What the sound controls do on air, rendered to a WAV on the "no sound" device's manual clock and
// measured: the equaliser switched on and off, mute and unmute on quiet and loud items, and the
// rate of a deck, which the deck fading out keeps when the next track starts.
#include "tests/player/sound/soundwindow.h"

#include "controls/spinfloatedit.h"
#include "controls/tbar.h"
#include "engine/audioengine.h"
#include "player/sequencing/sequencingdeck.h"
#include "player/sequencing/sequencingplayback.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

using namespace player;
using soundtest::SoundWindow;

namespace {

constexpr int kRate = 44100;

// A tone whose peak is given as a share of full scale.
std::string tone(double hz, double peak, double seconds, int rate)
{
    return playertest::toneWav(hz, seconds, rate, peak * 32767);
}

// The left channel of the 16-bit stereo WAV the device rendered (its header is 44 bytes).
std::vector<float> renderedLeft(const std::string& bytes)
{
    std::vector<float> left;
    for (std::size_t p = 44; p + 4 <= bytes.size(); p += 4) {
        std::int16_t v = 0;
        std::memcpy(&v, &bytes[p], 2);
        left.push_back(v / 32768.0f);
    }
    return left;
}

double level(const std::vector<float>& x, std::size_t from, std::size_t n, double hz)
{
    return playertest::toneAmplitude(x, from, n, hz, kRate);
}

double db(double ratio) { return 20 * std::log10(ratio); }

class SoundOnAir : public SoundWindow {
protected:
    void start(const std::string& name, const std::string& bytes)
    {
        form->AddFile(QString::fromStdString(programDir.write(name, bytes)));
        form->RenumberList();
        form->LVMaster->selectRows({form->LVMaster->rowCount() - 1});
        form->aPlay();
        QCoreApplication::sendPostedEvents();
    }
    void renderTo(const std::string& wav) { ASSERT_TRUE(audiolib::setRenderFile(wav)); }
    // Renders 100 ms for the last change to settle, then the 300 ms to measure; returns the
    // sample index where those start in the WAV.
    std::size_t render()
    {
        audiolib::advance(kRate / 10);
        const std::size_t at = m_rendered + kRate / 10;
        audiolib::advance(kRate * 3 / 10);
        m_rendered = at + kRate * 3 / 10;
        return at;
    }
    std::vector<float> finish(const std::string& wav)
    {
        audiolib::setRenderFile("");
        return renderedLeft(programDir.read(wav));
    }
    engine::TAudioEngine& onAir() { return static_cast<EngineDeck&>(form->Sequencer->deckA()).engine(); }

    std::size_t m_rendered = 0;
};

constexpr std::size_t kWindow = kRate / 5;  // 200 ms of each measured stretch

TEST_F(SoundOnAir, TheEqualiserIsHeardOnlyWhileItIsOn)
{
    open("[Device]\r\nMainDev=0\r\n[Equalizer]\r\nBandsNum=5\r\nFreq0=60\r\nFreq1=200\r\nFreq2=400\r\nFreq3=700\r\nFreq4=1000\r\n");
    const std::string wav = programDir.path() + "/eq.wav";
    form->TrackBar[4]->setValue(-10);  // +10 dB at 1 kHz, with the equaliser still off
    start("tone.wav", tone(1000, 0.03, 4, kRate));
    renderTo(wav);
    const std::size_t off = render();
    form->SpeedButton1->click();
    const std::size_t on = render();
    form->SpeedButton1->click();
    const std::size_t offAgain = render();
    const std::vector<float> mix = finish(wav);

    const double base = level(mix, off, kWindow, 1000);
    ASSERT_GT(base, 0.005);
    EXPECT_NEAR(db(level(mix, on, kWindow, 1000) / base), 10.0, 1.0);
    EXPECT_NEAR(db(level(mix, offAgain, kWindow, 1000) / base), 0.0, 0.5);
}

TEST_F(SoundOnAir, MuteTakes30DbOffTheAirAtAnyLevelAndUnmuteBringsItBack)
{
    open();
    // A quiet item, then one near full scale, which the compressor holds down: mute takes its
    // 30 dB off both alike. Each has a tone of its own, apart from the one before still fading.
    for (const auto& [hz, peak] : {std::pair{440.0, 0.1}, std::pair{1000.0, 0.95}}) {
        const std::string wav = programDir.path() + "/mute" + std::to_string(static_cast<int>(hz)) + ".wav";
        start("tone" + std::to_string(static_cast<int>(hz)) + ".wav", tone(hz, peak, 4, kRate));
        m_rendered = 0;
        renderTo(wav);
        const std::size_t before = render();
        form->SpeedButton11->click();
        const std::size_t muted = render();
        form->SpeedButton11->click();
        const std::size_t after = render();
        const std::vector<float> mix = finish(wav);

        const double base = level(mix, before, kWindow, hz);
        ASSERT_GT(base, 0.02) << hz;
        std::printf("peak %.2f: muted %+.2f dB, unmuted %+.2f dB\n", peak, db(level(mix, muted, kWindow, hz) / base),
                    db(level(mix, after, kWindow, hz) / base));
        EXPECT_NEAR(db(level(mix, muted, kWindow, hz) / base), -30.0, 0.3) << "peak " << peak;
        EXPECT_NEAR(db(level(mix, after, kWindow, hz) / base), 0.0, 0.3) << "peak " << peak;
    }
}

TEST_F(SoundOnAir, TheRateMovesTheToneAndTheFadingDeckKeepsItsRateAtTheNextStart)
{
    open(soundtest::kTwelveBands + "[Options]\r\nFXTempo=1\r\n");
    // Music fades out over 2 s: the old deck is still heard right after the next start.
    form->musfade->SetValue(2.0L);
    form->cbmusfade->setChecked(true);
    const std::string wav = programDir.path() + "/rate.wav";
    start("first.wav", tone(1000, 0.05, 6, kRate));
    ASSERT_EQ(form->tbSample->value(), 882);
    renderTo(wav);
    const std::size_t own = render();
    form->tbSample->setValue(1323);  // 66150 Hz: one and a half times as fast and high
    EXPECT_EQ(form->Label42->text(), "66150Hz");
    const std::size_t faster = render();
    engine::TAudioEngine& first = onAir();

    start("second.wav", tone(1000, 0.05, 6, 48000));
    engine::TAudioEngine& second = onAir();
    ASSERT_NE(&first, &second);
    EXPECT_EQ(second.SampleRate(), 48000) << "the new track plays at its own rate";
    EXPECT_EQ(first.SampleRate(), 66150) << "the deck fading out is not re-rated";
    EXPECT_EQ(form->tbSample->value(), 960);
    EXPECT_EQ(form->tbSample->minimum(), 480);
    EXPECT_EQ(form->tbSample->maximum(), 1440);
    const std::size_t overlap = render();
    const std::vector<float> mix = finish(wav);

    EXPECT_GT(level(mix, own, kWindow, 1000), 0.02);
    EXPECT_LT(level(mix, own, kWindow, 1500), 0.002);
    EXPECT_GT(level(mix, faster, kWindow, 1500), 0.02);
    EXPECT_LT(level(mix, faster, kWindow, 1000), 0.002);
    // Both tracks at once: the new one at 1 kHz, the old one still at 1.5 kHz (re-rated to the new
    // track's 48000 Hz it would sound at 1088 Hz).
    EXPECT_GT(level(mix, overlap, kWindow, 1000), 0.02);
    EXPECT_GT(level(mix, overlap, kWindow, 1500), 0.01);
    EXPECT_LT(level(mix, overlap, kWindow, 1088), 0.002);
}

}  // namespace
