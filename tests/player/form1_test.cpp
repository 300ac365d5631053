// The main window's playlist commands, list files and start-up pieces, driven as the user would,
// with scripted message boxes and dialogs.
#include "windowfixture.h"
#include "tests/common/childrun.h"

#include "audiolib/audiolib.h"
#include "engine/audioengine.h"
#include "platform/messageids.h"
#include "platform/recordedusermessages.h"
#include "platform/window.h"
#include "controls/vtqstatusbar.h"
#include "platform/sharedmemory.h"
#include "platform/taskbarbutton.h"
#include "player/commandlinearea.h"
#include "player/playlist/finddialog.h"
#include "player/sequencing/sequencingdeck.h"
#include "player/sequencing/sequencingplayback.h"
#include "player/form1.h"
#include "player/playlist/playlistfile.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QProcess>
#include <QToolButton>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

using namespace player;
using playertest::row;
using playertest::TempDir;

namespace {

// An X server of the test's own, on a display number it finds free; not started without Xvfb.
class Xvfb {
public:
    Xvfb()
    {
        m_server.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                                QStringLiteral("0"), QStringLiteral("800x600x24"),
                                                QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (!m_server.waitForStarted(5000))
            return;
        // The number comes once the server takes connections.
        while (!m_server.canReadLine() && m_server.waitForReadyRead(20000)) {
        }
        bool ok = false;
        const int number = m_server.readLine().trimmed().toInt(&ok);
        if (ok)
            m_display = QStringLiteral(":%1").arg(number);
    }
    ~Xvfb()
    {
        m_server.terminate();
        m_server.waitForFinished(5000);
    }
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;
    QString display() const { return m_display; }

private:
    QProcess m_server;
    QString m_display;
};

// Makes this program the X display's system tray, as far as a tray icon's availability goes.
void ownTheTray()
{
    xcb_connection_t* c = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_window_t tray = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, tray, root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    const char name[] = "_NET_SYSTEM_TRAY_S0";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof name - 1, name), nullptr);
    ASSERT_NE(atom, nullptr);
    xcb_set_selection_owner(c, tray, atom->atom, XCB_CURRENT_TIME);
    std::free(atom);
    xcb_flush(c);
}

}  // namespace

class MainWindow : public playertest::NoSoundWindowTest {
protected:
    void fill(controls::TVqListView* list, int n)
    {
        for (int i = 0; i < n; ++i)
            list->Rows.push_back(row("t" + QString::number(i + 1), "01:00", "/m/" + QString::number(i + 1) + ".mp3"));
        list->syncView();
        form->RenumberList();
    }
    QString name(controls::TVqListView* list, int i) { return list->Rows[static_cast<std::size_t>(i)].SubItems[1]; }
    void showTemp() { form->pcPlaylist->setCurrentWidget(form->_slave); }
};

TEST_F(MainWindow, AddFileAppendsOrInsertsAndRenumbers)
{
    const std::string wav = programDir.write("Some Song.wav", playertest::wavFile(1, 8000, 8000 * 65));
    fill(form->LVMaster, 2);
    form->PendingInsertIndex = -1;
    form->AddFile(QString::fromStdString(wav));
    form->PendingInsertIndex = 1;
    form->AddFile(QString::fromStdString(wav));
    form->AddFile(QString::fromStdString(wav));
    EXPECT_EQ(form->PendingInsertIndex, 3);
    form->RenumberList();
    const auto& rows = form->LVMaster->Rows;
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[4].SubItems[1], "Some Song");
    EXPECT_EQ(rows[4].SubItems[2], "01:05");
    EXPECT_EQ(rows[1].SubItems[3].toStdString(), wav);
    EXPECT_EQ(name(form->LVMaster, 3), "t2");
    EXPECT_EQ(rows[4].Caption, "5");
    EXPECT_EQ(form->Panel2->text(), " Треков: 5 [0:05:15]");
}

