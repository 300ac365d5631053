// The statistics: the figures from crafted records, the chart's geometry, the track information
// box, and the window with its worker on the window (results, a close in the middle of a run,
// the statistics button).
#include "database/dialogs/paintbox.h"
#include "database/dialogs/statfrm.h"
#include "database/dialogs/statistics.h"
#include "database/dialogs/statthrd.h"
#include "database/dialogs/typepie.h"
#include "tests/database/mainwindowfixture.h"

#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <atomic>

using namespace database;
using dbtest::MainWindowTest;
using dbtest::TrackFields;

namespace {

std::vector<media::TTrackRecord> records(const std::vector<TrackFields>& tracks)
{
    std::vector<media::TTrackRecord> out;
    for (const TrackFields& t : tracks)
        out.push_back(*dbtest::makeTrack(t));
    return out;
}

StatResults compute(const std::vector<TrackFields>& tracks, const QLocale& locale = QLocale(QLocale::English))
{
    const auto rs = records(tracks);
    StatResults r;
    const std::atomic<bool> stop{false};
    EXPECT_TRUE(computeDurationsAndNames(rs, r, stop));
    EXPECT_TRUE(computeSizes(rs, r, locale, {}, stop));
    return r;
}

TEST(StatisticsTest, ShortestLongestAndAverageSkipUnmeasuredTracksAndMarkThem)
{
    const StatResults r = compute({{.title = "a", .duration = 59000},
                                   {.title = "b", .duration = 61999},
                                   {.title = "c", .duration = 0},
                                   {.title = "d", .duration = 59500}});  // a tie keeps the first
    EXPECT_EQ(r.texts[4], "59 sec (00:59 min) *");
    EXPECT_EQ(r.texts[5], "61 sec (01:01 min) *");
    EXPECT_EQ(r.texts[6], "59 sec (00:59 min) *");  // (59 + 61 + 59) / 3
    ASSERT_TRUE(r.shortest && r.longest);
    EXPECT_EQ(r.shortest->Title.str().substr(0, 1), "a");
    EXPECT_EQ(r.longest->Title.str().substr(0, 1), "b");
    const StatResults measured = compute({{.duration = 3723000}, {.duration = 1000}});
    EXPECT_EQ(measured.texts[5], "3723 sec (62:03 min)");
    EXPECT_EQ(measured.texts[6], "1862 sec (31:02 min)");
}

TEST(StatisticsTest, MostFrequentGenreAndYearAndDistinctArtists)
{
    std::vector<TrackFields> t;
    for (const char* g : {"Rock", "POP", "rock", "Pop", "ROCK", "pop", "Jazz"})
        t.push_back({.genre = g});
    t[0].artist = "Abba";
    t[1].artist = "ABBA";
    t[2].artist = "abba ";
    t[3].artist = "Beatles";
    t[4].artist = "  ";
    t[0].year = "1999";
    t[1].year = "2001";
    t[2].year = "2001";
    t[3].year = " ";
    t[4].year = "1999";
    const StatResults r = compute(t);
    EXPECT_EQ(r.texts[8], "pop");  // three each: the first in sort order, in lower case
    EXPECT_EQ(r.texts[9], "1999");
    EXPECT_EQ(r.texts[12], "2");
    const StatResults cyrillic = compute({{.artist = "Кино"}, {.artist = "КИНО"}, {.artist = "кино"}, {.artist = "Ария"}});
    EXPECT_EQ(cyrillic.texts[12], "2");
    const StatResults blanks = compute({{.year = "  "}, {.genre = ""}});
    EXPECT_EQ(blanks.texts[9], "<unknown>");
    EXPECT_EQ(blanks.texts[8], "<unknown>");
    EXPECT_EQ(blanks.texts[12], "0");
}

TEST(StatisticsTest, EmptyBase)
{
    const StatResults r = compute({});
    EXPECT_EQ(r.texts[4], "0 sec (00:00 min)");
    EXPECT_EQ(r.texts[5], "0 sec (00:00 min)");
    EXPECT_EQ(r.texts[6], "0 sec (00:00 min)");
    EXPECT_EQ(r.texts[8], "<unknown>");
    EXPECT_EQ(r.texts[9], "<unknown>");
    EXPECT_EQ(r.texts[12], "<unknown>");
    EXPECT_EQ(r.texts[2], "0 KB (0.00 GB)");
    EXPECT_FALSE(r.shortest);
    EXPECT_EQ(typeShareText(0, 0, QLocale(QLocale::English)), "MP3:  0.000%");
}

TEST(StatisticsTest, SizesAreUnsignedAndTypesGoByExtensionWithLocaleSeparators)
{
    const std::vector<TrackFields> t = {{.fileName = "/m/a.MP3", .size = 2048 * 1024},
                                        {.fileName = "/m/b.wav", .size = static_cast<std::int32_t>(0xFFFFFC00u)},
                                        {.fileName = "/m/c.ogg", .size = 1024},
                                        {.fileName = "/m/d.cda", .size = 0},
                                        {.fileName = "/m.x/noext", .size = 0},
                                        {.fileName = "/m/e.wma", .size = 0}};
    const StatResults r = compute(t);
    EXPECT_EQ(r.typeCounts, (std::array<double, 4>{1, 1, 1, 1}));
    EXPECT_EQ(r.counted, 6u);
    EXPECT_EQ(r.texts[2], "4,196,352 KB (4.00 GB)");  // 2048 + 4194303 + 1
    EXPECT_EQ(compute(t, QLocale(QLocale::German)).texts[2], "4.196.352 KB (4,00 GB)");
    EXPECT_EQ(typeShareText(3, 100.0 / 3, QLocale(QLocale::English)), "Ogg: 33.333%");
    EXPECT_EQ(baseSizeText(3, QLocale(QLocale::English)), "1.24 KB");

    // Progress only when the percentage changes.
    std::vector<media::TTrackRecord> many = records(std::vector<TrackFields>(1000, TrackFields{}));
    StatResults out;
    std::vector<int> seen;
    const std::atomic<bool> stop{false};
    computeSizes(many, out, QLocale(), [&](int p) { seen.push_back(p); }, stop);
    ASSERT_EQ(seen.size(), 100u);
    EXPECT_EQ(seen.front(), 0);
    EXPECT_EQ(seen.back(), 99);
    const std::atomic<bool> stopped{true};
    EXPECT_FALSE(computeSizes(many, out, QLocale(), {}, stopped));
}

TEST(StatisticsTest, TrackInformationText)
{
    const auto r = dbtest::makeTrack({.title = "Song ", .artist = " Band", .album = "LP", .year = "1984",
                                      .genre = "Rock", .comment = "c", .fileName = "/m/song.mp3", .duration = 125999});
    EXPECT_EQ(trackInformation(*r),
              "Title: Song\r\nArtist: Band\r\nAlbum: LP\r\nYear: 1984\r\nGenre: Rock\r\nComment: c\r\n"
              "Time: 125 sec (02:05 min)\r\nFilename: /m/song.mp3");
}

TEST(TypePieTest, SlicesStartAtTheLeftAndFollowClockwise)
{
    const auto s = typePieSlices(190, 190, {50, 25, 25, 0});
    ASSERT_EQ(s.size(), 3u);
    // The upper half (left, top, right), then lower right, then lower left.
    EXPECT_EQ(s[0].type, 0);
    EXPECT_EQ(s[0].startAngle16, 0);
    EXPECT_EQ(s[0].spanAngle16, 180 * 16);
    EXPECT_EQ(s[1].startAngle16, -90 * 16);
    EXPECT_EQ(s[1].spanAngle16, 90 * 16);
    EXPECT_EQ(s[2].startAngle16, 180 * 16);
    EXPECT_EQ(s[2].spanAngle16, 90 * 16);

    const auto whole = typePieSlices(190, 190, {0, 100, 0, 0});
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_EQ(whole[0].type, 1);
    EXPECT_EQ(whole[0].spanAngle16, 360 * 16);
    EXPECT_TRUE(typePieSlices(190, 190, {0.05, 0, 0, 0}).empty());  // below a tenth of a percent
    // On a wide box the quarter still ends straight above the centre.
    const auto wide = typePieSlices(200, 100, {25, 0, 0, 0});
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_EQ(wide[0].startAngle16, 90 * 16);
    EXPECT_EQ(wide[0].spanAngle16, 90 * 16);
    EXPECT_TRUE(typePieSlices(8, 8, {50, 50, 0, 0}).empty());  // no room
}

class StatWindowTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override
    {
        QLocale::setDefault(QLocale::system());
        MainWindowTest::TearDown();
    }
};

