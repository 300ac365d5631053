// The main window's level meters, spectrum, volume, pan, seeking and time-label clicks, driven
// in-process on the "no sound" device's manual clock, with the decks' roles swapped between
// starts so that everything follows the deck on air.
#include "tests/player/windowfixture.h"

#include "audiolib/audiolib.h"
#include "controls/tbar.h"
#include "controls/vtqstatusbar.h"
#include "engine/audioengine.h"
#include "engine/enginesettings.h"
#include "platform/recordedusermessages.h"
#include "player/form1.h"
#include "player/meters/framebox.h"
#include "player/sequencing/maintimer.h"
#include "player/meters/maintimermeter.h"
#include "player/meters/meters.h"
#include "player/sequencing/sequencingdeck.h"
#include "player/sequencing/sequencingplayback.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <utility>

using namespace player;
using playertest::TempDir;

namespace {

constexpr int kRate = 44100;

// A 16-bit stereo sine of 1 kHz with its own peak level on each channel (0..1 of full scale).
std::string stereoTone(double leftPeak, double rightPeak, double seconds)
{
    const int frames = static_cast<int>(seconds * kRate);
    std::string pcm;
    pcm.reserve(static_cast<std::size_t>(frames) * 4);
    auto put = [&pcm](double v) {
        const auto s = static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v * 32767)));
        pcm.push_back(static_cast<char>(s & 0xFF));
        pcm.push_back(static_cast<char>(s >> 8));
    };
    for (int i = 0; i < frames; ++i) {
        const double s = std::sin(2 * M_PI * 1000.0 * i / kRate);
        put(leftPeak * s);
        put(rightPeak * s);
    }
    std::string wav = playertest::wavFile(2, kRate, 0);
    const auto le32 = [](std::string& s, std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            s[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    le32(wav, 4, static_cast<std::uint32_t>(36 + pcm.size()));
    le32(wav, 40, static_cast<std::uint32_t>(pcm.size()));
    return wav + pcm;
}

// Height of a meter frame's level: the rows below the white part and its outline.
int drawnLevel(const QImage& frame)
{
    const int x = frame.width() / 2;
    int y = 1;
    while (y < frame.height() && frame.pixel(x, y) == qRgb(255, 255, 255))
        ++y;
    if (y == 1 && frame.pixel(x, 0) != qRgb(0, 0, 0))
        return frame.height();  // no outline at the top: the level fills the meter
    return frame.height() - (y + 1);
}

class MetersWindow : public playertest::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        audiolib::setManualClock(true);
        programDir.write("system.ini", "[Device]\nMainDev=0\n");
        makeForm().FormCreate();
        form->maintimer->stop();  // ticks come from the test only
        form->vistimer->stop();
        form->Timer1->stop();
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        audiolib::setConfig(audiolib::kOptionStreamVolume, 100);  // process-wide: later tests expect it
        audiolib::setManualClock(false);
    }
    void add(const std::string& name, const std::string& bytes)
    {
        form->AddFile(QString::fromStdString(programDir.write(name, bytes)));
        form->RenumberList();
    }
    void play(int row)
    {
        form->LVMaster->selectRows({row});
        form->aPlay();
        QCoreApplication::sendPostedEvents();
    }
    void advanceMs(int ms) { audiolib::advance(static_cast<std::uint32_t>(kRate / 1000 * ms)); }
    // Two ticks of the main timer: the time labels are written every second tick.
    void tickTwice()
    {
        form->maintimerTimer();
        form->maintimerTimer();
        form->maintimer->stop();
    }
    engine::TAudioEngine& onAir() { return static_cast<EngineDeck&>(form->Sequencer->deckA()).engine(); }
    FrameBox& box(QWidget* w) { return *qobject_cast<FrameBox*>(w); }
    void mouse(QWidget* target, QEvent::Type type, Qt::MouseButton button, QPoint at)
    {
        QMouseEvent event(type, at, target->mapToGlobal(at), button,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
    void wheel(QWidget* target, int delta)
    {
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    }
};

TEST_F(MetersWindow, LevelMetersShowEachChannelOfTheDeckOnAir)
{
    add("tone.wav", stereoTone(0.25, 0.75, 3));
    add("silence.wav", playertest::wavFile(2, kRate, kRate * 3));
    ASSERT_TRUE(qobject_cast<FrameBox*>(form->_left));
    EXPECT_EQ(form->_left->size(), QSize(13, 109));

    // The meters show what the deck measures, right channel on _right; this tone is three
    // times as loud on the right.
    const auto expectMeters = [this] {
        int right = 0;
        int left = 0;
        onAir().GetLevel(right, left);
        EXPECT_EQ(drawnLevel(box(form->_left).frame()), meterLevel(left));
        EXPECT_EQ(drawnLevel(box(form->_right).frame()), meterLevel(right));
        return std::pair{drawnLevel(box(form->_left).frame()), drawnLevel(box(form->_right).frame())};
    };
    play(0);
    advanceMs(100);
    form->Timer1Timer();
    auto [left, right] = expectMeters();
    EXPECT_GT(left, 5);
    EXPECT_NEAR(right, 3 * left, 3);

    // The next start goes to the other deck: the meters follow it to silence.
    play(1);
    advanceMs(100);
    ASSERT_EQ(onAir().FileName(), programDir.path() + "/silence.wav");
    form->Timer1Timer();
    EXPECT_EQ(expectMeters(), std::pair(0, 0));

    // The meters' timer runs only while their page shows.
    form->PageControl1->setCurrentWidget(form->TabSheet5);
    EXPECT_TRUE(form->Timer1->isActive());
    EXPECT_EQ(form->Timer1->interval(), 30);
    form->PageControl1->setCurrentIndex(0);
    EXPECT_FALSE(form->Timer1->isActive());
}

TEST_F(MetersWindow, SpectrumDrawsTheDeckOnAirWhileSwitchedOn)
{
    EXPECT_EQ(form->vistimer->interval(), form->Ini.VisUpdateDelay);
    add("tone.wav", stereoTone(0.5, 0.5, 3));
    const QImage& frame = box(form->PaintFrame).frame();
    const auto tallest = [this] {
        const auto& levels = form->Meters->spectrum.Levels;
        return *std::max_element(levels.begin(), levels.end());
    };
    const auto barPixels = [&frame] {
        int n = 0;
        for (int y = 0; y < frame.height(); ++y)
            for (int x = 0; x < frame.width(); ++x)
                n += frame.pixel(x, y) != qRgb(0, 0, 0);
        return n;
    };

    play(0);
    ASSERT_NE(&onAir(), form->DeckA.get()) << "the first start is expected on the engine in deck B's role";
    advanceMs(200);
    form->Visualization = false;
    form->vistimerTimer();
    EXPECT_EQ(tallest(), 0) << "switched off, the spectrum draws nothing";
    EXPECT_EQ(barPixels(), 0);

    form->Visualization = true;
    form->vistimerTimer();
    EXPECT_GT(tallest(), 10);
    EXPECT_GT(barPixels(), 0);

    // When the deck stops, the columns fall 3 pixels a frame down to nothing.
    const int before = tallest();
    form->aStop();
    form->vistimerTimer();
    EXPECT_EQ(tallest(), std::max(0, before - 3));
    for (int i = 0; i < 20; ++i)
        form->vistimerTimer();
    EXPECT_EQ(tallest(), 0);
}

TEST_F(MetersWindow, PositionBarAndFiveSecondButtonsSeekTheDeckOnAir)
{
    add("a.wav", playertest::soundWavFile(1, 8000, 8000 * 20));
    add("b.wav", playertest::soundWavFile(1, 8000, 8000 * 20));
    form->TBar1->resize(524, 20);  // 500 pixels between the 12-pixel margins
    for (int row : {0, 1}) {
        play(row);
        engine::TAudioEngine& deck = onAir();
        ASSERT_EQ(deck.LengthMs, 20000);

        mouse(form->TBar1, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(12 + 375, 10));
        EXPECT_FALSE(form->MainTick->followPosition);
        EXPECT_EQ(form->TBar1->value(), 750);
        form->maintimerTimer();
        EXPECT_EQ(form->TBar1->value(), 750) << "the timer moved the bar under the mouse";
        mouse(form->TBar1, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(12 + 375, 10));
        EXPECT_TRUE(form->MainTick->followPosition);
        EXPECT_NEAR(deck.GetPosition(), 15000, 20);

        form->SpeedButton8->trigger();
        EXPECT_NEAR(deck.GetPosition(), 19999, 20) << "past the end: the last millisecond";
        EXPECT_EQ(form->TBar1->value(), 1000);
        for (int i = 0; i < 3; ++i)
            form->SpeedButton7->trigger();
        EXPECT_NEAR(deck.GetPosition(), 4999, 20);
        EXPECT_EQ(form->TBar1->value(), 250);
        form->SpeedButton7->trigger();
        EXPECT_NEAR(deck.GetPosition(), 0, 20) << "before the start: the start";
        EXPECT_EQ(form->TBar1->value(), 0);
    }
}

TEST_F(MetersWindow, VolumePanAndDeckVolumeReachTheEngine)
{
    EXPECT_EQ(form->tbVolume->value(), form->DeckA->GetStreamVolume());
    form->tbVolume->setValue(37);
    EXPECT_EQ(form->DeckA->GetStreamVolume(), 37);
    EXPECT_EQ(form->StatusBar1->Panels().Items(0)->Text(), "Volume: 37");

    add("a.wav", playertest::soundWavFile(2, kRate, kRate * 5));
    add("b.wav", playertest::soundWavFile(2, kRate, kRate * 5));
    play(0);
    form->tbPanning->setValue(-40);
    EXPECT_EQ(form->Label13->text(), "-40");
    EXPECT_EQ(onAir().GetPan(), -40);
    play(1);
    EXPECT_EQ(form->DeckA->Pan, -40);
    EXPECT_EQ(form->DeckB->Pan, -40);
    EXPECT_EQ(onAir().GetPan(), -40) << "the pan holds for the next start on the other deck";

    form->SetDeckVolume(30);
    EXPECT_EQ(form->DeckVolume, 30);
    EXPECT_EQ(onAir().GetVolume(), 30);
}

TEST_F(MetersWindow, TheVolumeComesBackToItsPanelWhenAHintGoesAndAFailureStandsUntilTheNext)
{
    controls::TvtqStatusPanel* panel0 = form->StatusBar1->Panels().Items(0);
    const auto panel = [panel0] { return panel0->Text().toStdString(); };
    const auto hint = [this](const QString& text) {
        QStatusTipEvent tip(text);
        QApplication::sendEvent(form.get(), &tip);
    };
    form->tbVolume->setValue(57);
    hint(QStringLiteral("Поиск"));
    EXPECT_EQ(panel(), "Поиск");
    hint(QString());
    EXPECT_EQ(panel(), "Volume: 57");

    // Neither a hint nor a status text hides a failure, and the narrow panel's tool tip has it whole.
    const std::string unread = "Профиль не читается: /dev/zero (Not a regular file)";
    form->ShowFailure(QString::fromStdString(unread));
    hint(QStringLiteral("Поиск"));
    EXPECT_EQ(panel(), unread);
    form->tbVolume->setValue(60);
    hint(QString());
    EXPECT_EQ(panel(), unread);
    EXPECT_EQ(panel0->Hint.toStdString(), unread);
    form->ShowFailure(QStringLiteral("Файл не открывается: /m/b.mp3"));
    EXPECT_EQ(panel(), "Файл не открывается: /m/b.mp3");
    EXPECT_EQ(panel0->Hint.toStdString(), "Файл не открывается: /m/b.mp3");
}

TEST_F(MetersWindow, WheelMovesTheVolumeOneStepPerNotchWhileItIsActive)
{
    form->show();
    form->activateWindow();
    for (int i = 0; i < 100 && !form->isActiveWindow(); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_TRUE(form->isActiveWindow());
    form->tbVolume->setValue(50);
    form->tbVolume->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), form->tbVolume);

    wheel(form->tbVolume, 120);
    EXPECT_EQ(form->tbVolume->value(), 51);
    wheel(form->tbVolume, -360);
    EXPECT_EQ(form->tbVolume->value(), 48);
    for (int i = 0; i < 3; ++i)
        wheel(form->tbVolume, 40);  // a fine wheel: thirds of a notch
    EXPECT_EQ(form->tbVolume->value(), 49);
    wheel(form->tbVolume, -120);
    EXPECT_EQ(form->DeckA->GetStreamVolume(), 48);
    // The focused slider takes the wheel turned anywhere over the window.
    wheel(form->LVMaster->viewport(), 240);
    EXPECT_EQ(form->tbVolume->value(), 50);

    form->LVMaster->setFocus();
    wheel(form->LVMaster->viewport(), 120);
    EXPECT_EQ(form->tbVolume->value(), 50) << "the wheel moved the volume without its focus";
}