TEST_F(MainWindow, FindResultsDropInTheirOrderBeforeTheRow)
{
    fill(form->LVMaster, 10);
    auto* found = form->LVFindResult;
    for (int i = 0; i < 4; ++i) {
        controls::TVirtualItem r;
        r.Caption = "Artist" + QString::number(i);
        r.SubItems[0] = "Title";
        r.SubItems[1] = "02:00";
        r.SubItems[2] = "/found/" + QString::number(i) + ".mp3";
        found->Rows.push_back(r);
    }
    found->syncView();
    found->selectRows({0, 2, 3});
    form->LVMasterDragDrop(found, 4);
    const auto& rows = form->LVMaster->Rows;
    ASSERT_EQ(rows.size(), 13u);
    EXPECT_EQ(rows[4].SubItems[1], "Artist0 - Title");
    EXPECT_EQ(rows[5].SubItems[1], "Artist2 - Title");
    EXPECT_EQ(rows[6].SubItems[3], "/found/3.mp3");
    EXPECT_EQ(rows[7].SubItems[1], "t5");
    EXPECT_EQ(rows[7].Caption, "8");
}

TEST_F(MainWindow, FolderDropInsertsScanOrderAtTheRow)
{
    const std::string folder = programDir.path() + "/music";
    std::filesystem::create_directories(folder);
    for (const char* n : {"b.wav", "A.wav", "skip.txt"})
        programDir.write(std::string("music/") + n, playertest::wavFile(1, 8000, 8000));
    fill(form->LVMaster, 3);
    form->PendingInsertIndex = 1;
    form->AddDir(QString::fromStdString(folder + "/"));
    const auto& rows = form->LVMaster->Rows;
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[1].SubItems[1], "A");
    EXPECT_EQ(rows[2].SubItems[1], "b");
    EXPECT_EQ(rows[3].SubItems[1], "t2");
    // Desktop drops append; a playlist dropped by the desktop is ignored.
    const std::string list = programDir.write("x.m3u", "#EXTM3U\r\n");
    form->WMDropFiles({QString::fromStdString(folder + "/A.wav"), QString::fromStdString(list)});
    EXPECT_EQ(form->LVMaster->rowCount(), 6);
    EXPECT_EQ(name(form->LVMaster, 5), "A");
}

TEST_F(MainWindow, DeleteMovesTheSelectionAndStopsOnlyWithoutAPlayingRow)
{
    fill(form->LVMaster, 5);
    form->LVMaster->HLIndex = 4;
    form->LVMaster->selectRows({1, 2});
    form->aEditDelExecute();
    ASSERT_EQ(form->LVMaster->rowCount(), 3);
    EXPECT_EQ(form->LVMaster->selectedRows(), std::vector<int>{1});
    EXPECT_EQ(name(form->LVMaster, 1), "t4");
    EXPECT_EQ(form->LVMaster->HLIndex, 2);  // the playing row kept its track
    form->aEditUndoExecute();
    EXPECT_EQ(form->LVMaster->rowCount(), 5);
    form->aEditDelAllExecute();
    EXPECT_EQ(form->LVMaster->rowCount(), 0);
    EXPECT_EQ(form->LVMaster->HLIndex, -1);
    EXPECT_EQ(form->Panel2->text(), " Треков: 0 [0:00:00]");
}

TEST_F(MainWindow, FindSelectsHitsAndReportsTheEnd)
{
    fill(form->LVMaster, 3);
    form->FindDialog1->setFindText("T2");
    form->FindNext();
    EXPECT_EQ(form->LVMaster->selectedRows(), std::vector<int>{1});
    EXPECT_EQ(form->FindDialog1->Tag, 1);
    form->FindNext();
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "Больше ничего не найдено!");
    EXPECT_EQ(form->FindDialog1->Tag, -1);
    form->FindDialog1->setFindText("");
    form->FindNext();
    EXPECT_EQ(messages.shown().size(), 2u);
}

TEST_F(MainWindow, TheToolBarLeadsWithTheListCommandsAndTheTrayMenuKeepsItsOrder)
{
    EXPECT_EQ(form->ListBar->actions(), (QList<QAction*>{form->aNew, form->N25, form->N27, form->N47}));
    EXPECT_EQ(form->N25->toolTip(), "Добавить файл");
    EXPECT_EQ(form->N27->toolTip(), "Поиск");
    EXPECT_EQ(form->N47->toolTip(), "Вставить плейлист");
    auto* find = qobject_cast<QToolButton*>(form->ListBar->widgetForAction(form->N27));
    ASSERT_NE(find, nullptr);
    find->click();
    EXPECT_TRUE(form->FindDialog1->isVisible());

    QStringList tray;
    for (const QAction* a : form->TrayMenu->actions())
        if (!a->isSeparator())
            tray << a->text();
    EXPECT_EQ(tray, (QStringList{"Плеер", "База", "Выход"}));
}

