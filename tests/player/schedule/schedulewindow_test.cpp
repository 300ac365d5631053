// The schedule in the main window on a clock the test moves: a due playlist going in after the
// playing row and playing as a block that then disappears, a start at once, a missing playlist,
// "Previous" through a block, the schedule dialog, the hidden list's double click and the profile.
#include "tests/player/manualclockwindow.h"

#include "platform/inifile.h"
#include "player/form1.h"
#include "player/playlist/playlistfile.h"
#include "player/playlist/playlistrows.h"
#include "player/schedule/schedulefile.h"
#include "player/schedule/timeform.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimeEdit>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>

using namespace player;

namespace {

const QDate kDay(2024, 5, 10);

class ScheduleWindow : public playertest::ManualClockWindow {
protected:
    void SetUp() override
    {
        ManualClockWindow::SetUp();
        form->ScheduleClock = [this] { return now; };
        for (const char* n : {"A", "B", "C"})
            paths.push_back(addTone(std::string(n) + ".wav", 440, 30));
        form->cbSchedule->click();
    }
    // A playlist of new tones; its path.
    std::string playlist(const std::string& name, int tracks)
    {
        std::vector<controls::TVirtualItem> rows;
        for (int i = 1; i <= tracks; ++i) {
            const std::string file = name + "-" + std::to_string(i) + ".wav";
            rows.push_back(playertest::row(QString::fromStdString(name + " " + std::to_string(i)), "00:30",
                                           QString::fromStdString(programDir.write(file, playertest::toneWav(550, 30, kRate)))));
        }
        std::string error;
        const std::string path = programDir.path() + "/" + name;
        EXPECT_TRUE(WritePlaylistFile(path, rows, error)) << error;
        return path;
    }
    void schedule(const std::vector<ScheduleEntry>& entries, bool useDate = true)
    {
        form->UseDate = useDate;
        form->TimeSchedule.setEntries(entries, useDate, now);
        form->RefreshScheduleList();
    }
    // The schedule's timer at the given moment.
    void at(const QTime& time)
    {
        now = QDateTime(kDay, time);
        form->rasptimerTimer();
    }
    std::vector<QString> names() const
    {
        std::vector<QString> out;
        for (const auto& r : form->LVMaster->Rows)
            out.push_back(QFileInfo(r.SubItems[kColPath]).completeBaseName());
        return out;
    }
    std::vector<int> kinds() const
    {
        std::vector<int> out;
        for (const auto& r : form->LVMaster->Rows)
            out.push_back(r.ImageIndex);
        return out;
    }
    std::vector<platform::RecordedUserMessages::Shown> scheduleBoxes() const { return boxes("Schedule"); }

