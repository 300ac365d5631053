// The notes marks: rows of tracks with a notes file are marked, scheduled rows keep their image,
// and a track is looked up on disk once unless its notes are said to have changed; after every
// one-row edit the numbers, the total and the marks are those a count of every row gives.
#include "tests/player/playerfixtures.h"
#include "tests/player/windowfixture.h"

#include "player/playlist/notesmarks.h"
#include "player/playlist/playlistrows.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>

using namespace player;
using playertest::row;

namespace {

class NotesMarksTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(dir.path() + "/Txt");
        for (int i = 0; i < 5; ++i)
            rows.push_back(row("t" + QString::number(i), "01:00", "/music/" + QString::number(i) + ".mp3"));
    }
    void writeNotes(int i) const
    {
        std::ofstream(NotesFileName(folder(), rows[static_cast<std::size_t>(i)].SubItems[kColPath].toStdString())) << "n";
    }
    void writeOldNotes(int i) const
    {
        std::ofstream(OldNotesFileName(folder(), rows[static_cast<std::size_t>(i)].SubItems[kColPath].toStdString())) << "n";
    }
    std::string folder() const { return dir.path() + "/Txt/"; }
    std::vector<int> images() const
    {
        std::vector<int> out;
        for (const auto& r : rows)
            out.push_back(r.ImageIndex);
        return out;
    }

    playertest::TempDir dir;
    std::vector<controls::TVirtualItem> rows;
    NotesMarks marks;
};

}  // namespace

TEST_F(NotesMarksTest, MarksTracksWithNotesAndLeavesScheduledRows)
{
    writeNotes(1);
    writeOldNotes(2);  // kept under the name of before
    writeNotes(3);
    rows[3].ImageIndex = kImageScheduledWaiting;
    rows[4].ImageIndex = kImageHasNotes;  // its notes are gone: only a link to nowhere is left
    std::filesystem::create_symlink(folder() + "nowhere", NotesFileName(folder(), rows[4].SubItems[kColPath].toStdString()));
    EXPECT_TRUE(marks.mark(rows, 0, 4, folder(), false));
    EXPECT_EQ(images(), (std::vector<int>{0, kImageHasNotes, kImageHasNotes, kImageScheduledWaiting, 0}));
    EXPECT_FALSE(marks.mark(rows, 0, 4, folder(), false));  // nothing changed
    // Bounds beyond the rows are kept within them.
    EXPECT_FALSE(marks.mark(rows, -5, 50, folder(), false));
}

TEST_F(NotesMarksTest, LooksUpOnlyNewTracksWhileTheNotesFolderStaysAsItWas)
{
    // The folder last changed long ago, and its time is put back after each change below, so
    // that it looks untouched.
    const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    auto settle = [&] { ASSERT_EQ(::utimensat(AT_FDCWD, folder().c_str(), old, 0), 0); };
    const controls::TVirtualItem later = row("new", "01:00", "/music/new.mp3");
    std::ofstream(NotesFileName(folder(), "/music/new.mp3")) << "n";
    settle();
    marks.mark(rows, 0, 4, folder(), false);
    writeNotes(0);
    settle();
    // An edit that brought no new track does not look at the disk again...
    EXPECT_FALSE(marks.mark(rows, 0, 4, folder(), false));
    EXPECT_EQ(rows[0].ImageIndex, 0);
    // ...a track new to the list is looked up...
    rows.push_back(later);
    EXPECT_TRUE(marks.mark(rows, 0, 5, folder(), false));
    EXPECT_EQ(rows[5].ImageIndex, kImageHasNotes);
    EXPECT_EQ(rows[0].ImageIndex, 0);
    // ...the rows whose notes were just saved are looked up again when asked...
    EXPECT_TRUE(marks.mark(rows, 0, 1, folder(), true));
    EXPECT_EQ(rows[0].ImageIndex, kImageHasNotes);
    // ...and a folder that changed (its time moved on) has every track looked up again.
    writeNotes(3);
    EXPECT_TRUE(marks.mark(rows, 0, 5, folder(), false));
    EXPECT_EQ(rows[3].ImageIndex, kImageHasNotes);
    // A row moved elsewhere in the list (or restored by an undo) keeps its track's answer.
    std::swap(rows[0], rows[2]);
    rows[2].ImageIndex = 0;
    EXPECT_TRUE(marks.mark(rows, 0, 5, folder(), false));
    EXPECT_EQ(rows[2].ImageIndex, kImageHasNotes);
}

