// Tempo, rate and pitch on both decks, their labels and right-click reset, the rate slider at a
// start, and the BPM of deck A: "[click]" at a start, prepared a second later, converted after a
// change, measured on a worker by a click.
#include "soundwindow.h"

#include "controls/tbar.h"
#include "player/sequencing/formsequencer.h"
#include "player/sound/bpmmeter.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>

using namespace player;
using soundtest::RecordingRoles;
using soundtest::SoundWindow;

namespace {

using Calls = std::vector<std::string>;

const std::string kTempoStreams = soundtest::kTwelveBands + "[Options]\r\nFXTempo=1\r\n";

void rightClick(QWidget* bar)
{
    const QPointF at(bar->width() / 2.0, bar->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, at, bar->mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(bar, &press);
}

void leftClick(QWidget* widget)
{
    const QPointF at(2, 2);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
}

// Lets the event loop run until done() holds or a few seconds have passed.
template <typename Done>
bool processUntil(Done done)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done() && std::chrono::steady_clock::now() < until) {
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    return done();
}

class TempoWindow : public SoundWindow {};

TEST_F(TempoWindow, TheSlidersWorkOnlyWithTempoStreams)
{
    open();
    EXPECT_FALSE(form->tbTempo->isEnabled());
    EXPECT_FALSE(form->tbSample->isEnabled());
    EXPECT_FALSE(form->tbPitch->isEnabled());
    form.reset();
    open(kTempoStreams);
    EXPECT_TRUE(form->tbTempo->isEnabled());
    EXPECT_TRUE(form->tbPitch->isEnabled());
    EXPECT_EQ(form->tbTempo->toolTip(), "Reset: right click");
    EXPECT_EQ(form->Label42->text(), "44100 Hz");
    EXPECT_EQ(form->Label40->text(), "???");
}

TEST_F(TempoWindow, EachSliderChangesBothDecksShowsItselfAndTheConvertedBpm)
{
    open(kTempoStreams);
    auto& decks = recordDecks();
    decks.a.convertedBpm = 131;
    form->tbTempo->setValue(12);
    EXPECT_EQ(form->Label38->text(), "+12%");
    EXPECT_EQ(form->Label40->text(), "131");
    EXPECT_EQ(decks.log.take(), (Calls{"A:SetTempo 12", "B:SetTempo 12", "A:GetBPM 0 10 1"}));
    form->tbTempo->setValue(-7);
    EXPECT_EQ(form->Label38->text(), "-7%");
    form->tbTempo->setValue(0);
    EXPECT_EQ(form->Label38->text(), "0%");
    decks.log.take();

    form->tbPitch->setValue(-3);
    EXPECT_EQ(form->Label44->text(), "-3");
    EXPECT_EQ(decks.log.take(), (Calls{"A:SetPitch -3", "B:SetPitch -3", "A:GetBPM 0 10 1"}));
    form->tbSample->setValue(900);
    EXPECT_EQ(form->Label42->text(), "45000Hz");
    EXPECT_EQ(decks.log.take(), (Calls{"A:SetSampleRate 45000", "B:SetSampleRate 45000", "A:GetBPM 0 10 1"}));

    // A right click resets each slider to its Tag, which runs its change.
    form->tbTempo->setValue(20);
    rightClick(form->tbTempo);
    EXPECT_EQ(form->tbTempo->value(), 0);
    rightClick(form->tbPitch);
    EXPECT_EQ(form->tbPitch->value(), 0);
    rightClick(form->tbSample);
    EXPECT_EQ(form->tbSample->value(), 882);
    const Calls calls = decks.log.take();
    EXPECT_EQ(calls.back(), "A:GetBPM 0 10 1");
    EXPECT_NE(std::find(calls.begin(), calls.end(), "B:SetSampleRate 44100"), calls.end());
}

TEST_F(TempoWindow, AStartSetsTheRateRangeSilentlyFromTheNewTrack)
{
    open(kTempoStreams);
    auto& decks = recordDecks();
    decks.a.channelRate = 48000;
    form->SeqHost->startingTrack();
    form->SeqHost->trackStarted(0);
    EXPECT_EQ(form->tbSample->minimum(), 480);
    EXPECT_EQ(form->tbSample->maximum(), 1440);
    EXPECT_EQ(form->tbSample->value(), 960);
    EXPECT_EQ(form->tbSample->Tag, 960);
    EXPECT_EQ(form->Label42->text(), "48000Hz");
    const Calls calls = decks.log.take();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "A:ApplyEcho2"), 1) << "a start applies the effects";
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "B:ResetAutoAmp"), 1);
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(), [](const std::string& c) { return c.find("SetSampleRate") != std::string::npos; }), 0)
        << "neither the new deck nor the one fading out is re-rated";
    // Right-clicking after that start gives the track's own 48000 Hz.
    form->tbSample->setValue(1000);
    rightClick(form->tbSample);
    EXPECT_EQ(decks.log.take().front(), "A:SetSampleRate 50000");
    EXPECT_EQ(form->tbSample->value(), 960);

    decks.a.channelRate = 22050;
    form->SeqHost->trackStarted(1);
    EXPECT_EQ(form->tbSample->minimum(), 220);
    EXPECT_EQ(form->tbSample->maximum(), 661);
    EXPECT_EQ(form->tbSample->value(), 441);
}