    QDateTime now{kDay, QTime(7, 0, 0)};
    std::vector<std::string> paths;
};

TEST_F(ScheduleWindow, ADuePlaylistGoesInAfterThePlayingRowAndPlaysAsABlock)
{
    play(1);
    const std::string news = playlist("news.m3u", 2);
    schedule({{kDay, QTime(8, 0, 0), QString::fromStdString(news)}});
    ASSERT_EQ(form->rasp->topLevelItemCount(), 1);
    EXPECT_TRUE(form->rasptimer->isActive());
    at(QTime(7, 59, 59, 980));
    EXPECT_EQ(form->LVMaster->rowCount(), 3);
    // The timer stalled 300 ms across the entry's time: it still fires.
    at(QTime(8, 0, 0, 280));
    EXPECT_EQ(names(), (std::vector<QString>{"A", "B", "news.m3u-1", "news.m3u-2", "C"}));
    EXPECT_EQ(kinds(), (std::vector<int>{0, 0, 24, 24, 0}));
    EXPECT_EQ(form->LVMaster->Rows[2].SubItems[kColName], "news.m3u 1");
    EXPECT_EQ(form->LVMaster->Rows[4].Caption, "5") << "not renumbered";
    EXPECT_EQ(form->rasp->topLevelItemCount(), 0);
    EXPECT_EQ(form->TimeSchedule.count(), 0);
    // Deck A plays and nothing asks for an immediate start: B plays on.
    EXPECT_EQ(hl(), 1);
    at(QTime(8, 0, 1));
    EXPECT_EQ(form->LVMaster->rowCount(), 5) << "fired twice";

    form->aNextTrack();
    EXPECT_EQ(hl(), 2);
    EXPECT_EQ(kinds(), (std::vector<int>{0, 0, 25, 24, 0}));
    form->aNextTrack();
    EXPECT_TRUE(form->InScheduledBlock);
    form->aNextTrack();  // C: the block has played
    EXPECT_EQ(names(), (std::vector<QString>{"A", "B", "C"}));
    EXPECT_EQ(hl(), 2);
    EXPECT_EQ(onAir().FileName(), paths[2]);
    EXPECT_FALSE(form->InScheduledBlock);
    EXPECT_TRUE(scheduleBoxes().empty());
}

TEST_F(ScheduleWindow, AnImmediateEntryStartsAtOnceAndAnIdlePlayerStartsItToo)
{
    play(0);
    form->StartImmediately = true;
    schedule({{kDay, QTime(8, 0, 0), QString::fromStdString(paths[2])}});
    at(QTime(8, 0, 0));
    EXPECT_EQ(names(), (std::vector<QString>{"A", "C", "B", "C"}));
    EXPECT_EQ(hl(), 1) << "the inserted row did not start at once";
    EXPECT_EQ(kinds()[1], kImageScheduledPlaying);
    EXPECT_EQ(form->LVMaster->Rows[1].SubItems[kColName], "C") << "named when it started";

    // Nothing on air: the entry starts without being asked to, at the top of the list.
    form->StartImmediately = false;
    form->aStop();
    ASSERT_EQ(hl(), -1);
    schedule({{kDay, QTime(9, 0, 0), QString::fromStdString(paths[0])}});
    at(QTime(9, 0, 0));
    EXPECT_EQ(hl(), 0);
    EXPECT_EQ(kinds()[0], kImageScheduledPlaying);
    EXPECT_EQ(onAir().State(), engine::STATE_PLAY);
}

TEST_F(ScheduleWindow, AMissingPlaylistInsertsNothingAndSaysSoOnce)
{
    play(0);
    const std::string good = playlist("good.m3u", 2);
    // An upper-case extension is a playlist too.
    const std::string upper = programDir.path() + "/LOUD.M3U";
    std::filesystem::copy_file(good, upper);
    schedule({{kDay, QTime(8, 0, 0), QString::fromStdString(upper)},
              {kDay, QTime(8, 0, 10), QString::fromStdString(programDir.path() + "/gone.m3u")}});
    at(QTime(8, 0, 0));
    ASSERT_EQ(form->LVMaster->rowCount(), 5);
    EXPECT_EQ(form->rhelper->rowCount(), 2);
    at(QTime(8, 0, 10));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(form->LVMaster->rowCount(), 5) << "the previous scheduled playlist went in again";
    EXPECT_EQ(form->rhelper->rowCount(), 0);
    ASSERT_EQ(scheduleBoxes().size(), 1u);
    EXPECT_NE(scheduleBoxes()[0].text.find("gone.m3u"), std::string::npos);
    at(QTime(8, 0, 11));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(scheduleBoxes().size(), 1u);
    EXPECT_EQ(hl(), 0) << "a missing playlist cut the programme";
}

TEST_F(ScheduleWindow, PreviousOutOfABlockKeepsThePlayingRowMarked)
{
    play(1);
    schedule({{kDay, QTime(8, 0, 0), QString::fromStdString(playlist("block.m3u", 2))}});
    at(QTime(8, 0, 0));
    form->aNextTrack();
    form->aNextTrack();
    ASSERT_EQ(kinds(), (std::vector<int>{0, 0, 25, 25, 0}));
    form->aPrevTrack();  // back into the block
    EXPECT_EQ(hl(), 2);
    EXPECT_EQ(form->LVMaster->rowCount(), 5);
    form->aPrevTrack();  // out of it, to B before the block
    EXPECT_EQ(names(), (std::vector<QString>{"A", "B", "C"}));
    EXPECT_EQ(hl(), 1) << "the playing row lost its mark";
    EXPECT_EQ(onAir().FileName(), paths[1]);
    form->aNextTrack();
    EXPECT_EQ(onAir().FileName(), paths[2]) << "the next start skipped a row";
}

TEST_F(ScheduleWindow, TheListRunningOutSettlesTheBlock)
{
    play(2);
    schedule({{kDay, QTime(8, 0, 0), QString::fromStdString(playlist("last.m3u", 1))}});
    at(QTime(8, 0, 0));
    form->aNextTrack();
    ASSERT_EQ(kinds(), (std::vector<int>{0, 0, 0, 25}));
    form->aNextTrack();  // nothing after it: the player stops
    EXPECT_EQ(hl(), -1);
    EXPECT_EQ(names(), (std::vector<QString>{"A", "B", "C"}));
}

TEST_F(ScheduleWindow, TheScheduleDialogEditsACopyAndOkHandsItBack)
{
    schedule({{kDay, QTime(8, 0, 0), "/m/first.mp3"}}, false);
    form->StartImmediately = true;
    form->Button1->click();
    auto* dialog = form->findChild<Ttimeform*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isModal());
    EXPECT_EQ(dialog->windowTitle(), "Schedule");
    EXPECT_TRUE(dialog->rightnow->isChecked());
    EXPECT_FALSE(dialog->cbUseDate->isChecked());
    EXPECT_EQ(dialog->rasplist->header()->sectionSize(0), 0);
    EXPECT_EQ(dialog->rasplist->topLevelItemCount(), 1);
    EXPECT_EQ(dialog->_date->date(), QDate::currentDate());
    EXPECT_TRUE(dialog->EntryFilter.endsWith("|Playlist (m3u)|*.m3u"));
    dialog->Timer1Timer();
    EXPECT_FALSE(dialog->_time->isEnabled());

