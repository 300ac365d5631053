// The notes window following the selected and the playing track: notes files created, changed and
// removed byte for byte, the flag that stops it, old file names, closing, and its profile keys.
#include "tests/player/windowfixture.h"

#include "audiolib/audiolib.h"
#include "controls/vqpossave.h"
#include "platform/inifile.h"
#include "platform/programfolder.h"
#include "player/form1.h"
#include "player/notes/notesfiles.h"
#include "player/notes/notesfrm.h"
#include "player/playlist/playlistrows.h"
#include "player/profiles/profilehooks.h"
#include "player/sequencing/sequencingplayback.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <sys/stat.h>

using namespace player;
namespace fs = std::filesystem;

namespace {

class Notes : public playertest::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        makeForm();
        form->Comment = true;  // the rows' notes marks
        form->CreateNotesFrm();
        notes = form->NotesFrm;
        notes->SetNoAutoRead(false);
        for (const char* name : {"a.wav", "b.wav", "c.wav"})
            add(name);
    }
    void add(const std::string& name)
    {
        const std::string path = programDir.write(name, playertest::wavFile(1, 8000, 800));
        form->AddFile(QString::fromStdString(path));
        form->RenumberList();
    }
    void select(int row) { form->LVMaster->selectRows({row}); }
    std::string track(int row) const { return form->LVMaster->Rows[static_cast<std::size_t>(row)].SubItems[3].toStdString(); }
    std::string notesOf(int row) const { return NotesFileName(programDir.path() + "/Txt/", track(row)); }
    int mark(int row) const { return form->LVMaster->Rows[static_cast<std::size_t>(row)].ImageIndex; }
    std::string bytes(const std::string& path) const { return programDir.read(path); }

    TNotesFrm* notes = nullptr;
};

TEST_F(Notes, FilesAreCreatedChangedAndRemovedByteForByte)
{
    ASSERT_FALSE(fs::exists(programDir.path() + "/Txt"));
    select(0);
    EXPECT_EQ(notes->NotesFile(), notesOf(0));
    EXPECT_FALSE(notes->isVisible()) << "a track without notes hides the window";
    notes->Memo1->setPlainText(QStringLiteral("Первая строка\nsecond line"));

    select(1);
    // "Txt" is made when missing; UTF-8 with CR LF after every line.
    EXPECT_EQ(bytes(notesOf(0)), "Первая строка\r\nsecond line\r\n");
    EXPECT_EQ(mark(0), kImageHasNotes);
    EXPECT_EQ(mark(1), kImageOrdinary);
    EXPECT_EQ(notes->Memo1->toPlainText(), "");

    select(0);
    EXPECT_TRUE(notes->isVisible());
    EXPECT_EQ(notes->Memo1->toPlainText(), QStringLiteral("Первая строка\nsecond line"));
    notes->Memo1->setPlainText("changed\n\nend\n");
    select(2);
    EXPECT_EQ(bytes(notesOf(0)), "changed\r\n\r\nend\r\n\r\n");
    EXPECT_FALSE(notes->isVisible());

    select(0);
    EXPECT_EQ(notes->Memo1->toPlainText(), "changed\n\nend\n");
    notes->Memo1->clear();
    select(1);
    EXPECT_FALSE(fs::exists(notesOf(0)));
    EXPECT_EQ(mark(0), kImageOrdinary);
}

TEST_F(Notes, OlderFilesInCodePage1251AndWithAByteOrderMarkAreRead)
{
    fs::create_directories(programDir.path() + "/Txt");
    programDir.write("Txt/" + fs::path(notesOf(0)).filename().string(), "\xCF\xF0\xE8\xE2\xE5\xF2\r\n\xEA\xE0\xEA");
    programDir.write("Txt/" + fs::path(notesOf(1)).filename().string(), "\xEF\xBB\xBFutf-8 \xD1\x8F\rold mac");
    select(0);
    EXPECT_EQ(notes->Memo1->toPlainText(), QStringLiteral("Привет\nкак"));
    select(1);
    EXPECT_EQ(notes->Memo1->toPlainText(), QStringLiteral("utf-8 я\nold mac"));
    // Taking another track over writes the shown notes back in UTF-8.
    select(2);
    EXPECT_EQ(bytes(notesOf(0)), "Привет\r\nкак\r\n");
}