TEST_F(NotesMarksTest, AnotherNotesFolderForgetsEverything)
{
    writeNotes(2);
    marks.mark(rows, 0, 4, folder(), false);
    ASSERT_EQ(rows[2].ImageIndex, kImageHasNotes);
    const playertest::TempDir other;
    EXPECT_TRUE(marks.mark(rows, 0, 4, other.path() + "/", false));
    EXPECT_EQ(rows[2].ImageIndex, 0);
}

class NotesMarksWindow : public playertest::WindowTest {};

TEST_F(NotesMarksWindow, EveryEditMarksTheMainListWhenNotesAreOn)
{
    makeForm();
    std::filesystem::create_directories(programDir.path() + "/Txt");
    auto& list = *form->LVMaster;
    for (int i = 0; i < 4; ++i)
        list.Rows.push_back(row("t" + QString::number(i), "01:00", "/music/" + QString::number(i) + ".mp3"));
    list.syncView();
    std::ofstream(NotesFileName(programDir.path() + "/Txt/", "/music/2.mp3")) << "n";
    form->RenumberList();
    EXPECT_EQ(list.Rows[2].ImageIndex, 0);  // notes marks are off
    form->Comment = true;
    list.selectRows({0});
    form->aEditDelExecute();
    EXPECT_EQ(list.Rows[1].SubItems[kColPath], "/music/2.mp3");
    EXPECT_EQ(list.Rows[1].ImageIndex, kImageHasNotes);
    EXPECT_EQ(list.Rows[0].ImageIndex, 0);
    // The notes window has just removed the notes: the visible rows are looked at again.
    std::filesystem::remove(NotesFileName(programDir.path() + "/Txt/", "/music/2.mp3"));
    form->ShowComments(false);
    EXPECT_EQ(list.Rows[1].ImageIndex, 0);
}

TEST_F(NotesMarksWindow, OneRowEditsKeepNumbersTotalAndMarksAsACountOfEveryRowWould)
{
    makeForm();
    form->Comment = true;
    form->AllowSort = true;
    const std::string notes = programDir.path() + "/Txt/";
    std::filesystem::create_directories(notes);
    for (int i : {3, 10, 29})
        std::ofstream(NotesFileName(notes, "/music/" + std::to_string(i) + ".mp3")) << "n";
    // Written long ago as far as the folder shows: the marks are kept up by the edits alone.
    const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, notes.c_str(), old, 0), 0);
    auto& list = *form->LVMaster;
    for (int i = 0; i < 30; ++i) {
        const QString duration = QStringLiteral("%1:%2").arg(i % 7, 2, 10, QChar('0')).arg(i, 2, 10, QChar('0'));
        list.Rows.push_back(row("t" + QString::number(i), duration, "/music/" + QString::number(i) + ".mp3"));
    }
    list.syncView();
    auto check = [&](const char* step) {
        SCOPED_TRACE(step);
        for (int i = 0; i < list.rowCount(); ++i) {
            const controls::TVirtualItem& r = list.Rows[static_cast<std::size_t>(i)];
            ASSERT_EQ(r.Caption, QString::number(i + 1));
            const bool has = std::filesystem::exists(NotesFileName(notes, r.SubItems[kColPath].toStdString()));
            ASSERT_EQ(r.ImageIndex, has ? kImageHasNotes : kImageOrdinary) << i;
        }
        EXPECT_EQ(form->Panel2->text(), SummaryLine(form->Messages[3], list.rowCount(), TotalSeconds(list.Rows)));
    };
    form->RenumberList();
    check("first count");
    list.selectRows({5});
    form->aEditDelExecute();
    check("one row deleted");
    list.selectRows({9});
    form->aEditCopyExecute();
    list.selectRows({0});
    form->aEditPasteExecute();  // a track with notes, after the first row
    check("one row pasted");
    ASSERT_TRUE(list.dragStep({2}, 2, 20).changed);
    form->RenumberList();  // as the end of a drag does
    check("one row moved");
    list.InsertRow(4, row("new", "10:00", "/music/29.mp3"));
    form->RenumberList();
    check("one row inserted");
    list.Rows[7].SubItems[kColDuration] = "59:59";  // as a start writes what it measured
    list.rowChanged(7);
    form->RenumberList();
    check("one duration written over");
    form->aEditUndoExecute();  // the paste
    check("undo");
    form->LVMasterColumnClick(3);
    check("sorted");
    std::ofstream(NotesFileName(notes, "/music/0.mp3")) << "n";  // the notes folder changes
    form->RenumberList();
    check("notes written");
    form->aEditDelAllExecute();
    check("all deleted");
    form->aEditUndoExecute();
    check("all back");
    list.Rows.push_back(row("direct", "01:01", "/music/3.mp3"));  // as the search results come
    list.syncView();
    form->RenumberList();
    check("appended directly");
}