    // "Добавить" appends today's date and the present time.
    messages.pushText("/m/second.m3u");
    dialog->Button7->click();
    ASSERT_EQ(dialog->Rows.size(), 2u);
    EXPECT_EQ(dialog->Rows[1].date, QDate::currentDate());
    EXPECT_LE(std::abs(dialog->Rows[1].time.secsTo(QTime::currentTime())), 2);
    // Selecting a row loads the editors without editing it; an edit changes the row.
    dialog->rasplist->setCurrentItem(dialog->rasplist->topLevelItem(1));
    dialog->Timer1Timer();
    EXPECT_TRUE(dialog->_time->isEnabled());
    EXPECT_EQ(dialog->_file->text(), "/m/second.m3u");
    dialog->_time->setTime(QTime(9, 30, 0));
    dialog->_date->setDate(kDay);
    EXPECT_EQ(dialog->Rows[1], (ScheduleEntry{kDay, QTime(9, 30, 0), "/m/second.m3u"}));
    EXPECT_EQ(dialog->rasplist->topLevelItem(1)->text(1), scheduleTimeText(QTime(9, 30, 0)));
    // A time of the operator's day, without the zone the locale's long format names.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    EXPECT_EQ(scheduleTimeText(QTime(15, 9, 30)).toStdString(), "15:09:30");
    QLocale::setDefault(QLocale::system());
    messages.pushText("/m/other.mp3");
    dialog->Button4->click();
    EXPECT_EQ(dialog->Rows[1].path, "/m/other.mp3");
    // "Запускать немедленно" acts at once; "Учитывать дату" only shows the dates.
    dialog->rightnow->click();
    EXPECT_FALSE(form->StartImmediately);
    dialog->cbUseDate->click();
    EXPECT_GE(dialog->rasplist->header()->sectionSize(0), 66);
    EXPECT_FALSE(form->UseDate);
    // Cancel leaves the schedule, not the immediate start.
    dialog->Button2->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form->findChild<Ttimeform*>(), nullptr) << "the dialog was not freed";
    EXPECT_EQ(form->TimeSchedule.count(), 1);
    EXPECT_FALSE(form->StartImmediately);

    form->Button1Click();
    dialog = form->findChild<Ttimeform*>();
    messages.pushText("/m/third.mp3");
    dialog->Button7->click();
    dialog->rasplist->setCurrentItem(dialog->rasplist->topLevelItem(1));
    dialog->_date->setDate(kDay.addDays(1));
    dialog->_time->setTime(QTime(6, 0, 0));
    dialog->cbUseDate->click();
    dialog->Button1->click();
    EXPECT_TRUE(form->UseDate);
    ASSERT_EQ(form->TimeSchedule.count(), 2);
    EXPECT_EQ(form->TimeSchedule.times()[1], QDateTime(kDay.addDays(1), QTime(6, 0, 0)));
    ASSERT_EQ(form->rasp->topLevelItemCount(), 2);
    EXPECT_EQ(form->rasp->topLevelItem(1)->text(2), "/m/third.mp3");
    EXPECT_GE(form->rasp->header()->sectionSize(0), 70);
}