TEST_F(MainWindow, WithATrayThePlayerHasNoTaskBarButtonOfItsOwn)
{
    if (!testrun::inChildRun()) {
        const Xvfb x;
        if (x.display().isEmpty())
            GTEST_SKIP() << "no Xvfb to run an X display";
        QProcessEnvironment env;
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("DISPLAY"), x.display());
        EXPECT_TRUE(testrun::passesInChild(env));
        return;
    }
    programDir.write("system.ini", "[Device]\nMainDev=0\n");
    const auto shown = [this] {
        form->FormCreate();
        form->show();
        QCoreApplication::processEvents();
        return platform::taskbarButtonHidden(form.get());
    };
    // Without a tray the button is the only way back to a minimised window.
    EXPECT_FALSE(shown());
    EXPECT_EQ(form->TrayIcon, nullptr);
    ownTheTray();
    form->ExitFlag = true;
    form->close();
    makeForm();
    EXPECT_TRUE(shown());
    EXPECT_NE(form->TrayIcon, nullptr);
    form->ExitFlag = true;
    form->close();
}

TEST_F(MainWindow, HeaderClicksFlipTheDirection)
{
    form->AllowSort = true;
    fill(form->LVMaster, 3);
    form->LVMasterColumnClick(0);  // sorts nothing, flips
    form->LVMasterColumnClick(2);  // now descending
    EXPECT_EQ(name(form->LVMaster, 0), "t3");
    form->AllowSort = false;
    form->LVMasterColumnClick(2);
    EXPECT_EQ(name(form->LVMaster, 0), "t3");
}

TEST_F(MainWindow, RenameNeverReplacesAFile)
{
    const std::string a = programDir.write("a.wav", "A");
    const std::string b = programDir.write("b.wav", "B");
    form->LVMaster->Rows.push_back(row("a", "00:01", QString::fromStdString(a)));
    form->LVMaster->syncView();
    form->LVMaster->selectRows({0});
    messages.pushText(b);
    form->N53Click();
    EXPECT_EQ(programDir.read(b), "B");
    EXPECT_EQ(form->LVMaster->Rows[0].SubItems[3].toStdString(), a);
    const std::string c = programDir.path() + "/c.wav";
    messages.pushText(c);
    form->N53Click();
    EXPECT_EQ(programDir.read(c), "A");
    EXPECT_EQ(form->LVMaster->Rows[0].SubItems[3].toStdString(), c);
}

TEST_F(MainWindow, RenameTellsAFailureRefreshesTheTagPageAndMovesToAnotherVolume)
{
    const std::string a = programDir.write("a.wav", "A");
    form->LVMaster->Rows.push_back(row("a", "00:01", QString::fromStdString(a)));
    form->LVMaster->syncView();
    form->LVMaster->selectRows({0});
    messages.pushText(programDir.path() + "/no/such/folder/a.wav");
    form->N53Click();
    const auto shown = messages.shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].caption, "Rename File");
    EXPECT_NE(shown[1].text.find(a), std::string::npos);
    EXPECT_EQ(form->TagFileName.toStdString(), a) << "the tag page is refreshed after every rename";

    struct stat shm {}, here {};
    if (::stat("/dev/shm", &shm) != 0 || ::stat(a.c_str(), &here) != 0 || shm.st_dev == here.st_dev ||
        ::access("/dev/shm", W_OK) != 0)
        GTEST_SKIP() << "no second writable volume";
    QTemporaryDir other(QStringLiteral("/dev/shm/qvrename-XXXXXX"));
    ASSERT_TRUE(other.isValid());
    const std::string moved = other.path().toStdString() + "/a.wav";
    messages.pushText(moved);
    form->N53Click();
    EXPECT_EQ(form->LVMaster->Rows[0].SubItems[3].toStdString(), moved);
    EXPECT_EQ(programDir.read(moved), "A");
    EXPECT_FALSE(std::filesystem::exists(a));
    EXPECT_EQ(messages.shown().size(), 3u) << "no error box";
}