TEST_F(StatWindowTest, FiguresArriveTheChartIsDrawnAndTheButtonComesBackAfterTheRun)
{
    TBase_main_window w({makeBaseOf("b.dfs", {{.title = "Short", .genre = "Rock", .fileName = "/m/a.mp3",
                                                .duration = 59000, .size = 1024 * 1024},
                                               {.title = "Long", .genre = "Rock", .fileName = "/m/b.ogg",
                                                .duration = 61000, .size = 1024 * 1024},
                                               {.title = "None", .fileName = "/m/c.mp3"}})});
    w.show();
    QCoreApplication::processEvents();
    bool ran = false;
    w.runDialog = [&](QDialog& dialog) {
        auto& f = dynamic_cast<TStatFrm&>(dialog);
        EXPECT_FALSE(w.Button9->isEnabled());
        EXPECT_EQ(f.windowTitle(), "Statistics");
        f.Label15Click(1);  // nothing found yet: no box
        w.Base.append(dbtest::makeTrack({.title = "Added meanwhile"}));
        f.show();
        EXPECT_EQ(f.Label11->text(), "3");
        EXPECT_EQ(f.Label12->text(), w.Label17->text());
        EXPECT_EQ(f.Label14->text(), "1.24 KB");
        EXPECT_TRUE(waitFor([&] { return f.Gauge1->isHidden(); }));
        ran = true;
        EXPECT_EQ(f.Label15->text(), "59 sec (00:59 min) *");
        EXPECT_EQ(f.Label16->text(), "61 sec (01:01 min) *");
        EXPECT_EQ(f.Label17->text(), "60 sec (01:00 min) *");
        EXPECT_EQ(f.Label19->text(), "rock");
        EXPECT_EQ(f.Label23->text(), "0");
        EXPECT_EQ(f.Label13->text(), "2,048 KB (0.00 GB) +");  // the base changed while counted
        EXPECT_EQ(f.Labels100[0]->text(), "MP3: 66.667%");
        EXPECT_EQ(f.Labels100[3]->text(), "Ogg: 33.333%");
        EXPECT_EQ(f.Panels[0]->palette().color(QPalette::Window), QColor(0, 0, 0xFF));
        EXPECT_EQ(f.Panels[2]->palette().color(QPalette::Window), QColor(0xFF, 0x99, 0x33));
        f.Pb->repaint();
        // The box for the longest track.
        QMouseEvent click(QEvent::MouseButtonRelease, QPointF(1, 1), f.Label16->mapToGlobal(QPointF(1, 1)),
                          Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f.Label16, &click);
        EXPECT_EQ(boxes().back().caption, "Track information");
        EXPECT_EQ(boxes().back().text.substr(0, 11), "Title: Long");
        f.Button1->click();
        return f.result();
    };
    w.Button9Click();
    EXPECT_TRUE(ran);
    ASSERT_NE(w.statThread(), nullptr);
    EXPECT_TRUE(w.statThread()->isFinished());
    EXPECT_FALSE(w.Button9->isEnabled());
    EXPECT_TRUE(w.Timer2->isActive());
    EXPECT_TRUE(waitFor([&] { return w.Button9->isEnabled(); }, 3000));
    EXPECT_EQ(w.statThread(), nullptr);
    EXPECT_FALSE(w.Timer2->isActive());
    w.Modified = false;
    w.close();
}

