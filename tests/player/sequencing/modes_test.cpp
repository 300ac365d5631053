// The main window's mode buttons, crossfade controls, MIC, on-air label and play report, driven
// in-process on the "no sound" device's manual clock with the main timer called every 50 ms.
#include "tests/player/windowfixture.h"

#include "audiolib/audiolib.h"
#include "engine/audioengine.h"
#include "engine/enginesettings.h"
#include "engine/linein.h"
#include "platform/inifile.h"
#include "platform/recordedusermessages.h"
#include "controls/spinfloatedit.h"
#include "player/form1.h"
#include "player/sequencing/formsequencer.h"
#include "player/playlist/playlistrows.h"
#include "player/sequencing/sequencingdeck.h"
#include "player/sequencing/sequencingplayback.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

using namespace player;
using playertest::TempDir;

namespace {

class ModesWindow : public playertest::WindowTest {
protected:
    static constexpr std::uint32_t kTickFrames = 44100 / 20;

    void SetUp() override
    {
        WindowTest::SetUp();
        audiolib::setManualClock(true);
    }
    void TearDown() override
    {
        if (form && form->LineInDeck)
            form->LineInDeck->Stop();
        engine::TVqLineIn::destroyInstance();
        WindowTest::TearDown();
        audiolib::setManualClock(false);
    }
    void start(const std::string& systemIni = "[Device]\nMainDev=0\n")
    {
        programDir.write("system.ini", systemIni);
        makeForm().FormCreate();
        form->maintimer->stop();  // ticks come from the test only
    }
    // One main-timer period of virtual time: the decks play on, end messages arrive, the tick runs.
    void tick()
    {
        audiolib::advance(kTickFrames);
        QCoreApplication::sendPostedEvents();
        form->maintimerTimer();
        form->maintimer->stop();
    }
    // Ticks until done holds; the number of ticks, or -1 after limit.
    int ticksUntil(const std::function<bool()>& done, int limit = 200)
    {
        for (int i = 1; i <= limit; ++i) {
            tick();
            if (done())
                return i;
        }
        return -1;
    }
    void addTracks(int n, double seconds)
    {
        for (int i = 1; i <= n; ++i) {
            const std::string name = "Track " + std::to_string(i) + ".wav";
            const std::string path = programDir.write(name, playertest::wavFile(1, 8000, static_cast<int>(8000 * seconds)));
            form->AddFile(QString::fromStdString(path));
        }
        form->RenumberList();
    }
    void play(int row)
    {
        form->LVMaster->selectRows({row});
        form->aPlay();
    }
    int hl() const { return form->LVMaster->HLIndex; }
    PlayModes& modes() { return form->Sequencer->modes(); }
    CrossfadeRecord& record(int c) { return form->Sequencer->table().records[static_cast<std::size_t>(c)]; }
    std::string programFile(const std::string& name) const { return programDir.path() + "/" + name; }
    bool lockShown() const
    {
        for (QAction* a : form->ModeBar->actions())
            if (form->ModeBar->widgetForAction(a) == form->Bevel5)
                return a->isVisible();
        return false;
    }
};

TEST_F(ModesWindow, ModeButtonsExcludeTheirPartnerAndSteerTheEndOfATrack)
{
    start();
    addTracks(3, 0.5);
    form->btRepeat->click();
    EXPECT_TRUE(modes().repeat);
    form->btBreak->click();
    EXPECT_TRUE(modes().breakOn);
    EXPECT_FALSE(modes().repeat);
    EXPECT_FALSE(form->btRepeat->isChecked());
    form->btShuffle->click();
    form->btRepeatList->click();
    EXPECT_TRUE(modes().repeatList);
    EXPECT_FALSE(modes().shuffle);
    EXPECT_FALSE(form->btShuffle->isChecked());
    EXPECT_TRUE(modes().breakOn) << "the two pairs are independent";
    form->btBreak->click();
    EXPECT_FALSE(modes().breakOn);

    // "Repeat playlist": the end of the last row starts the first.
    play(2);
    ASSERT_EQ(hl(), 2);
    EXPECT_GT(ticksUntil([this] { return hl() != 2; }), 0);
    EXPECT_EQ(hl(), 0);
    EXPECT_EQ(form->Sequencer->deckA().State(), engine::STATE_PLAY);

    // "Repeat track": the row that ended starts again, on the other deck.
    form->btRepeatList->click();
    form->btRepeat->click();
    const SequencerDeck* first = &form->Sequencer->deckA();
    EXPECT_GT(ticksUntil([&] { return &form->Sequencer->deckA() != first; }), 0);
    EXPECT_EQ(hl(), 0);
    EXPECT_EQ(form->Sequencer->deckA().State(), engine::STATE_PLAY);

    // "Break" for one track: nothing starts, the next row waits selected and the button pops up.
    form->brOneTrack->trigger();
    EXPECT_TRUE(modes().oneTrack);
    form->btBreak->click();
    EXPECT_FALSE(form->btRepeat->isChecked());
    EXPECT_GT(ticksUntil([this] { return hl() == -1; }), 0);
    EXPECT_EQ(form->LVMaster->selectedRows(), std::vector<int>{1});
    EXPECT_FALSE(form->btBreak->isChecked());
    EXPECT_FALSE(modes().breakOn);
    for (int i = 0; i < 10; ++i)
        tick();
    EXPECT_EQ(hl(), -1);
    EXPECT_NE(form->Sequencer->deckA().State(), engine::STATE_PLAY);
}

TEST_F(ModesWindow, CrossfadeControlsEditTheClassRecordAndTheNextMixUsesIt)
{
    start();
    addTracks(3, 3.0);
    form->musmix->SetValue(1.0L);
    form->cbmusmix->setChecked(true);
    form->cbmusfade->setChecked(true);  // with a fade time of 0 the point stays off
    EXPECT_TRUE(record(kClassMusic).mixOn);
    EXPECT_FLOAT_EQ(record(kClassMusic).mixSeconds, 1.0f);
    EXPECT_FALSE(record(kClassMusic).fadeOn);
    form->admix->SetValue(2.5L);
    EXPECT_FALSE(record(kClassAdvert).mixOn) << "a time without its check box";
    form->cbadmix->setChecked(true);
    EXPECT_TRUE(record(kClassAdvert).mixOn);
    EXPECT_FLOAT_EQ(record(kClassAdvert).mixSeconds, 2.5f);
    EXPECT_FALSE(record(kClassMusic).fadeOn);

    // 3 s items mixed 1 s before their end: the next row starts after 2 s.
    play(0);
    const int firstMix = ticksUntil([this] { return hl() == 1; });
    EXPECT_NEAR(firstMix * 50, 2000, 100);
    // Edited while row 1 plays, the new time holds for its own mix.
    form->musmix->SetValue(0.5L);
    EXPECT_FLOAT_EQ(record(kClassMusic).mixSeconds, 0.5f);
    const int secondMix = ticksUntil([this] { return hl() == 2; });
    EXPECT_NEAR(secondMix * 50, 2500, 100);
}

TEST_F(ModesWindow, ProfileKeepsTheTableAndTheModeOptions)
{
    start();
    form->musmix->SetValue(5);
    form->musfade->SetValue(3);
    form->cbmusmix->setChecked(true);
    form->cbmusfade->setChecked(true);
    form->jinfade->SetValue(0.5L);
    form->cbjinfade->setChecked(true);
    form->cbCenterList->setChecked(true);
    form->brOneTrack->trigger();
    record(kClassCdOrLineIn) = {4.0f, 4.0f, true, true};
    modes().autoupdateTag = false;
    const std::string prf = programFile("Profile/Work.prf");
    form->SaveProfile(prf);
    EXPECT_EQ(platform::IniFile(prf).readString("Crossfade", "Settings", ""), form->Sequencer->table().toHex());
    EXPECT_EQ(platform::IniFile(prf).readInteger("Options", "Break1", -1), 1);

    form->ShowCrossfadeTable(CrossfadeTable{});
    record(kClassCdOrLineIn) = {};
    form->cbCenterList->setChecked(false);
    form->brOneTrack->trigger();
    modes().autoupdateTag = true;
    ASSERT_FALSE(record(kClassMusic).mixOn);

    form->LoadProfile(prf);
    EXPECT_DOUBLE_EQ(static_cast<double>(form->musmix->Value()), 5.0);
    EXPECT_TRUE(form->cbmusfade->isChecked());
    const CrossfadeRecord music = record(kClassMusic);
    EXPECT_FLOAT_EQ(music.mixSeconds, 5.0f);
    EXPECT_FLOAT_EQ(music.fadeSeconds, 3.0f);
    EXPECT_TRUE(music.mixOn && music.fadeOn);
    EXPECT_TRUE(record(kClassJingle).fadeOn);
    EXPECT_FALSE(record(kClassJingle).mixOn);
    EXPECT_FALSE(record(kClassCdOrLineIn).mixOn) << "record 0 has no controls and is not read back";
    EXPECT_TRUE(form->cbCenterList->isChecked());
    EXPECT_TRUE(form->brOneTrack->isChecked());
    EXPECT_TRUE(modes().oneTrack);
    EXPECT_FALSE(modes().autoupdateTag);
}

TEST_F(ModesWindow, MicPlaysTheLineInputOnTheNoSoundDevice)
{
    start();
    EXPECT_FALSE(form->MicBtn->isEnabled()) << "UseLineIn is off";
    // Pressed all the same (a hot key, say): nothing plays, and the button does not claim it does.
    form->MicBtn->setChecked(true);
    form->MicBtnClick();
    EXPECT_FALSE(form->MicBtn->isChecked());
    EXPECT_NE(form->LineInDeck->State(), engine::STATE_PLAY);
    form.reset();

    start("[Options]\nUseLineIn=1\n[Device]\nMainDev=0\n");
    ASSERT_TRUE(form->MicBtn->isEnabled());
    form->MicBtn->click();
    EXPECT_EQ(form->LineInDeck->State(), engine::STATE_PLAY);
    EXPECT_TRUE(form->LineInDeck->IsLineIn());
    tick();
    EXPECT_EQ(form->LineInDeck->State(), engine::STATE_PLAY) << "the line input never ends";
    form->MicBtn->click();
    EXPECT_EQ(form->LineInDeck->State(), engine::STATE_STOP);
}

TEST_F(ModesWindow, ReportFolderIsMadeAtStartAndTheDaysLinesWritten)
{
    start();
    ASSERT_FALSE(QDir(QString::fromStdString(programFile("Report"))).exists());
    form->LoadProfile(programFile("Profile/Default.prf"));  // missing: Report is on by default
    EXPECT_TRUE(QDir(QString::fromStdString(programFile("Report"))).exists());
    EXPECT_TRUE(errorBoxes().empty());

    const QDateTime now(QDate(2026, 3, 5), QTime(14, 7, 9));
    form->SeqHost->report = PlayReport(programDir.path(), [now] { return now; });
    addTracks(2, 1.0);
    play(1);
    EXPECT_EQ(programDir.read(programFile("Report/05-03-2026.txt")), "14:07:09    Track 2\r\n");
    ASSERT_EQ(form->ListBox2->count(), 1);
    EXPECT_EQ(form->ListBox2->item(0)->text(), "14:07:09    Track 2");
    // The first tick reads the day's file back into the list.
    form->ListBox2->clear();
    tick();
    ASSERT_EQ(form->ListBox2->count(), 1);
    EXPECT_EQ(form->ListBox2->item(0)->text(), "14:07:09    Track 2");

    // With the profile's Report off a start writes nothing.
    QDir().mkpath(QString::fromStdString(programFile("Profile")));
    programDir.write("Profile/Quiet.prf", "[Options]\nReport=0\n");
    form->LoadProfile(programFile("Profile/Quiet.prf"));
    play(0);
    EXPECT_EQ(programDir.read(programFile("Report/05-03-2026.txt")), "14:07:09    Track 2\r\n");
}

TEST_F(ModesWindow, ReportFolderThatCannotBeMadeIsShown)
{
    start();
    programDir.write("Report", "a file where the folder should be");
    form->LoadProfile(programFile("Profile/Default.prf"));
    const auto shown = errorBoxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Player: Error");
    EXPECT_EQ(shown[0].text, "Error: -1, \r\nFile: " + programFile("Report") + "\r\nFunc: CreateDir (Report)");
}

TEST_F(ModesWindow, StartShowsTheSilenceCutOfTheItemOnAir)
{
    start();
    // 0.5 s of silence, 1 s of a loud square wave, 0.25 s of silence, at 8 kHz.
    std::string wav = playertest::wavFile(1, 8000, 14000);
    const std::size_t data = wav.size() - 28000;
    for (std::size_t i = 4000; i < 12000; ++i) {
        const std::int16_t v = (i / 8) % 2 ? 12000 : -12000;
        wav[data + 2 * i] = static_cast<char>(v & 0xFF);
        wav[data + 2 * i + 1] = static_cast<char>((v >> 8) & 0xFF);
    }
    form->AddFile(QString::fromStdString(programDir.write("cut.wav", wav)));
    form->RenumberList();
    form->DeckA->SkipSilence = true;
    form->DeckB->SkipSilence = true;
    play(0);
    double startSeconds = -1, endSeconds = -1;
    ASSERT_EQ(std::sscanf(form->Label10->text().toLatin1().constData(), "start: %lf s,  end: %lf s", &startSeconds,
                          &endSeconds), 2)
        << form->Label10->text().toStdString();
    EXPECT_NEAR(startSeconds, 0.5, 0.02);
    EXPECT_NEAR(endSeconds, 0.25, 0.02);
}

TEST_F(ModesWindow, CentringKeepsThePlayingRowInTheMiddle)
{
    start();
    addTracks(1, 1.0);
    for (int i = 0; i < 79; ++i)
        form->LVMaster->Rows.push_back(form->LVMaster->Rows.front());
    form->LVMaster->syncView();
    form->RenumberList();
    form->resize(900, 700);
    form->show();
    QCoreApplication::processEvents();
    auto firstShown = [this] { return form->LVMaster->indexAt(QPoint(2, 2)).row(); };
    auto shown = [this](int row) {
        return form->LVMaster->viewport()->rect().contains(
            form->LVMaster->visualRect(form->LVMaster->model()->index(row, 0)).center());
    };

    play(60);
    EXPECT_EQ(firstShown(), 0) << "centring is off";
    form->cbCenterList->setChecked(true);
    play(60);
    EXPECT_GT(firstShown(), 0);
    EXPECT_TRUE(shown(60));
    const int rowHeight = form->LVMaster->visualRect(form->LVMaster->model()->index(60, 0)).height();
    const int rowTop = form->LVMaster->visualRect(form->LVMaster->model()->index(60, 0)).top();
    EXPECT_NEAR(rowTop, (form->LVMaster->viewport()->height() - 2 * rowHeight) / 2, rowHeight);

    // With centring off, a click on the on-air label brings the playing row back all the same.
    form->cbCenterList->setChecked(false);
    form->LVMaster->scrollToTop();
    ASSERT_FALSE(shown(60));
    form->edArtistClick();
    EXPECT_TRUE(shown(60));
}

TEST_F(ModesWindow, OnAirLabelPlayingRowAndPlayLock)
{
    start();
    addTracks(2, 1.0);
    TVirtualItem& second = form->LVMaster->Rows[1];
    second.SubItems[kColMarker] = "PLAYLIST";
    second.SubItems[kColName] = "stale name";
    second.SubItems[kColDuration] = "??:??";
    play(1);
    EXPECT_EQ(form->lOnAir->text(), "Track 2");
    EXPECT_EQ(second.SubItems[kColName], "Track 2");
    EXPECT_EQ(second.SubItems[kColDuration], "00:01");
    EXPECT_TRUE(second.SubItems[kColMarker].isEmpty());

    // While the lock is on a double click starts nothing.
    form->aBlockPlayAction->trigger();
    EXPECT_TRUE(form->PlayLocked);
    EXPECT_TRUE(lockShown());
    form->LVMaster->selectRows({0});
    form->LVMasterDblClick();
    EXPECT_EQ(hl(), 1);
    form->aBlockPlayAction->trigger();
    EXPECT_FALSE(lockShown());
    form->LVMasterDblClick();
    EXPECT_EQ(hl(), 0);

    // A click on the on-air label selects the playing row again.
    form->LVMaster->selectRows({1});
    form->edArtistClick();
    EXPECT_EQ(form->LVMaster->selectedRows(), std::vector<int>{0});

    form->aStop();
    EXPECT_TRUE(form->lOnAir->text().isEmpty());
}

TEST_F(ModesWindow, AFadeTimerFailureIsShownThroughTheEventQueue)
{
    // Shown at once, inside the main timer's tick, the box would hold every later tick (the next
    // mix point, the end of the item on air) until the operator answered it.
    start();
    const auto failureBoxes = [this] {
        int n = 0;
        for (const auto& shown : messages.shown())
            n += shown.text == kFadeTimerFailedText && shown.caption == kFadeTimerFailedCaption;
        return n;
    };
    form->SeqHost->fadeTimerFailed();
    EXPECT_EQ(failureBoxes(), 0) << "the box was shown from inside the caller";
    QCoreApplication::processEvents();
    EXPECT_EQ(failureBoxes(), 1);
}

TEST_F(ModesWindow, TickErrorsWaitForTheEventQueueAndNeverStackUp)
{
    // An exception inside every tick must neither hold automation behind a box nor open a box
    // per tick.
    start();
    const auto errorBoxes = [this] {
        int n = 0;
        for (const auto& shown : messages.shown())
            n += shown.caption == "MainTimerError";
        return n;
    };
    for (int i = 0; i < 5; ++i)
        form->SeqHost->reportError("Exception: broken\r\nFunc: maintimerTimer", "MainTimerError");
    EXPECT_EQ(errorBoxes(), 0) << "the box was shown from inside the tick";
    QCoreApplication::processEvents();
    EXPECT_EQ(errorBoxes(), 1) << "errors met while a box waited were stacked";
    form->SeqHost->reportError("Exception: again\r\nFunc: maintimerTimer", "MainTimerError");
    QCoreApplication::processEvents();
    EXPECT_EQ(errorBoxes(), 2) << "once the box is answered, the next error is shown";
}

}  // namespace