TEST_F(MainWindow, NewOnTheTempPageAsksAndSavesFirst)
{
    fill(form->LVMaster, 2);
    showTemp();
    fill(form->LVSlave, 3);
    form->ListNames[1] = "/somewhere/temp.m3u";
    messages.pushAnswer(platform::IDCANCEL);
    form->aNewExecute();
    EXPECT_EQ(form->LVSlave->rowCount(), 3);
    messages.pushAnswer(platform::IDNO);
    form->aNewExecute();
    EXPECT_EQ(form->LVSlave->rowCount(), 0);
    EXPECT_EQ(form->ListNames[1], "noname");
    EXPECT_EQ(form->LVMaster->rowCount(), 2);

    // Yes with a save that fails (dialog cancelled) keeps the list.
    fill(form->LVSlave, 2);
    messages.pushAnswer(platform::IDYES);
    form->aNewExecute();
    EXPECT_EQ(form->LVSlave->rowCount(), 2);
    // Yes with a save that succeeds clears it after writing.
    const std::string target = programDir.path() + "/saved.m3u";
    messages.pushAnswer(platform::IDYES);
    messages.pushText(target);
    form->aNewExecute();
    EXPECT_EQ(form->LVSlave->rowCount(), 0);
    const auto saved = ReadPlaylistFile(target);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->size(), 2u);
}

TEST_F(MainWindow, InsertPlaylistRowBeforeTheFirstSelectedRow)
{
    const std::string list = programDir.write("set.m3u", "#EXTM3U\r\n#EXTINF:60,a\r\n/a\r\n#EXTINF:30,b\r\n/b\r\n");
    fill(form->LVMaster, 8);
    form->LVMaster->selectRows({2, 6});
    messages.pushText(list);
    form->N47Click();
    EXPECT_EQ(form->LVMaster->Rows[2].SubItems[1], "PLAYLIST  set.m3u");
    EXPECT_EQ(form->LVMaster->Rows[2].SubItems[2], "01:30");
    form->LVMaster->selectRows({});
    messages.pushText(list);
    form->N47Click();
    EXPECT_EQ(form->LVMaster->Rows.back().SubItems[0], "PLAYLIST");
    EXPECT_EQ(form->LVMaster->Rows.back().Caption, "10");
}

TEST_F(MainWindow, RecentPlaylistsAndCaption)
{
    form->WindowTitle = "Quorvalen (1.0)";
    const std::string one = programDir.write("one.m3u", "#EXTM3U\r\n#EXTINF:5,x\r\n/x.mp3\r\n");
    const std::string hst = programDir.write("p.hst", one + "\r\n/R&B/two.m3u\r\n");
    form->LoadHistory(QString::fromStdString(hst));
    EXPECT_TRUE(form->h[0]->isVisible());
    EXPECT_TRUE(form->h[1]->isVisible());
    EXPECT_FALSE(form->h[2]->isVisible());
    EXPECT_EQ(form->h[1]->text(), "2. /R&&B/two.m3u") << "an \"&\" shows as itself, not as an accelerator";
    // A missing file leaves the items as they were.
    form->LoadHistory(QString::fromStdString(programDir.path() + "/none.hst"));
    EXPECT_TRUE(form->h[1]->isVisible());
    const std::string out = programDir.path() + "/out.hst";
    form->SaveHistory(QString::fromStdString(out));
    EXPECT_EQ(programDir.read(out), programDir.read(hst));

    form->RecentClick(1);
    form->Reads->finish();
    EXPECT_EQ(form->LVMaster->rowCount(), 1);
    EXPECT_EQ(form->windowTitle(), "Quorvalen (1.0) - one.m3u");
    showTemp();
    EXPECT_EQ(form->windowTitle(), "Quorvalen (1.0) - noname");
    form->SilenceDetectorOn = true;
    form->UpdateCaption();
    EXPECT_EQ(form->StatusBar1->Panels().Items(5)->Text(), "Детектор тишины: Bкл");
    EXPECT_EQ(form->StatusBar1->Panels().Items(3)->Text(), "LR Split");
}