TEST_F(TempoWindow, BpmIsClickAtAStartPreparedASecondLaterAndConvertedAfterAChange)
{
    open(kTempoStreams);
    auto& decks = recordDecks();
    form->SeqHost->startingTrack();
    EXPECT_EQ(form->Label40->text(), "[click]");
    EXPECT_FALSE(form->Timer2->isActive());
    form->SeqHost->trackStarted(0);
    ASSERT_TRUE(form->Timer2->isActive());
    EXPECT_EQ(form->Timer2->interval(), 1000);
    EXPECT_TRUE(form->Timer2->isSingleShot());
    decks.log.take();

    // Within the first second a click does nothing.
    leftClick(form->Label40);
    EXPECT_EQ(decks.log.take(), Calls{});
    EXPECT_FALSE(form->Bpm->running());

    // The preparation opens the file on the worker: the window goes on while it reads.
    decks.a.hold();
    form->Timer2Timer();
    EXPECT_FALSE(form->Timer2->isActive());
    ASSERT_TRUE(form->Bpm->running()) << "the window waited for the file";
    decks.a.waitUntilMeasuring();
    decks.a.release();
    ASSERT_TRUE(processUntil([this] { return !form->Bpm->running(); }));
    EXPECT_EQ(decks.log.take(), Calls{"A:GetBPM 0 1 2"});
    EXPECT_EQ(form->Label40->text(), "[click]") << "the preparation shows nothing";

    decks.a.convertedBpm = 99;
    form->tbTempo->setValue(5);
    EXPECT_EQ(form->Label40->text(), "99");

    // The next start stops a pending preparation.
    form->SeqHost->trackStarted(1);
    form->SeqHost->startingTrack();
    EXPECT_FALSE(form->Timer2->isActive());
}

TEST_F(TempoWindow, AClickMeasuresThirtySecondsFromThePositionOnAWorker)
{
    open(kTempoStreams);
    auto& decks = recordDecks();
    decks.a.positionMs = 73999;
    decks.a.measuredBpm = 128;
    decks.a.hold();
    decks.log.take();

    leftClick(form->Label40);
    decks.a.waitUntilMeasuring();
    EXPECT_FALSE(form->Label40->isEnabled());
    EXPECT_TRUE(form->Bpm->running());
    // The window goes on meanwhile: the main timer's tick runs, and a second click is ignored.
    form->maintimerTimer();
    leftClick(form->Label40);
    QCoreApplication::processEvents();
    EXPECT_EQ(decks.log.take(), Calls{"A:GetBPM 73 30 0"});

    decks.a.release();
    ASSERT_TRUE(processUntil([this] { return !form->Bpm->running(); }));
    EXPECT_EQ(form->Label40->text(), "128");
    EXPECT_TRUE(form->Label40->isEnabled());

    // A start while measuring: the result of the old track is not shown.
    decks.a.hold();
    leftClick(form->Label40);
    decks.a.waitUntilMeasuring();
    form->SeqHost->startingTrack();
    decks.a.release();
    ASSERT_TRUE(processUntil([this] { return !form->Bpm->running(); }));
    EXPECT_EQ(form->Label40->text(), "[click]");
    EXPECT_TRUE(form->Label40->isEnabled());
}

TEST_F(TempoWindow, ClosingTheWindowWaitsForAMeasurementStillRunning)
{
    open(kTempoStreams);
    auto& decks = recordDecks();
    decks.a.hold();
    leftClick(form->Label40);
    decks.a.waitUntilMeasuring();
    std::thread releaser([&decks] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        decks.a.release();
    });
    form->SoundDestroy();  // joins the worker before the decks go
    releaser.join();
    EXPECT_FALSE(form->SoundDecks);
}

}  // namespace