TEST_F(ScheduleWindow, TheScheduleListsFitTheirTextsAndNeverScrollSideways)
{
    const QString path = QStringLiteral("/m/") + QString(80, QLatin1Char('p')) + QStringLiteral(".mp3");
    form->PageControl1->setCurrentWidget(form->TabSheet4);
    form->show();
    schedule({{kDay, QTime(7, 37, 12), path}}, false);
    // A list's date column while dates are off, its time shown whole, and a click on the path in a
    // list narrower than its columns once were.
    const auto check = [this](QTreeWidget* list) {
        list->setFixedWidth(200);
        QCoreApplication::processEvents();
        EXPECT_EQ(list->header()->sectionSize(0), 0) << "dates are off";
        const int timeText = list->fontMetrics().horizontalAdvance(list->topLevelItem(0)->text(1));
        EXPECT_GE(list->header()->sectionSize(1), timeText) << "the time is cut";
        clickFirstRow(list, 2);
        EXPECT_EQ(list->currentIndex().column(), 2);
        EXPECT_EQ(list->horizontalScrollBar()->value(), 0) << "a click scrolled the times out of view";
    };
    check(form->rasp);
    form->Button1Click();
    auto* dialog = form->findChild<Ttimeform*>();
    ASSERT_NE(dialog, nullptr);
    QCoreApplication::processEvents();
    check(dialog->rasplist);
    dialog->cbUseDate->click();
    const int dateText = dialog->rasplist->fontMetrics().horizontalAdvance(dialog->rasplist->topLevelItem(0)->text(0));
    EXPECT_GE(dialog->rasplist->header()->sectionSize(0), std::max(66, dateText));
    dialog->Button2->click();
}

TEST_F(ScheduleWindow, AnEntryThatFiredWhileTheDialogWasOpenIsNotHandedBack)
{
    play(0);
    schedule({{kDay, QTime(8, 0, 0), QString::fromStdString(paths[2])}, {kDay, QTime(9, 0, 0), "/m/later.mp3"}});
    form->Button1Click();
    auto* dialog = form->findChild<Ttimeform*>();
    dialog->cbUseDate->setChecked(true);
    at(QTime(8, 0, 1));  // fires under the open dialog
    ASSERT_EQ(form->LVMaster->rowCount(), 4);
    dialog->Button1->click();
    ASSERT_EQ(form->TimeSchedule.count(), 1);
    EXPECT_EQ(form->TimeSchedule.entries()[0].path, "/m/later.mp3");
    at(QTime(8, 0, 2));
    EXPECT_EQ(form->LVMaster->rowCount(), 4) << "fired a second time";
}

TEST_F(ScheduleWindow, TheDialogLoadsAndSavesScheduleFiles)
{
    form->Button1Click();
    auto* dialog = form->findChild<Ttimeform*>();
    dialog->setRows({{kDay, QTime(8, 0, 0), "/m/a.mp3"}, {kDay, QTime(9, 0, 0), "/m/b.m3u"}});
    const std::string file = programDir.path() + "/Presets/Schedule/day.sdl";
    messages.pushText(file);
    dialog->Button6->click();
    dialog->Button8->click();
    EXPECT_EQ(dialog->rasplist->topLevelItemCount(), 0);
    messages.pushText(file);
    dialog->Button3->click();
    ASSERT_EQ(dialog->Rows.size(), 2u);
    EXPECT_EQ(dialog->Rows[1].path, "/m/b.m3u");
    EXPECT_EQ(dialog->rasplist->topLevelItemCount(), 2);
    dialog->Button2->click();
}

