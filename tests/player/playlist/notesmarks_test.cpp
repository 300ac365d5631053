// The notes marks: rows of tracks with a notes file are marked, scheduled rows keep their image,
// and a track is looked up on disk once unless its notes are said to have changed.
#include "tests/player/playerfixtures.h"
#include "tests/player/windowfixture.h"

#include "player/playlist/notesmarks.h"
#include "player/playlist/playlistrows.h"

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
