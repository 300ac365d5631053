// Jingle windows over the programme on the manual clock: the decks lowered while any is open and
// raised after the last, a start while lowered, a jingle that ends by itself, a missing file, the
// buttons and menu items, the jingle list dialog, the profile and the player's end.
#include "tests/player/manualclockwindow.h"

#include "controls/tbar.h"
#include "platform/inifile.h"
#include "player/form1.h"
#include "player/jingles/jinlistform.h"
#include "player/jingles/jinplayform.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>

using namespace player;

namespace {

class JingleWindows : public playertest::ManualClockWindow {
protected:
    void SetUp() override
    {
        ManualClockWindow::SetUp();
        form->JVol = 50;
        for (int k = 1; k <= 2; ++k) {
            const std::string name = "jingle" + std::to_string(k) + ".wav";
            form->JingleSlots[static_cast<std::size_t>(k)] =
                QString::fromStdString(programDir.write(name, playertest::toneWav(800 + 100 * k, 3, kRate)));
        }
        addTone("one.wav", 440, 20);
        addTone("two.wav", 660, 20);
        play(0);
    }
    TfrmJinPlay* window(std::size_t i) { return jingleWindows().at(i); }
};

TEST_F(JingleWindows, TwoJinglesLowerTheDecksUntilTheLastClosesInEitherOrder)
{
    for (bool firstClosesFirst : {true, false}) {
        SCOPED_TRACE(firstClosesFirst ? "first closes first" : "second closes first");
        ASSERT_EQ(onAir().GetVolume(), 100);
        form->PlayJingl(1);
        ASSERT_EQ(jingleWindows().size(), 1u);
        EXPECT_EQ(onAir().GetVolume(), 50);
        EXPECT_EQ(form->DeckVolume, 50);
        form->PlayJingl(2);
        ASSERT_EQ(jingleWindows().size(), 2u);
        TfrmJinPlay* first = window(0);
        TfrmJinPlay* second = window(1);
        EXPECT_EQ(first->Engine->State(), engine::STATE_PLAY);
        EXPECT_EQ(second->Engine->State(), engine::STATE_PLAY);
        EXPECT_EQ(QString::fromStdString(second->Engine->FileName()), form->JingleSlots[2]);
        tick();
        (firstClosesFirst ? first : second)->Button1->click();
        tick();
        ASSERT_EQ(jingleWindows().size(), 1u);
        EXPECT_EQ(onAir().GetVolume(), 50) << "raised while a jingle still plays";
        (firstClosesFirst ? second : first)->Button1->click();
        tick();
        EXPECT_TRUE(jingleWindows().empty());
        EXPECT_EQ(onAir().GetVolume(), 100);
        EXPECT_EQ(form->DeckVolume, 100);
        EXPECT_EQ(form->Ducking.openWindows(), 0);
    }
}

TEST_F(JingleWindows, ATrackStartedWhileLoweredStartsLowered)
{
    form->PlayJingl(1);
    engine::TAudioEngine& before = onAir();
    form->aNextTrack();
    engine::TAudioEngine& after = onAir();
    ASSERT_NE(&before, &after);
    ASSERT_EQ(after.State(), engine::STATE_PLAY);
    EXPECT_EQ(after.GetVolume(), 50) << "the next item came in at full volume under the jingle";
    window(0)->Button1->click();
    tick();
    EXPECT_EQ(onAir().GetVolume(), 100);
    // With the level at 100 the decks are never touched.
    form->JVol = 100;
    form->SetDeckVolume(80);
    form->PlayJingl(1);
    EXPECT_EQ(onAir().GetVolume(), 80);
    window(0)->Button1->click();
    tick();
    EXPECT_EQ(onAir().GetVolume(), 80);
}

TEST_F(JingleWindows, AJingleThatEndsByItselfClosesItsWindowAndRaisesTheDecks)
{
    form->JingleSlots[3] = QString::fromStdString(programDir.write("short.wav", playertest::toneWav(1000, 0.3, kRate)));
    form->PlayJingl(3);
    ASSERT_EQ(jingleWindows().size(), 1u);
    QProgressBar* progress = window(0)->pb;
    tick();
    tick();
    tick();
    EXPECT_GT(progress->value(), 300);
    EXPECT_LT(progress->value(), 700);
    const int ticks = ticksUntil([this] { return jingleWindows().empty(); }, 40);
    EXPECT_GE(ticks, 3);
    EXPECT_LE(ticks, 5) << "the window stayed after its jingle had ended";
    EXPECT_EQ(onAir().GetVolume(), 100);
    EXPECT_EQ(onAir().State(), engine::STATE_PLAY) << "the programme went with the jingle";
}

TEST_F(JingleWindows, AMissingFileClosesItsWindowAtTheFirstTickAndAnEmptySlotOpensNone)
{
    form->JingleSlots[4] = QString::fromStdString(programDir.path() + "/gone.mp3");
    form->PlayJingl(4);
    ASSERT_EQ(jingleWindows().size(), 1u);
    EXPECT_EQ(onAir().GetVolume(), 50);
    tick();
    EXPECT_TRUE(jingleWindows().empty());
    EXPECT_EQ(onAir().GetVolume(), 100);
    for (int n : {5, 0, -1, 10, 99})
        form->PlayJingl(n);
    EXPECT_TRUE(jingleWindows().empty());
    EXPECT_EQ(form->Ducking.openWindows(), 0);
}

TEST_F(JingleWindows, ButtonsMenuItemsAndTheWindowsVolume)
{
    auto* button = form->findChild<QToolButton*>("ToolButton20");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->property("Tag").toInt(), 2);
    EXPECT_EQ(form->findChild<QToolButton*>("ToolButton16")->property("Tag").toInt(), 7);
    button->click();
    ASSERT_EQ(jingleWindows().size(), 1u);
    EXPECT_EQ(window(0)->FileName, form->JingleSlots[2]);
    EXPECT_EQ(window(0)->windowTitle(), "Jingle");
    EXPECT_TRUE(window(0)->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    window(0)->tbVolume->setValue(30);
    EXPECT_EQ(form->JinglVolume, 30);
    EXPECT_EQ(window(0)->Engine->GetVolume(), 30);
    auto* item = form->findChild<QAction*>("jin1");
    ASSERT_NE(item, nullptr);
    item->trigger();
    ASSERT_EQ(jingleWindows().size(), 2u);
    EXPECT_EQ(window(1)->tbVolume->value(), 30);
    EXPECT_EQ(window(1)->Engine->GetVolume(), 30);
    window(0)->tbVolume->setValue(70);
    EXPECT_EQ(window(1)->Engine->GetVolume(), 30) << "an open window keeps its own volume";
    // Esc closes a jingle window.
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
    QCoreApplication::sendEvent(window(1), &esc);
    tick();
    EXPECT_EQ(jingleWindows().size(), 1u);
    EXPECT_TRUE(form->ScanAbort);
}

TEST_F(JingleWindows, TheJingleListAssignsPreListensAndSetsTheLevel)
{
    form->N30->trigger();
    auto* dialog = form->findChild<TfrmJinList*>();
    ASSERT_NE(dialog, nullptr);
    dialog->show();
    EXPECT_EQ(dialog->windowTitle(), "Jingles list");
    EXPECT_EQ(dialog->rowPath(1), form->JingleSlots[2]);
    EXPECT_EQ(dialog->ListView1->topLevelItem(1)->text(1), "jingle2.wav");
    EXPECT_EQ(dialog->tbVolume->value(), 50);
    EXPECT_FALSE(dialog->Button1->isEnabled());
    EXPECT_TRUE(dialog->OpenFilter.startsWith("Jingles list (*.lst)|*.lst|Audio Files"));

    // "Выбрать..." sets the selected row and moves on to the next one.
    dialog->ListView1->setCurrentItem(dialog->ListView1->topLevelItem(4));
    dialog->Timer1Timer();
    EXPECT_TRUE(dialog->Button1->isEnabled());
    const std::string chosen = programDir.write("chosen.wav", playertest::toneWav(500, 1, kRate));
    messages.pushText(chosen);
    dialog->Button1->click();
    EXPECT_EQ(dialog->rowPath(4).toStdString(), chosen);
    EXPECT_EQ(dialog->ListView1->indexOfTopLevelItem(dialog->ListView1->currentItem()), 5);
    // "Прослушать" plays the row in a jingle window through slot 0, lowering the decks.
    dialog->ListView1->setCurrentItem(dialog->ListView1->topLevelItem(4));
    dialog->Button3->click();
    ASSERT_EQ(jingleWindows().size(), 1u);
    EXPECT_EQ(window(0)->FileName.toStdString(), chosen);
    EXPECT_EQ(form->JingleSlots[0].toStdString(), chosen);
    EXPECT_EQ(onAir().GetVolume(), 50);
    // The level takes effect at once, Cancel or not; "Удалить" empties a row.
    dialog->tbVolume->setValue(20);
    EXPECT_EQ(form->JVol, 20);
    dialog->ListView1->setCurrentItem(dialog->ListView1->topLevelItem(0));
    dialog->Button2->click();
    EXPECT_TRUE(dialog->rowPath(0).isEmpty());
    dialog->Button7->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form->findChild<TfrmJinList*>(), nullptr) << "the dialog was not freed";
    EXPECT_FALSE(form->JingleSlots[1].isEmpty()) << "Cancel changed the slots";
    EXPECT_EQ(form->JVol, 20);