TEST_F(Notes, WithAutomaticReadingOffNothingIsSavedLoadedShownOrHidden)
{
    select(0);
    notes->Memo1->setPlainText("typed");
    notes->N3->trigger();
    EXPECT_TRUE(notes->NoAutoRead());
    notes->show();
    select(1);
    form->LoadTrackNotes(QString::fromStdString(track(2)));
    EXPECT_EQ(notes->Memo1->toPlainText(), "typed");
    EXPECT_TRUE(notes->isVisible());
    EXPECT_EQ(notes->NotesFile(), notesOf(0));
    EXPECT_FALSE(fs::exists(programDir.path() + "/Txt"));

    notes->N3->trigger();
    select(2);
    EXPECT_EQ(bytes(notesOf(0)), "typed\r\n");
}

TEST_F(Notes, ATrackWhoseFileIsGoneHasNoNotesFile)
{
    fs::remove(track(1));
    EXPECT_EQ(form->TrackNotesFile(QString::fromStdString(track(1))), "");
    select(0);
    notes->Memo1->setPlainText("for a");
    notes->show();
    select(1);
    EXPECT_EQ(notes->NotesFile(), "");
    EXPECT_FALSE(notes->isVisible());
    notes->Memo1->setPlainText("typed for nobody");
    select(2);
    // Only a's notes were written: the text typed while no file was current went nowhere.
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(programDir.path() + "/Txt"))
        files.push_back(entry.path().string());
    EXPECT_EQ(files, std::vector<std::string>{notesOf(0)});
}

TEST_F(Notes, TracksNeverShareAFileAndOldNamesAreTakenOver)
{
    fs::create_directories(programDir.path() + "/m/a");
    const std::string nested = programDir.write("m/a/b.wav", playertest::wavFile(1, 8000, 800));
    const std::string flat = programDir.write("m/a_b.wav", playertest::wavFile(1, 8000, 800));
    form->AddFile(QString::fromStdString(nested));
    form->AddFile(QString::fromStdString(flat));
    form->RenumberList();
    // Notes kept under the old name, which both tracks mapped to.
    const std::string old = OldNotesFileName(programDir.path() + "/Txt/", flat);
    ASSERT_EQ(old, OldNotesFileName(programDir.path() + "/Txt/", nested));
    fs::create_directories(programDir.path() + "/Txt");
    programDir.write("Txt/" + fs::path(old).filename().string(), "kept\r\n");
    form->RenumberList();
    EXPECT_EQ(mark(4), kImageHasNotes) << "a row with notes under the old name is marked";

    select(4);
    EXPECT_EQ(notes->Memo1->toPlainText(), "kept");
    EXPECT_FALSE(fs::exists(old)) << "the old file moved to the track's own name";
    EXPECT_EQ(bytes(notesOf(4)), "kept\r\n");
    EXPECT_NE(notesOf(3), notesOf(4));
    select(3);
    EXPECT_EQ(notes->Memo1->toPlainText(), "");
    notes->Memo1->setPlainText("nested");
    select(4);
    EXPECT_EQ(bytes(notesOf(3)), "nested\r\n");
    EXPECT_EQ(notes->Memo1->toPlainText(), "kept");
    // Emptying one track's notes leaves the other's.
    notes->Memo1->clear();
    select(3);
    EXPECT_FALSE(fs::exists(notesOf(4)));
    EXPECT_EQ(notes->Memo1->toPlainText(), "nested");
}