TEST_F(MetersWindow, MainTimerShowsLoadFiguresAndTheAutomaticLevel)
{
    add("a.wav", playertest::soundWavFile(2, kRate, kRate * 5));
    play(0);
    form->pcPlaylist->setCurrentWidget(form->_slave);
    form->maintimerTimer();  // the first tick shows the clock and the load figures, and the Main list
    EXPECT_EQ(form->pcPlaylist->currentWidget(), form->_master);
    const QString cpu = form->StatusBar1->Panels().Items(1)->Text();
    const QString memory = form->StatusBar1->Panels().Items(2)->Text();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\.\\d%$")).match(cpu).hasMatch()) << cpu.toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+%$")).match(memory).hasMatch()) << memory.toStdString();
    EXPECT_NE(memory, "0%") << "the memory in use was not read";
    EXPECT_EQ(form->Label14->text(), "off");

    onAir().EnableAutoAmp();
    form->maintimerTimer();
    EXPECT_EQ(form->Label14->text(), "1.00");
    onAir().DisableAutoAmp();
    form->maintimerTimer();
    EXPECT_EQ(form->Label14->text(), "off");
}

TEST_F(MetersWindow, TimeLabelClicksSwitchTheCountAndTheSecondLabel)
{
    add("a.wav", playertest::soundWavFile(1, 8000, 8000 * 20));
    play(0);
    advanceMs(2000);
    tickTwice();
    EXPECT_TRUE(form->edToEnd->text().startsWith(QStringLiteral("\u2013 "))) << form->edToEnd->text().toStdString();
    mouse(form->edToEnd, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(2, 2));
    mouse(form->edToEnd, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(2, 2));
    tickTwice();
    EXPECT_TRUE(form->edToEnd->text().startsWith(QStringLiteral("00:0"))) << form->edToEnd->text().toStdString();

    EXPECT_TRUE(form->EdToEnd2->isHidden());
    mouse(form->edToEnd, QEvent::MouseButtonPress, Qt::RightButton, QPoint(2, 2));
    mouse(form->edToEnd, QEvent::MouseButtonRelease, Qt::RightButton, QPoint(2, 2));
    EXPECT_FALSE(form->EdToEnd2->isHidden());
    tickTwice();
    EXPECT_TRUE(form->EdToEnd2->text().startsWith(QStringLiteral("\u2013 ")));
}

