// Display names, the count and total line, find, sort, shuffle and the notes-file names.
#include "tests/player/playerfixtures.h"

#include "player/playlist/playlistrows.h"

#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

using namespace player;
using playertest::row;

TEST(DisplayName, JoinsArtistAndTitleByTheirShape)
{
    EXPECT_EQ(JoinArtistTitle("~Grand", "finale"), "Grandfinale");
    EXPECT_EQ(JoinArtistTitle("Band", ""), "Band");
    EXPECT_EQ(JoinArtistTitle("", "Song"), "Song");
    EXPECT_EQ(JoinArtistTitle("", ""), "");
    EXPECT_EQ(JoinArtistTitle("  Band ", " Song\t"), "Band - Song");
    // A field is cut at its first zero character.
    EXPECT_EQ(JoinArtistTitle(QString("Band") + QChar(0) + "junk", "Song"), "Band - Song");
    // The "~" form gives back a 59-character name split over both fields.
    const QString first = "~" + QString(29, 'a');
    EXPECT_EQ(JoinArtistTitle(first, QString(30, 'b')), QString(29, 'a') + QString(30, 'b'));
}

TEST(CountAndTotal, SumsDurationsAndSkipsUnmeasured)
{
    const std::vector<TVirtualItem> rows = {row("a", "03:20", "/a"), row("b", "??:??", "/b"), row("c", "10:05", "/c")};
    EXPECT_EQ(TotalSeconds(rows), 13 * 60 + 25);
    EXPECT_EQ(SummaryLine("Треков", 3, TotalSeconds(rows)), " Треков: 3 [0:13:25]");
    // Three-digit minutes are read whole.
    EXPECT_EQ(DurationTextSeconds("100:05"), 6005);
    EXPECT_EQ(DurationTextSeconds("garbage"), 0);
    EXPECT_EQ(DurationTextSeconds(""), 0);
}

TEST(CountAndTotal, HugeTotalDoesNotOverflow)
{
    std::vector<TVirtualItem> rows(40000, row("x", "999:59", "/x"));
    EXPECT_EQ(TotalSeconds(rows), 40000LL * (999 * 60 + 59));
    EXPECT_FALSE(SummaryLine("T", 40000, TotalSeconds(rows)).isEmpty());
}

class FindRows : public ::testing::Test {
protected:
    std::vector<TVirtualItem> rows = {row("Alpha", "03:10", "/m/a.mp3"), row("Beta", "04:00", "/m/b.mp3"),
                                      row("Gamma", "01:03", "/m/03-c.mp3"), row("Delta", "02:00", "/m/d.mp3")};
    void SetUp() override
    {
        for (std::size_t i = 0; i < rows.size(); ++i)
            rows[i].Caption = QString::number(i + 1);
    }
};

TEST_F(FindRows, EmptyTextMatchesNothing) { EXPECT_EQ(FindRow(rows, -1, ""), -1); }

TEST_F(FindRows, MatchesNumberNameDurationAndPathWithoutCase)
{
    EXPECT_EQ(FindRow(rows, -1, "03:"), 0);  // duration "03:10"
    EXPECT_EQ(FindRow(rows, 0, "03:"), -1);  // "01:03" + path do not hold "03:"
    EXPECT_EQ(FindRow(rows, -1, "BETA"), 1);
    EXPECT_EQ(FindRow(rows, -1, "03-c"), 2);
    EXPECT_EQ(FindRow(rows, 1, "4"), 3);  // row number 4
    // After a miss the caller starts from -1 again and finds the first hit.
    EXPECT_EQ(FindRow(rows, 3, "alpha"), -1);
    EXPECT_EQ(FindRow(rows, -1, "alpha"), 0);

    // Lower case as toLower gives it in any script, a letter that lowers to two included.
    const std::vector<TVirtualItem> scripts = {row("ЁЖИК В ТУМАНЕ", "01:00", "/m/1.mp3"), row("ÄRZTE", "01:00", "/m/2.mp3"),
                                               row("ΣΟΦΊΑ", "01:00", "/m/3.mp3"), row("İSTANBUL", "01:00", "/m/4.mp3"),
                                               row(QString::fromUcs4(U"\U00010400") + " DESERET", "01:00", "/m/5.mp3")};
    EXPECT_EQ(FindRow(scripts, -1, "ёжик в"), 0);
    EXPECT_EQ(FindRow(scripts, -1, "äRzte"), 1);
    EXPECT_EQ(FindRow(scripts, -1, "σοφία"), 2);
    EXPECT_EQ(FindRow(scripts, -1, QString::fromUtf8("i\u0307stanbul")), 3);
    EXPECT_EQ(FindRow(scripts, -1, "istanbul"), -1);
    EXPECT_EQ(FindRow(scripts, -1, QString::fromUcs4(U"\U00010428 deseret")), 4);
}