TEST_F(MainWindow, SaveAsThenSaveWritesTheSameFile)
{
    fill(form->LVMaster, 2);
    const std::string target = programDir.path() + "/mine";
    messages.pushText(target);
    EXPECT_TRUE(form->aSaveAsExecute());
    EXPECT_EQ(form->ListNames[0].toStdString(), target + ".m3u");
    EXPECT_TRUE(form->h[0]->isVisible());
    fill(form->LVMaster, 1);
    EXPECT_TRUE(form->aSaveExecute());  // no dialog: the list has a name
    const auto back = ReadPlaylistFile(target + ".m3u");
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->size(), 3u);
    // Append adds a file's rows to the end.
    messages.pushText(target + ".m3u");
    form->N58Click();
    form->Reads->finish();
    EXPECT_EQ(form->LVMaster->rowCount(), 6);
}

TEST_F(MainWindow, AnswersPingAndQueuesAnEarlyHandOver)
{
    EXPECT_EQ(platform::sendMessage(form->handle(), platform::UM_PING, 0, 0), 10000);

    // The default profile's playlist, loaded at the first showing.
    std::filesystem::create_directories(programDir.path() + "/Profile");
    programDir.write("Profile/Default.m3u", "#EXTM3U\r\n#EXTINF:5,old\r\n/old.mp3\r\n");
    const std::string wav = programDir.write("handed.wav", playertest::wavFile(1, 8000, 8000));
    platform::SharedMemory area;
    ASSERT_TRUE(area.open("QuorvalenCommandLine__1", kCommandLineAreaSize));
    WriteCommandLineArea(area.data(), area.size(), "file", wav);
    form->CommandLineArea = &area;
    form->ListsReady = false;
    EXPECT_EQ(platform::sendMessage(form->handle(), platform::UM_COMMAND_LINE, 0, 0), kCommandLineTaken);
    // A later hand-over overwrites the area; the queued one was copied when it arrived.
    WriteCommandLineArea(area.data(), area.size(), "", "");
    EXPECT_EQ(form->LVMaster->rowCount(), 0);
    form->show();
    QApplication::processEvents();
    ASSERT_EQ(form->LVMaster->rowCount(), 2);
    EXPECT_EQ(name(form->LVMaster, 0), "old");
    EXPECT_EQ(name(form->LVMaster, 1), "handed");
    EXPECT_EQ(form->LVMaster->selectedRows(), std::vector<int>{1});
    form->CommandLineArea = nullptr;
}

TEST_F(MainWindow, CloseMinimisesUnlessAllowedAndExitSaves)
{
    fill(form->LVMaster, 2);
    form->show();
    QApplication::processEvents();
    form->CloseAllowed = false;
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    const std::string saved = programDir.path() + "/Profile/Default.m3u";
    EXPECT_FALSE(std::filesystem::exists(saved));
    showTemp();  // the Main list is saved whichever page is active
    form->N20Click();
    EXPECT_FALSE(form->isVisible());
    const auto rows = ReadPlaylistFile(saved);
    ASSERT_TRUE(rows.has_value());
    EXPECT_EQ(rows->size(), 2u);
    EXPECT_NE(programDir.read(programDir.path() + "/Profile/Default.prf").find("Close=0"), std::string::npos);
}