    // "ОК" puts the rows into the slots and the menu.
    form->N30Click();
    dialog = form->findChild<TfrmJinList*>();
    dialog->show();
    dialog->setRow(2, "/j/three.mp3");
    dialog->setRow(0, QString());
    dialog->Button6->click();
    EXPECT_EQ(form->JingleSlots[3], "/j/three.mp3");
    EXPECT_TRUE(form->JingleSlots[1].isEmpty());
    EXPECT_EQ(form->findChild<QAction*>("jin3")->text(), "3 /j/three.mp3");
    EXPECT_EQ(form->findChild<QAction*>("jin1")->text(), "1");
}

TEST_F(JingleWindows, TheJingleListNeverScrollsItsNumbersOutOfView)
{
    form->JingleSlots[1] = QStringLiteral("/j/") + QString(80, QLatin1Char('n')) + QStringLiteral(".mp3");
    form->N30->trigger();
    auto* dialog = form->findChild<TfrmJinList*>();
    ASSERT_NE(dialog, nullptr);
    QTreeWidget* list = dialog->ListView1;
    list->setFixedWidth(200);  // narrower than its columns once were
    QCoreApplication::processEvents();
    clickFirstRow(list, 1);
    EXPECT_EQ(list->currentIndex().column(), 1);
    EXPECT_EQ(list->horizontalScrollBar()->value(), 0) << "a click scrolled the list sideways";
    EXPECT_GE(list->header()->sectionSize(0), list->header()->sectionSizeHint(0)) << "the numbers are cut";
    dialog->Button7->click();
}