TEST_F(ScheduleWindow, TheProfileKeepsTheSwitchesAndTheScheduleFile)
{
    std::filesystem::create_directories(programDir.path() + "/Profile");
    const std::string profile = programDir.write("Profile/Night.prf", "[TimeTable]\nScheduleState=0\nStartImmediately=1\nUseDate=1\n");
    // An entry the player cannot read is named once, without holding up the load, and kept.
    std::filesystem::create_directories(programDir.path() + "/Presets/Schedule");
    programDir.write("Presets/Schedule/Night.sdl", "[Schedule]\nDate1=2024-05-10\nTime1=23:00:00\nFile1=/m/late.mp3\n"
                                                   "Date2=10/05/2024\nTime2=22:00:00\nFile2=/m/odd.mp3\n");
    const auto scheduleBoxes = [this] {
        std::vector<std::string> texts;
        for (const auto& shown : messages.shown())
            if (shown.caption == "Schedule")
                texts.push_back(shown.text);
        return texts;
    };
    form->LoadProfile(profile);
    EXPECT_TRUE(scheduleBoxes().empty());
    QCoreApplication::processEvents();
    ASSERT_EQ(scheduleBoxes().size(), 1u);
    EXPECT_NE(scheduleBoxes()[0].find("2: Date=10/05/2024"), std::string::npos) << scheduleBoxes()[0];
    EXPECT_FALSE(form->cbSchedule->isChecked());
    EXPECT_FALSE(form->rasptimer->isActive());
    EXPECT_TRUE(form->StartImmediately);
    EXPECT_TRUE(form->UseDate);
    ASSERT_EQ(form->TimeSchedule.count(), 1);
    EXPECT_GE(form->rasp->header()->sectionSize(0), 70);

    form->cbSchedule->click();
    form->TimeSchedule.setEntries({{kDay, QTime(6, 0, 0), "/m/early.mp3"}}, true, now);
    const std::string saved = programDir.path() + "/Profile/Day.prf";
    form->SaveProfile(saved);
    const platform::IniFile ini(saved);
    EXPECT_TRUE(ini.readBool("TimeTable", "ScheduleState", false));
    EXPECT_TRUE(ini.readBool("TimeTable", "StartImmediately", false));
    EXPECT_TRUE(ini.readBool("TimeTable", "UseDate", false));
    const ScheduleFile kept = readScheduleFile(programDir.path() + "/Presets/Schedule/Day.sdl");
    ASSERT_EQ(kept.entries.size(), 1u);
    EXPECT_EQ(kept.entries[0].path, "/m/early.mp3");
    ASSERT_EQ(kept.rest.unread.size(), 1u);
    EXPECT_EQ(kept.rest.unread[0].values[0].second, "10/05/2024");
    // A profile without its schedule file starts with an empty schedule, its timer as saved.
    form->LoadProfile(saved.substr(0, saved.size() - 7) + "Other.prf");
    EXPECT_EQ(form->TimeSchedule.count(), 0);
    EXPECT_FALSE(form->rasptimer->isActive());

    // A schedule file that cannot be written says why.
    std::filesystem::create_directories(programDir.path() + "/Presets/Schedule/Busy.sdl");
    form->TimeSchedule.setEntries({{kDay, QTime(6, 0, 0), "/m/early.mp3"}}, true, now);
    form->SaveProfile(programDir.path() + "/Profile/Busy.prf");
    bool told = false;
    for (const auto& shown : messages.shown())
        told = told || shown.text.find("SaveSchedule (Is a directory)") != std::string::npos;
    EXPECT_TRUE(told);
}

TEST_F(ScheduleWindow, TheHiddenListsDoubleClickStartsTheSelectedRow)
{
    form->LVMaster->selectRows({2});
    emit form->rhelper->doubleClicked(QModelIndex());
    EXPECT_EQ(hl(), 2);
    form->aStop();
    form->aBlockPlay();
    form->LVMaster->selectRows({1});
    emit form->rhelper->doubleClicked(QModelIndex());
    EXPECT_EQ(hl(), -1) << "the play lock let a double click through";
}

}  // namespace