namespace {

// Puts rows in an order as the list does; where the row at hl went.
int reorder(std::vector<TVirtualItem>& rows, const std::vector<int>& order, int hl)
{
    if (order.empty())
        return hl;
    controls::applyOrder(rows, order);
    return hl < 0 ? hl : static_cast<int>(std::find(order.begin(), order.end(), hl) - order.begin());
}

}  // namespace

TEST(SortAndShuffle, SortKeepsThePlayingRowOnItsTrack)
{
    std::vector<TVirtualItem> rows = {row("c", "01:00", "/3"), row("a", "03:00", "/1"), row("b", "02:00", "/2")};
    int hl = reorder(rows, SortOrder(rows, 2, +1), 0);  // "c" is playing
    EXPECT_EQ(rows[0].SubItems[1], "a");
    EXPECT_EQ(rows[2].SubItems[1], "c");
    EXPECT_EQ(hl, 2);
    hl = reorder(rows, SortOrder(rows, 3, -1), hl);  // by duration, descending
    EXPECT_EQ(rows[0].SubItems[2], "03:00");
    EXPECT_EQ(rows[hl].SubItems[1], "c");
    // Headers 0 and 1 sort nothing.
    const auto before = rows;
    EXPECT_TRUE(SortOrder(rows, 1, +1).empty());
    EXPECT_EQ(rows, before);
}

TEST(SortAndShuffle, ShuffleKeepsRowsAndThePlayingTrack)
{
    std::vector<TVirtualItem> rows;
    for (int i = 0; i < 50; ++i)
        rows.push_back(row(QString::number(i), "01:00", "/p" + QString::number(i)));
    std::mt19937 rng(42);
    const int hl = reorder(rows, ShuffleOrder(50, rng), 17);
    EXPECT_EQ(rows[static_cast<std::size_t>(hl)].SubItems[1], "17");
    std::set<QString> names;
    for (const auto& r : rows)
        names.insert(r.SubItems[1]);
    EXPECT_EQ(names.size(), 50u);

    EXPECT_TRUE(ShuffleOrder(1, rng).empty());
    EXPECT_TRUE(ShuffleOrder(0, rng).empty());
}

TEST(PlaylistRow, TwoShapes)
{
    const TVirtualItem ins = PlaylistRowInserted("/lists/name.m3u", 125);
    EXPECT_EQ(ins.Caption, "");
    EXPECT_EQ(ins.SubItems[0], "");
    EXPECT_EQ(ins.SubItems[1], "PLAYLIST  name.m3u");
    EXPECT_EQ(ins.SubItems[2], "02:05");
    EXPECT_EQ(ins.SubItems[3], "/lists/name.m3u");
    const TVirtualItem app = PlaylistRowAppended("/lists/name.m3u", 0);
    EXPECT_EQ(app.Caption, "??");
    EXPECT_EQ(app.SubItems[0], "PLAYLIST");
    EXPECT_EQ(app.SubItems[1], "name.m3u");
    EXPECT_EQ(app.SubItems[2], "??:??");
}

TEST(NotesFile, NamedFromThePathAndShortenedWhenTooLong)
{
    EXPECT_EQ(NotesFileName("/p/Txt/", "/music/ab.mp3"), "/p/Txt/_music_ab.mp3.txt");
    EXPECT_EQ(OldNotesFileName("/p/Txt/", "/music/a:b.mp3"), "/p/Txt/_music_a_b.mp3.txt");
    // Two tracks never share a file: every character the old names turned into "_" is escaped,
    // and so is the escape.
    std::set<std::string> names;
    for (const char* track : {"/m/a/b.mp3", "/m/a_b.mp3", "/m/a:b.mp3", "/m/a\\b.mp3", "/m/a%5Fb.mp3", "/m/a_/b.mp3",
                              "/m/a/_b.mp3", "/m/a%b.mp3", "/m/a%25b.mp3"})
        EXPECT_TRUE(names.insert(NotesFileName("/p/Txt/", track)).second) << track;
    EXPECT_EQ(NotesFileName("/p/Txt/", "/m/a_b.mp3"), "/p/Txt/_m_a%5Fb.mp3.txt");
    EXPECT_EQ(OldNotesFileName("/p/Txt/", "/m/a_b.mp3"), OldNotesFileName("/p/Txt/", "/m/a/b.mp3"));
    const std::string longA = "/" + std::string(300, 'x') + "/a.mp3";
    const std::string longB = "/" + std::string(300, 'x') + "/b.mp3";
    const std::string a = NotesFileName("/T/", longA);
    const std::string b = NotesFileName("/T/", longB);
    EXPECT_LE(a.size() - 3, 255u);
    EXPECT_NE(a, b);
    EXPECT_TRUE(a.ends_with(".txt"));
}