TEST_F(MainWindow, TransportCommandsDriveTheDecksAndTheEndMessageIsMapped)
{
    programDir.write("system.ini", "[Device]\nMainDev=0\n");
    form->FormCreate();
    const std::string wav = programDir.write("long.wav", playertest::soundWavFile(1, 8000, 8000 * 20));
    form->AddFile(QString::fromStdString(wav));
    form->AddFile(QString::fromStdString(wav));
    form->RenumberList();
    form->LVMaster->selectRows({1});
    form->LVMasterDblClick();
    EXPECT_EQ(form->LVMaster->HLIndex, 1);
    // The deck on air is whichever the sequencer's roles name deck A.
    engine::TAudioEngine& onAir = static_cast<EngineDeck&>(form->Sequencer->deckA()).engine();
    EXPECT_EQ(onAir.State(), engine::STATE_PLAY);
    EXPECT_EQ(onAir.FileName(), wav);
    // An end message from an earlier start of the deck is ignored; one for this start ends it.
    form->WMDeckEnded(static_cast<platform::WParam>(onAir.StartNumber() - 1), onAir.DeckNumber());
    EXPECT_EQ(onAir.State(), engine::STATE_PLAY);
    form->WMDeckEnded(static_cast<platform::WParam>(onAir.StartNumber()), onAir.DeckNumber());
    EXPECT_EQ(onAir.State(), engine::STATE_END);
    form->LVMaster->selectRows({1});
    form->aPlay();
    ASSERT_EQ(form->LVMaster->HLIndex, 1);
    form->aStopAction->trigger();
    EXPECT_EQ(form->LVMaster->HLIndex, -1);
    // Cutting every row stops playback too.
    form->LVMaster->selectRows({0});
    form->aPlay();
    ASSERT_EQ(form->LVMaster->HLIndex, 0);
    form->LVMaster->selectRows({0, 1});
    form->aEditCutExecute();
    EXPECT_EQ(form->LVMaster->HLIndex, -1);
}

TEST_F(MainWindow, CopyEnablesPasteAndUndoFollowsTheList)
{
    fill(form->LVMaster, 3);
    controls::ClipboardRows().clear();
    form->LVMaster->setFocus();
    form->LVMaster->selectRows({0});
    form->UpdateActions();
    EXPECT_FALSE(form->aEditPaste->isEnabled());
    form->aEditCopyExecute();
    EXPECT_TRUE(form->aEditPaste->isEnabled());
    form->aEditPaste->trigger();
    EXPECT_EQ(form->LVMaster->rowCount(), 4);
    EXPECT_TRUE(form->aEditUndo->isEnabled());
    form->aEditUndo->trigger();
    EXPECT_EQ(form->LVMaster->rowCount(), 3);
}

TEST_F(MainWindow, UndoPutsThePlayingAndNextMarksBackOnTheirRows)
{
    fill(form->LVMaster, 6);
    form->LVMaster->HLIndex = 3;   // row 4 plays
    form->LVMaster->NextIndex = 4;
    form->LVMaster->selectRows({0});
    form->aEditDelExecute();
    ASSERT_EQ(form->LVMaster->HLIndex, 2);
    form->aEditUndoExecute();
    EXPECT_EQ(form->LVMaster->rowCount(), 6);
    EXPECT_EQ(form->LVMaster->HLIndex, 3) << "the highlight stays on the song on air";
    EXPECT_EQ(form->LVMaster->NextIndex, 4);

    // The last row plays; three rows pasted above it, then undone.
    form->LVMaster->NextIndex = -1;
    form->LVMaster->HLIndex = 5;
    form->LVMaster->selectRows({0, 1, 2});
    form->aEditCopyExecute();
    form->LVMaster->selectRows({4});
    form->aEditPasteExecute();
    ASSERT_EQ(form->LVMaster->HLIndex, 8);
    form->aEditUndoExecute();
    EXPECT_EQ(form->LVMaster->rowCount(), 6);
    EXPECT_EQ(form->LVMaster->HLIndex, 5) << "the mark stays inside the list, on the last row";
    EXPECT_EQ(form->LVMaster->Rows[5].SubItems[3], "/m/6.mp3");
}

TEST(PlayerIniFile, NumbersAreCutToTheirRange)
{
    TempDir dir;
    for (const char* bad : {"-2147483648", "2147483647", "-1", "0"}) {
        const std::string text = std::string("[Options]\nVisUpdateDelay=") + bad + "\nThreshold=" + bad + "\n";
        const PlayerIni ini = ReadPlayerIni(dir.write("player.ini", text));
        EXPECT_GE(ini.VisUpdateDelay, 1) << bad;
        EXPECT_LE(ini.VisUpdateDelay, kMaxVisUpdateDelay) << bad;
        EXPECT_GE(ini.Threshold, 0) << bad;
        EXPECT_LE(ini.Threshold, kMaxThreshold) << bad;
    }
}