TEST_F(Notes, AFailedSaveKeepsTheTextAndSaysSo)
{
    programDir.write("Txt", "a file where the folder should be");
    select(0);
    notes->Memo1->setPlainText("precious");
    select(1);
    EXPECT_EQ(notes->NotesFile(), notesOf(0));
    EXPECT_EQ(notes->Memo1->toPlainText(), "precious");
    select(2);  // still failing: one box, not one per change
    QCoreApplication::processEvents();
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_NE(messages.shown()[0].text.find(notesOf(0)), std::string::npos);
}

TEST_F(Notes, TheNotesShownAreSavedWhenThePlayerCloses)
{
    select(0);
    notes->Memo1->setPlainText("last words");
    form->ExitFlag = true;
    form->close();
    EXPECT_EQ(bytes(notesOf(0)), "last words\r\n");
}

TEST_F(Notes, MenuItemAndEscapeShowAndHide)
{
    EXPECT_EQ(form->N49->text(), QStringLiteral("Блокнот... (T)"));
    EXPECT_TRUE(form->mView->actions().contains(form->N49));
    EXPECT_EQ(notes->windowTitle(), "Notepad");
    EXPECT_TRUE(notes->windowFlags() & Qt::WindowStaysOnTopHint);
    form->N49->trigger();
    EXPECT_TRUE(notes->isVisible());
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(notes->Memo1, &esc);
    EXPECT_FALSE(notes->isVisible());
    form->N49Click();
    EXPECT_TRUE(notes->isVisible());
    form->N49Click();
    EXPECT_FALSE(notes->isVisible());
    EXPECT_EQ(notes->VqPosSave1->Key, "Software\\Caldrivane");
}

TEST_F(Notes, TheNotepadFirstOpensInTheMainWindowsCornerBelowItsCaption)
{
    notes->VqPosSave1->Key = "Software\\Caldrivane\\FirstPlaceTest";  // no position saved yet
    // The profile places the main window after the notes window was made.
    form->resize(700, 500);
    form->move(150, 90);
    form->show();
    QCoreApplication::processEvents();
    form->N49Click();
    QCoreApplication::processEvents();
    const QRect main = form->frameGeometry();
    const QRect own = notes->frameGeometry();
    EXPECT_NEAR(own.right(), main.right(), 4) << "in the main window's right corner";
    EXPECT_NEAR(own.top(), form->geometry().top(), 4) << "below the main window's caption";
}

TEST_F(Notes, FontDialogStartsWithTheMemosFont)
{
    QFont f("Sans", 11);
    notes->Memo1->setFont(f);
    messages.pushFont({"Serif", 14, true, false, false, false, 0x0000FF});
    notes->N1->trigger();
    EXPECT_EQ(notes->Memo1->font().pointSize(), 14);
    EXPECT_TRUE(notes->Memo1->font().bold());
    EXPECT_EQ(notes->Memo1->palette().color(QPalette::Text), QColor(255, 0, 0));
    ASSERT_EQ(messages.shown().size(), 1u);
}