// The sort orders texts as the locale's own comparison of the lower-cased texts does, under the
// plain C order and under a real collation alike, however long the list.
TEST(SortAndShuffle, SortOrdersAsTheLocaleComparisonDoes)
{
    const QStringList names = {"Ёжик", "ежик", "Жук", "apple", "Apple", "äpfel", "zebra", "Zebra", "", " lead",
                               "10 songs", "9 songs", "Кино - Группа крови", "кино - Звезда", "Ария", "A-ha", "aha",
                               "naïve", "naive", "Œuvre", "oeuvre", "straße", "strasse", "_x", "-x", "x"};
    const QLocale before;
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::Russian, QLocale::Russia), QLocale(QLocale::German)}) {
        QLocale::setDefault(locale);
        std::vector<TVirtualItem> rows;
        for (int i = 0; i < 200; ++i)
            rows.push_back(row(names[(i * 7) % names.size()] + (i % 3 ? "" : " b"), "01:00", "/p" + QString::number(i)));
        std::vector<TVirtualItem> expected = rows;
        std::stable_sort(expected.begin(), expected.end(), [](const TVirtualItem& a, const TVirtualItem& b) {
            return QString::localeAwareCompare(a.SubItems[1].toLower(), b.SubItems[1].toLower()) < 0;
        });
        reorder(rows, SortOrder(rows, 2, +1), -1);
        EXPECT_EQ(rows, expected) << locale.name().toStdString();
        reorder(rows, SortOrder(rows, 2, -1), -1);
        for (std::size_t i = 0; i + 1 < rows.size(); ++i)
            EXPECT_GE(QString::localeAwareCompare(rows[i].SubItems[1].toLower(), rows[i + 1].SubItems[1].toLower()), 0);

        // A long list, sorted in slices side by side and merged, is in order and keeps the order
        // of equal names.
        std::vector<TVirtualItem> many;
        for (int i = 0; i < 40000; ++i)
            many.push_back(row(names[(i * 7) % names.size()] + QString::number(i % 5), "01:00", QString::number(i)));
        reorder(many, SortOrder(many, 2, +1), -1);
        for (std::size_t i = 0; i + 1 < many.size(); ++i) {
            const int c = QString::localeAwareCompare(many[i].SubItems[1].toLower(), many[i + 1].SubItems[1].toLower());
            ASSERT_LE(c, 0) << i;
            if (c == 0) {
                ASSERT_LT(many[i].SubItems[3].toInt(), many[i + 1].SubItems[3].toInt()) << i;
            }
        }
    }
    QLocale::setDefault(before);
}

// Many tracks resolved at once give the same notes names as one by one, links and missing
// folders too.
TEST(NotesFile, NamingManyAtOnceMatchesOneByOne)
{
    const QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    namespace fs = std::filesystem;
    fs::create_directories(root + "/real/sub");
    fs::create_directory_symlink(root + "/real", root + "/linked");
    std::ofstream(root + "/real/sub/a.mp3") << "a";
    std::ofstream(root + "/real/b.mp3") << "b";
    fs::create_symlink(root + "/real/b.mp3", root + "/real/alias.mp3");
    fs::create_symlink(root + "/nowhere.mp3", root + "/real/dangling.mp3");
    const std::vector<std::string> paths = {
        root + "/real/sub/a.mp3",     root + "/linked/sub/a.mp3",      root + "/linked/../real/b.mp3",
        root + "/real/alias.mp3",     root + "/real/dangling.mp3",      root + "/real/missing.mp3",
        root + "/gone/deeper/x.mp3",  root + "/gone/../real/sub/a.mp3", root + "/real/./sub/a.mp3",
        root + "/real/sub/",          root + "/real/b.mp3/inside.mp3",  "/top.mp3",
        "relative/track.mp3",         "track.mp3",                      "C:\\music\\win.mp3",
        "/" + std::string(300, 'y') + "/long.mp3"};
    TrackPathResolver resolve;
    for (int pass = 0; pass < 2; ++pass)  // the second pass answers from the remembered folders
        for (const std::string& p : paths) {
            const std::string canonical = resolve(p);
            EXPECT_EQ(NotesFileNameOfCanonical("/notes/", canonical), NotesFileName("/notes/", p)) << p;
            EXPECT_EQ(OldNotesFileNameOfCanonical("/notes/", canonical), OldNotesFileName("/notes/", p)) << p;
        }
}