TEST_F(StatWindowTest, ClosingInTheMiddleOfARunStopsAndJoinsItAndDropsLateFigures)
{
    TBase_main_window w({makeBase("b.dfs", 50)});
    w.show();
    QCoreApplication::processEvents();
    QString sizesLabel;
    bool dropped = false;
    w.runDialog = [&](QDialog& dialog) {
        auto& f = dynamic_cast<TStatFrm&>(dialog);
        TStatThrd* thread = w.statThread();
        std::atomic<bool> holding{false};
        thread->beforeSizes = [&] {
            holding = true;
            while (!thread->stopRequested())
                QThread::msleep(1);
        };
        f.show();
        EXPECT_TRUE(waitFor([&] { return holding.load() && f.Gauge1->isTextVisible(); }));
        EXPECT_EQ(f.Label15->text(), "60 sec (01:00 min)");  // the first figures are in
        f.reject();  // Esc, not the window's own button
        EXPECT_TRUE(thread->isFinished());
        sizesLabel = f.Label13->text();
        StatResults late;
        late.texts[4] = "late";
        f.ShowResults(late);
        dropped = f.Label15->text() != "late";
        return f.result();
    };
    w.Button9Click();
    EXPECT_EQ(sizesLabel, "<wait>");
    EXPECT_TRUE(dropped);
    EXPECT_TRUE(waitFor([&] { return w.Button9->isEnabled(); }, 3000));

    // A second run right away gets a thread of its own.
    w.runDialog = [&](QDialog& dialog) {
        auto& f = dynamic_cast<TStatFrm&>(dialog);
        f.show();
        EXPECT_TRUE(waitFor([&] { return f.Gauge1->isHidden(); }));
        f.close();
        return f.result();
    };
    w.Button9Click();
    EXPECT_TRUE(waitFor([&] { return w.Button9->isEnabled(); }, 3000));

    // A window that never showed never started its worker: the button still comes back.
    w.runDialog = [](QDialog&) { return 0; };
    w.Button9Click();
    EXPECT_FALSE(w.Button9->isEnabled());
    EXPECT_TRUE(waitFor([&] { return w.Button9->isEnabled(); }, 3000));
    w.close();
}

}  // namespace