TEST_F(MetersWindow, TheTimesAndTheSilenceCutGoWhenNothingIsOnAir)
{
    add("a.wav", playertest::soundWavFile(1, 8000, 8000 * 20));
    play(0);
    advanceMs(2000);
    tickTwice();
    EXPECT_NE(form->edToEnd->text(), QStringLiteral("\u2013 00:00.0"));
    EXPECT_FALSE(form->Label10->text().isEmpty());
    form->aStop();
    for (int i = 0; i < 100 && onAir().State() == engine::STATE_PLAY; ++i) {
        advanceMs(100);
        QCoreApplication::processEvents();
    }
    ASSERT_NE(onAir().State(), engine::STATE_PLAY);
    tickTwice();
    EXPECT_EQ(form->edToEnd->text(), QStringLiteral("\u2013 00:00.0"));
    EXPECT_TRUE(form->Label10->text().isEmpty()) << form->Label10->text().toStdString();
}

TEST_F(MetersWindow, ProfileKeepsTheSettingsAndSilenceFallsBackToTheEmergencyList)
{
    const std::string track = programDir.write("spare.wav", playertest::soundWavFile(1, 8000, 8000 * 20));
    const std::string list = programDir.write("emergency.m3u", "#EXTM3U\n#EXTINF:20,Spare\n" + track + "\n");
    std::filesystem::create_directories(programDir.path() + "/Profile");
    const std::string profile = programDir.write(
        "Profile/Default.prf", "[QuietDetection]\nOn=1\nInterval=1\nAction=3\nList=" + list +
                                   "\n[Options]\nVolume=64\nVisualization=0\nTimeShowType=1\nShowSecondTimeLabel=1\n");
    form->LoadProfile(profile);
    EXPECT_EQ(form->tbVolume->value(), 64);
    EXPECT_EQ(form->DeckA->GetStreamVolume(), 64);
    EXPECT_FALSE(form->Visualization);
    EXPECT_EQ(form->MainTick->timeShowType, 1);
    EXPECT_FALSE(form->EdToEnd2->isHidden());
    EXPECT_TRUE(form->MainTick->silence().on);

    // A second of nothing on air: the emergency list replaces the Main list and starts.
    form->pcPlaylist->setCurrentWidget(form->_slave);
    for (int i = 0; i < 25 && form->LVMaster->HLIndex < 0; ++i) {
        form->maintimerTimer();
        form->maintimer->stop();
    }
    ASSERT_EQ(form->LVMaster->rowCount(), 1);
    EXPECT_EQ(form->LVMaster->HLIndex, 0);
    EXPECT_EQ(onAir().FileName(), track);
    EXPECT_EQ(form->pcPlaylist->currentWidget(), form->_master);

    form->tbVolume->setValue(12);
    form->StatusBar1Panels5Click();
    const std::string saved = programDir.path() + "/Profile/Work.prf";
    form->SaveProfile(saved);
    const std::string text = programDir.read(saved);
    for (const char* line : {"Volume=12", "Visualization=0", "TimeShowType=1", "ShowSecondTimeLabel=1", "Interval=1",
                             "Action=3"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    const std::size_t quiet = text.find("[QuietDetection]");
    ASSERT_NE(quiet, std::string::npos);
    EXPECT_EQ(text.compare(text.find("On=", quiet), 4, "On=0"), 0) << "the panel's click was not saved";
}

}  // namespace