namespace {

std::vector<TVirtualItem> withNames(std::vector<TVirtualItem> rows, const std::vector<QString>& names)
{
    for (std::size_t i = 0; i < rows.size() && i < names.size(); ++i)
        rows[i].SubItems[1] = names[i];
    return rows;
}

std::vector<TVirtualItem> rowsOf(const std::vector<std::string>& files)
{
    std::vector<TVirtualItem> rows;
    for (const std::string& f : files)
        rows.push_back(row(QString::fromStdString(f), "01:00", QString::fromStdString("/m/" + f)));
    return rows;
}

}  // namespace

TEST(UndoMarks, MarksGoBackOntoTheirRows)
{
    const auto six = rowsOf({"a", "b", "c", "d", "e", "f"});
    // Row 1 deleted while row 4 (index 3) played: undo brings it back.
    const auto withoutA = rowsOf({"b", "c", "d", "e", "f"});
    EXPECT_EQ(MarkAfterUndo(withoutA, six, 2), 3);
    EXPECT_EQ(MarkAfterUndo(withoutA, six, 0), 1);
    EXPECT_EQ(MarkAfterUndo(withoutA, six, -1), -1);
    // Three rows pasted above the last (playing) row: undo takes them away again.
    const auto pasted = rowsOf({"a", "b", "c", "d", "e", "x", "y", "z", "f"});
    EXPECT_EQ(MarkAfterUndo(pasted, six, 8), 5);
    EXPECT_EQ(MarkAfterUndo(pasted, six, 4), 4);
    EXPECT_EQ(MarkAfterUndo(pasted, six, 6), -1) << "a pasted row is gone after the undo";
    // Several separate rows deleted, the mark between them.
    const auto gaps = rowsOf({"a", "c", "e"});
    EXPECT_EQ(MarkAfterUndo(gaps, six, 1), 2);
    EXPECT_EQ(MarkAfterUndo(gaps, six, 2), 4);
}

TEST(UndoMarks, RepeatedTracksAreToldApartByTheirPlace)
{
    // A jingle between songs: deleting the song before the second jingle and undoing keeps the
    // mark on that jingle, not on an equal one.
    const auto all = rowsOf({"J", "a", "J", "b", "J"});
    const auto cut = rowsOf({"J", "J", "b", "J"});
    EXPECT_EQ(MarkAfterUndo(cut, all, 1), 2);
    EXPECT_EQ(MarkAfterUndo(cut, all, 3), 4);
    // Two equal rows side by side, one deleted: the mark the level saved tells which one played.
    const auto first = rowsOf({"J", "b"});
    EXPECT_EQ(MarkAfterUndo(first, rowsOf({"J", "J", "b"}), 0, 1), 1);
    EXPECT_EQ(MarkAfterUndo(first, rowsOf({"J", "J", "b"}), 0, 0), 0);
    // A saved mark on another track since (a later start) is not taken.
    EXPECT_EQ(MarkAfterUndo(rowsOf({"b", "c"}), rowsOf({"a", "b", "c"}), 1, 0), 2);
    // Rows renamed by a start still match by their path.
    auto renamed = withNames(rowsOf({"b", "c"}), {"Artist - B", "c"});
    EXPECT_EQ(MarkAfterUndo(renamed, rowsOf({"a", "b", "c"}), 0), 1);
    // Other edits since the saved level: the nearest row with the path, else none.
    EXPECT_EQ(MarkAfterUndo(rowsOf({"c", "b", "a"}), rowsOf({"a", "b", "c", "d"}), 0), 2);
    EXPECT_EQ(MarkAfterUndo(rowsOf({"q"}), rowsOf({"a", "b"}), 0), -1);
}
