// The diagnostics window: its texts from a snapshot, the up-time on a manual clock far past the
// 32-bit tick counter's wrap, the timer that runs only while the window shows, the device box, and
// the real state of a running fade-out; and the About box.
#include "tests/player/windowfixture.h"

#include "audiolib/audiolib.h"
#include "controls/vqurllabel.h"
#include "engine/audioengine.h"
#include "player/about/aboutfrm.h"
#include "player/about/dbgfrm.h"
#include "player/about/dbgstate.h"
#include "player/form1.h"
#include "player/sequencing/sequencingplayback.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>

using namespace player;

namespace {

constexpr std::int64_t kDayMs = 24LL * 3600 * 1000;

TEST(DiagnosticsTexts, EveryValueFromTheSnapshot)
{
    DbgSnapshot s;
    s.fadeClass = 1;
    DbgTexts t = dbgTexts(s);
    EXPECT_EQ(t.now, "0  [0]  (1)") << "nothing selected, nothing playing";
    EXPECT_EQ(t.fadeObj, "B");
    EXPECT_EQ(t.isFading, "0");
    EXPECT_EQ(t.fileA, "A.FileName= ");
    EXPECT_EQ(t.timeWorking, "0:00:00");

    s.fadeClass = 4;
    s.selectedRow = 6;
    s.playingRow = 2;
    s.fadeSeconds = 2.26;
    s.mixSeconds = 0.04;
    s.fadedIsDeckA = true;
    s.mixFlag = true;
    s.timerId = 4000000000u;
    s.fading = true;
    s.fileA = "/m/a.mp3";
    s.fileB = "/m/b.mp3";
    s.upTimeMs = 3723999;
    s.ampCount = 12;
    s.ampHigh = 32000;
    s.ampQuiet = -1;
    t = dbgTexts(s);
    EXPECT_EQ(t.fadeType, "4");
    EXPECT_EQ(t.now, "7  [3]  (4)");
    EXPECT_EQ(t.fadeOut, "2.3");
    EXPECT_EQ(t.mix, "0.0");
    EXPECT_EQ(t.fadeObj, "A");
    EXPECT_TRUE(t.mixFlag);
    EXPECT_EQ(t.timerId, "4000000000");
    EXPECT_EQ(t.isFading, "1");
    EXPECT_EQ(t.fileA, "A.FileName= /m/a.mp3");
    EXPECT_EQ(t.fileB, "B.FileName= /m/b.mp3");
    EXPECT_EQ(t.timeWorking, "1:02:03");
    EXPECT_EQ(t.ampCount, "12");
    EXPECT_EQ(t.ampHigh, "32000");
    EXPECT_EQ(t.ampQuiet, "-1");
}

TEST(DiagnosticsTexts, DecimalPointWhateverTheLocale)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const std::string numeric = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // when installed; the test holds either way
    DbgSnapshot s;
    s.fadeSeconds = 1.5;
    s.mixSeconds = 12.25;
    const DbgTexts t = dbgTexts(s);
    std::setlocale(LC_NUMERIC, numeric.c_str());
    QLocale::setDefault(before);
    EXPECT_EQ(t.fadeOut, "1.5");
    EXPECT_EQ(t.mix, "12.3");
}

TEST(DiagnosticsTexts, UpTimeNeverWraps)
{
    EXPECT_EQ(formatUpTime(25 * kDayMs + 3723000), "601:02:03");
    // Past 49.7 days a 32-bit tick count would have started again at 0.
    EXPECT_EQ(formatUpTime(50 * kDayMs), "1200:00:00");
    EXPECT_EQ(formatUpTime(400 * kDayMs + 59999), "9600:00:59");
    EXPECT_EQ(formatUpTime(-5), "0:00:00");
}

class Diagnostics : public playertest::ManualClockWindowTest {
protected:
    void SetUp() override
    {
        ManualClockWindowTest::SetUp();
        form->CreateDbgFrm();
        dbg = form->DbgFrm;
    }
    void beforeCreate() override { form->TickCount = [this] { return now; }; }
    void addTone(const std::string& name)
    {
        form->AddFile(QString::fromStdString(programDir.write(name, playertest::wavFile(1, 44100, 44100 * 20))));
        form->RenumberList();
    }

    std::int64_t now = 5000;
    TDbgFrm* dbg = nullptr;
};

TEST_F(Diagnostics, UpTimeFromTheStartOnAManualClockPast25Days)
{
    EXPECT_EQ(form->StartTime, 5000);
    EXPECT_EQ(dbg->Label19->text(), "000:00:00");
    now += 25 * kDayMs + 61000;
    dbg->Timer1Timer();
    EXPECT_EQ(dbg->Label19->text(), "600:01:01");
    now += 30 * kDayMs;
    EXPECT_EQ(form->DebugState().upTimeMs, 55 * kDayMs + 61000);
}

