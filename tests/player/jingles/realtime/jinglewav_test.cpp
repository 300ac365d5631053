// A jingle over the programme, heard on the rendered mix: the track on air drops to the jingle
// level while the jingle plays and comes back after it; a second jingle is still playing when the
// next track starts, which comes in at the jingle level while the old one fades from where it was,
// with no jump up first. The decks run on the manual clock; the fade-out's timer is real, so the
// test lets real time pass with the clock while a fade runs.
#include "tests/player/manualclockwindow.h"
#include "tests/player/wavlevels.h"

#include "player/form1.h"
#include "player/sequencing/crossfade.h"

#include <QThread>

#include <gtest/gtest.h>

#include <array>

using namespace player;

namespace {

constexpr double kTrack1 = 440;
constexpr double kTrack2 = 660;
constexpr double kJingle = 1000;

class JingleOverTheMix : public playertest::ManualClockWindow {};

TEST_F(JingleOverTheMix, TheTrackGoesDownToTheJingleLevelAndBackWithNoJumpAtTheNextFade)
{
    addTone("one.wav", kTrack1, 12);
    addTone("two.wav", kTrack2, 12);
    form->JingleSlots[1] = QString::fromStdString(programDir.write("jingle.wav", playertest::toneWav(kJingle, 1.0, kRate)));
    form->JVol = 50;
    form->JinglVolume = 100;
    form->Sequencer->table().records[kClassMusic] = CrossfadeRecord{0.0f, 1.0f, false, true};
    const std::string wav = programDir.path() + "/mix.wav";
    ASSERT_TRUE(audiolib::setRenderFile(wav));

    int ticks = 0;
    auto runTo = [&](double seconds, bool realTime) {
        for (; ticks < static_cast<int>(seconds * 20 + 0.5); ++ticks) {
            if (realTime)
                QThread::msleep(50);  // the fade's own timer runs in real time
            tick();
        }
    };
    play(0);
    runTo(1.0, false);
    form->PlayJingl(1);
    runTo(3.0, false);
    EXPECT_TRUE(jingleWindows().empty()) << "the first jingle's window stayed";
    form->PlayJingl(1);
    runTo(3.5, false);
    form->aNextTrack();
    runTo(5.5, true);
    ASSERT_TRUE(audiolib::setRenderFile(""));

    const playertest::WavChannel mix = playertest::firstChannel(programDir.read(wav));
    ASSERT_EQ(mix.rate, kRate);
    ASSERT_GE(mix.samples.size(), static_cast<std::size_t>(5.4 * kRate));
    // Levels per 50 ms block, relative to the first track's level before anything else happens:
    // every tone is made at the same amplitude.
    const std::size_t block = kRate / 20;
    auto amplitude = [&](double hz, double at) {
        const auto from = static_cast<std::size_t>(at * 20) * block;
        return playertest::toneAmplitude(mix.samples, from, block, hz, kRate);
    };
    const double full = amplitude(kTrack1, 0.5);
    ASSERT_GT(full, 0.2);
    auto level = [&](double hz, double at) { return amplitude(hz, at) / full; };
    SCOPED_TRACE(::testing::Message() << "track 1 at 0.5 s " << level(kTrack1, 0.5) << ", 1.5 s "
                                      << level(kTrack1, 1.5) << ", 2.5 s " << level(kTrack1, 2.5));
    for (double t : {0.2, 0.9})
        EXPECT_NEAR(level(kTrack1, t), 1.0, 0.02) << t;
    // The jingle plays from 1.0 to 2.0 s; the track under it at half volume.
    for (double t = 1.05; t < 1.95; t += 0.1) {
        EXPECT_NEAR(level(kTrack1, t), 0.5, 0.05) << t;
        EXPECT_NEAR(level(kJingle, t), 1.0, 0.05) << t;
    }
    for (double t = 2.15; t < 3.0; t += 0.1) {
        EXPECT_NEAR(level(kTrack1, t), 1.0, 0.05) << "not back up at " << t;
        EXPECT_LT(level(kJingle, t), 0.02) << t;
    }
    // The second jingle from 3.0 s; at 3.5 s the next track starts under it and the first fades.
    for (double t = 3.05; t < 3.45; t += 0.1)
        EXPECT_NEAR(level(kTrack1, t), 0.5, 0.05) << t;
    double lastFading = 0.5;
    for (double t = 3.5; t < 5.4; t += 0.05) {
        const double l = level(kTrack1, t);
        EXPECT_LT(l, 0.55) << "the fade jumped up at " << t;
        EXPECT_LT(l, lastFading + 0.03) << "the fade rose at " << t;
        lastFading = std::min(lastFading, l);
    }
    EXPECT_LT(level(kTrack1, 5.2), 0.02) << "the fade did not end";
    for (double t = 3.55; t < 3.95; t += 0.1)
        EXPECT_NEAR(level(kTrack2, t), 0.5, 0.05) << "the next track came in at " << t;
    // The jingle ends at 4.0 s: the new track comes up to full.
    for (double t = 4.15; t < 5.4; t += 0.1)
        EXPECT_NEAR(level(kTrack2, t), 1.0, 0.05) << "not back up at " << t;
    EXPECT_TRUE(jingleWindows().empty());
}

}  // namespace