TEST_F(JingleWindows, TheJingleListLoadsAndSavesListFiles)
{
    form->N30Click();
    auto* dialog = form->findChild<TfrmJinList*>();
    dialog->show();
    const std::string file = programDir.path() + "/set.lst";
    messages.pushText(file);
    dialog->Button5->click();
    dialog->setRow(0, QString());
    dialog->setRow(1, QString());
    messages.pushText(file);
    dialog->Button4->click();
    EXPECT_EQ(dialog->rowPath(0), form->JingleSlots[1]);
    EXPECT_EQ(dialog->rowPath(1), form->JingleSlots[2]);
    // A save that cannot be written says so.
    messages.pushText(programDir.path() + "/no/such/folder/set.lst");
    dialog->Button5->click();
    EXPECT_EQ(boxes("Jingles list").size(), 1u);
    dialog->close();
}

TEST_F(JingleWindows, TheProfileKeepsSlotsAndLevels)
{
    std::filesystem::create_directories(programDir.path() + "/Profile");
    const std::string profile = programDir.write("Profile/Work.prf", "");
    {
        platform::IniFile ini(profile);
        ini.writeString("Jingles", "Path3", "/j/news & weather.mp3");
        ini.writeInteger("Options", "JinglVolume", 64);
        ini.writeInteger("Options", "JVol", 250);
    }
    form->LoadProfile(profile);
    EXPECT_EQ(form->JingleSlots[3], "/j/news & weather.mp3");
    EXPECT_TRUE(form->JingleSlots[1].isEmpty());
    EXPECT_EQ(form->findChild<QAction*>("jin3")->text(), "3 /j/news && weather.mp3");
    EXPECT_EQ(form->findChild<QAction*>("jin1")->text(), "1");
    EXPECT_EQ(form->JinglVolume, 64);
    EXPECT_EQ(form->JVol, 100) << "a level out of range was taken as it stands";

    form->JingleSlots[0] = "/j/prelisten.mp3";
    form->JVol = 35;
    const std::string saved = programDir.path() + "/Profile/Saved.prf";
    form->SaveProfile(saved);
    const platform::IniFile ini(saved);
    EXPECT_EQ(ini.readString("Jingles", "Path3", ""), "/j/news & weather.mp3");
    EXPECT_TRUE(ini.valueExists("Jingles", "Path9"));
    EXPECT_FALSE(ini.valueExists("Jingles", "Path0")) << "the pre-listen slot is never kept";
    EXPECT_EQ(ini.readInteger("Options", "JinglVolume", 0), 64);
    EXPECT_EQ(ini.readInteger("Options", "JVol", 0), 35);
}

TEST_F(JingleWindows, ClosingThePlayerReleasesTheJingleDecksFirst)
{
    form->PlayJingl(1);
    form->PlayJingl(2);
    std::vector<QPointer<TfrmJinPlay>> windows;
    for (TfrmJinPlay* w : jingleWindows())
        windows.emplace_back(w);
    ASSERT_EQ(windows.size(), 2u);
    form->CloseAllowed = true;
    form->close();
    for (const QPointer<TfrmJinPlay>& w : windows) {
        if (w) {
            EXPECT_EQ(w->Engine, nullptr) << "a jingle deck outlived the close";
        }
    }
    EXPECT_EQ(form->Ducking.openWindows(), 0);
    // The device is still open for the decks, which the window frees last.
    EXPECT_TRUE(audiolib::advance(kTickFrames));
    form.reset();
}

TEST_F(JingleWindows, AWindowLeftOpenAtTheEndIsReleasedBeforeTheDevice)
{
    form->PlayJingl(1);
    tick();
    form.reset();  // no close first: the window's end alone
    SUCCEED();
}

}  // namespace