TEST_F(Diagnostics, TheTimerRunsExactlyWhileTheWindowShows)
{
    EXPECT_FALSE(dbg->isVisible());
    EXPECT_FALSE(dbg->Timer1->isActive());
    EXPECT_EQ(dbg->windowTitle(), "Debug window");
    EXPECT_TRUE(dbg->windowFlags() & Qt::WindowStaysOnTopHint);

    addTone("a.wav");
    form->LVMaster->selectRows({0});
    form->ToggleDbgFrm();
    EXPECT_TRUE(dbg->isVisible());
    EXPECT_TRUE(dbg->Timer1->isActive());
    EXPECT_EQ(dbg->Timer1->interval(), 100);
    // Current at once, not only after the first period.
    EXPECT_EQ(dbg->Label11->text(), "1  [0]  (1)");

    form->ToggleDbgFrm();
    EXPECT_FALSE(dbg->isVisible());
    EXPECT_FALSE(dbg->Timer1->isActive());
    form->LVMaster->selectRows({});
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(dbg->Label11->text(), "1  [0]  (1)") << "hidden, nothing changes";

    form->ToggleDbgFrm();
    EXPECT_EQ(dbg->Label11->text(), "0  [0]  (1)");
    // Closing the player closes the window, and its timer stops.
    form->ExitFlag = true;
    form->close();
    EXPECT_FALSE(dbg->isVisible());
    EXPECT_FALSE(dbg->Timer1->isActive());
}

TEST_F(Diagnostics, WhileAFadeRunsItShowsTheOutgoingDeck)
{
    addTone("first.wav");
    addTone("second.wav");
    form->Sequencer->table().records[kClassMusic] = {0.0f, 8.0f, false, true};
    form->LVMaster->selectRows({0});
    form->aPlay();
    form->aNextTrack();
    const DbgTexts t = dbgTexts(form->DebugState());
    EXPECT_EQ(t.isFading, "1");
    EXPECT_EQ(t.fadeObj, "B");
    EXPECT_EQ(t.fileB, QString::fromStdString("B.FileName= " + programDir.path() + "/first.wav"));
    EXPECT_EQ(t.fileA, QString::fromStdString("A.FileName= " + programDir.path() + "/second.wav"));
    EXPECT_EQ(t.fadeOut, "8.0");
    EXPECT_EQ(t.now, "2  [2]  (1)");
    EXPECT_NE(t.timerId, "0");
    form->Sequencer->fadeOut().abort();
    EXPECT_EQ(dbgTexts(form->DebugState()).isFading, "0");
}

TEST_F(Diagnostics, TypedKeysDoNothingAndDeviceInfoTellsTheDevice)
{
    form->ToggleDbgFrm();
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(dbg->Button1, &space);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(dbg->Button1, &release);
    EXPECT_TRUE(messages.shown().empty());

    dbg->Button1->click();
    ASSERT_EQ(messages.shown().size(), 1u);
    audiolib::DeviceInfo info;
    audiolib::setDevice(0);
    audiolib::getDeviceInfo(&info);
    const auto box = messages.shown()[0];
    EXPECT_EQ(box.caption, "DeviceInfo");
    EXPECT_EQ(box.text, "MinRate: " + std::to_string(info.minRateHz) + "\r\nMaxRate: " + std::to_string(info.maxRateHz) +
                            "\r\nSpeakers: " + std::to_string(info.speakers));
    EXPECT_EQ(box.flags & 0xF0, 0x40u);
}

TEST_F(Diagnostics, AboutBoxShowsTheVersionsAndFreesItself)
{
    EXPECT_TRUE(form->mHelp->actions().contains(form->N40));
    EXPECT_EQ(form->N40->text(), QStringLiteral("О программе..."));
    programDir.write("README.md", "# readme\n");
    form->N40->trigger();
    auto* box = form->findChild<Taboutfrm*>();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isModal());
    EXPECT_EQ(box->windowTitle(), "About");
    EXPECT_TRUE(box->Label4->text().contains(QV_VERSION));
    const std::uint32_t v = audiolib::getVersion();
    EXPECT_EQ(box->Label7->text(), QStringLiteral("%1.%2").arg(v & 0xFFFF).arg(v >> 16));
    EXPECT_TRUE(box->Label6->isHidden());
    EXPECT_TRUE(box->Label7->isHidden());
    EXPECT_FALSE(box->VqURLLabel1->isHidden());
    EXPECT_TRUE(box->VqURLLabel1->URL.endsWith("/README.md"));
    // Nothing here opens files: a box says where the README lies.
    box->VqURLLabel1->Click();
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_NE(messages.shown()[0].text.find(programDir.path() + "/README.md"), std::string::npos);
    QPointer<Taboutfrm> watch(box);
    box->SpeedButton1->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.isNull());

    std::filesystem::remove(programDir.path() + "/README.md");
    form->N40Click();
    box = form->findChild<Taboutfrm*>();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->VqURLLabel1->isHidden()) << "no README, no link";
    box->close();
}

}  // namespace