TEST_F(Notes, TheProfileKeepsTheFlagAndTheFont)
{
    const auto hooks = profileHooks();
    const auto notesHook = std::find_if(hooks.begin(), hooks.end(), [](const ProfileHook& h) {
        return h.load == &TForm1::LoadNotesProfile && h.save == &TForm1::SaveNotesProfile;
    });
    ASSERT_NE(notesHook, hooks.end());

    const std::string profile = programDir.write(
        "p.prf", "[NotesFont]\nName=Serif\nSize=13\nColor=255\nStyle=6\n[Options]\nNotesReadTag=0\n");
    form->LoadNotesProfile(platform::IniFile(profile), ProfileLoad{profile, false});
    EXPECT_FALSE(notes->NoAutoRead());
    EXPECT_EQ(notes->Memo1->font().family(), "Serif");
    EXPECT_EQ(notes->Memo1->font().pointSize(), 13);
    EXPECT_TRUE(notes->Memo1->font().bold());
    EXPECT_TRUE(notes->Memo1->font().italic());
    EXPECT_EQ(notes->Memo1->palette().color(QPalette::Text), QColor(255, 0, 0));

    // Clear style bits take nothing away; damaged sizes and names change nothing; a missing flag
    // is on.
    programDir.write("p.prf", "[NotesFont]\nStyle=0\nSize=-4\nName=\n");
    form->LoadNotesProfile(platform::IniFile(profile), ProfileLoad{profile, false});
    EXPECT_TRUE(notes->Memo1->font().bold());
    EXPECT_EQ(notes->Memo1->font().pointSize(), 13);
    EXPECT_EQ(notes->Memo1->font().family(), "Serif");
    EXPECT_TRUE(notes->NoAutoRead());

    platform::IniFile saved(std::string(), platform::IniFile::Mode::Buffered);
    form->SaveNotesProfile(saved);
    EXPECT_EQ(saved.readString("NotesFont", "Name", ""), "Serif");
    EXPECT_EQ(saved.readInteger("NotesFont", "Size", 0), 13);
    EXPECT_EQ(saved.readInteger("NotesFont", "Color", 0), 255);
    EXPECT_EQ(saved.readInteger("NotesFont", "Style", 0), 6);
    EXPECT_EQ(saved.readString("Options", "NotesReadTag", ""), "1");
}

TEST(NotesFiles, TextRoundTripsThroughTheFile)
{
    playertest::TempDir dir;
    for (const QString& text : {QStringLiteral("one"), QStringLiteral("a\nb"), QStringLiteral("trailing\n"),
                                QStringLiteral("\n\nblank lines\n\n"), QStringLiteral(" ")}) {
        const std::string path = dir.path() + "/sub/n.txt";
        ASSERT_TRUE(WriteNotesFile(path, text));
        EXPECT_EQ(QByteArray::fromStdString(dir.read(path)), NotesFileBytes(text));
        EXPECT_EQ(ReadNotesFile(path), text) << text.toStdString();
    }
    EXPECT_EQ(NotesFileBytes("x\ny"), QByteArray("x\r\ny\r\n"));
    EXPECT_FALSE(ReadNotesFile(dir.path() + "/none.txt"));
    // A pipe under a notes file's name gives nothing, without waiting for a writer.
    ASSERT_EQ(::mkfifo((dir.path() + "/pipe.txt").c_str(), 0600), 0);
    EXPECT_FALSE(ReadNotesFile(dir.path() + "/pipe.txt"));
}

class NotesOnAir : public playertest::ManualClockWindowTest {
protected:
    void SetUp() override
    {
        ManualClockWindowTest::SetUp();
        form->CreateNotesFrm();
        form->NotesFrm->SetNoAutoRead(false);
    }
};

TEST_F(NotesOnAir, ATrackThatStartsShowsItsNotes)
{
    std::vector<std::string> tracks;
    for (const char* name : {"one.wav", "two.wav"}) {
        tracks.push_back(programDir.write(name, playertest::wavFile(1, 44100, 44100 * 10)));
        form->AddFile(QString::fromStdString(tracks.back()));
    }
    form->RenumberList();
    const std::string notes = NotesFileName(programDir.path() + "/Txt/", tracks[1]);
    ASSERT_TRUE(WriteNotesFile(notes, "read me on air"));
    form->LVMaster->selectRows({0});
    form->aPlay();
    EXPECT_FALSE(form->NotesFrm->isVisible());
    // The next row starts while the selection stays where it is.
    form->Sequencer->modes().autoupdateTag = false;
    form->aNextTrack();
    ASSERT_EQ(form->LVMaster->HLIndex, 1);
    EXPECT_EQ(form->LVMaster->selectedRows(), std::vector<int>{0});
    EXPECT_EQ(form->NotesFrm->NotesFile(), notes);
    EXPECT_EQ(form->NotesFrm->Memo1->toPlainText(), "read me on air");
    EXPECT_TRUE(form->NotesFrm->isVisible());
}

}  // namespace
