// Search over the eight fields and column sort of the track base.
#include "database/basesearch.h"
#include "database/basesort.h"
#include "database/recordtext.h"
#include "media/tag.h"
#include "testtracks.h"

#include <gtest/gtest.h>

using namespace database;

namespace {

std::array<QString, kFieldCount> query(std::initializer_list<std::pair<Field, const char*>> fields)
{
    std::array<QString, kFieldCount> q;
    for (auto& [f, t] : fields)
        q[static_cast<int>(f)] = QString::fromUtf8(t);
    return q;
}

class SearchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        add({.title = "Yesterday", .artist = "The Beatles", .year = "1965", .comment = "pad   ",
             .fileName = "/music/b/yesterday.mp3", .duration = 125000});
        add({.title = "Кино", .artist = "Группа Крови", .year = "1988", .fileName = "/music/Кино/Группа.mp3",
             .duration = 0});
        add({.title = "ёлка", .artist = "Beatles tribute", .year = "1993", .fileName = "/MUSIC/x.OGG",
             .duration = 61000});
        add({.title = "Other", .artist = "Nobody", .year = "1999", .fileName = "/music/o.wav", .duration = 0});
    }
    void add(const dbtest::TrackFields& s) { base.append(dbtest::makeTrack(s)); }
    std::vector<int> found(std::initializer_list<std::pair<Field, const char*>> fields)
    {
        runSearch(base, SearchMatcher(query(fields)));
        return base.Indexes;
    }
    TrackBase base;
};

TEST_F(SearchTest, FieldsCombineAndIgnoreCaseInLatinAndCyrillic)
{
    EXPECT_EQ(found({{Field::Title, "STERD"}}), (std::vector<int>{0}));
    EXPECT_EQ(found({{Field::Title, "sterd"}, {Field::Artist, "beat"}}), (std::vector<int>{0}));
    EXPECT_EQ(found({{Field::Title, "sterd"}, {Field::Artist, "Крови"}}), (std::vector<int>{}));
    EXPECT_EQ(found({{Field::Artist, "кРОВИ"}}), (std::vector<int>{1}));
    EXPECT_EQ(found({{Field::Title, "ЁЛК"}}), (std::vector<int>{2}));
    EXPECT_EQ(found({{Field::Artist, "BEATLES"}}), (std::vector<int>{0, 2}));
    // The file name is UTF-8: Cyrillic matched without regard to case there too.
    EXPECT_EQ(found({{Field::FileName, "кино/гру"}}), (std::vector<int>{1}));
    EXPECT_EQ(found({{Field::FileName, "/music/"}}), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(found({{Field::FileName, ".ogg"}}), (std::vector<int>{2}));
}

TEST_F(SearchTest, YearTimeAndBlanks)
{
    EXPECT_EQ(found({{Field::Year, "199"}}), (std::vector<int>{2, 3}));
    EXPECT_EQ(found({{Field::Time, "??"}}), (std::vector<int>{1, 3}));
    EXPECT_EQ(found({{Field::Time, "02:05"}}), (std::vector<int>{0}));
    // A trailing blank only matches texts holding it; the zero padding after the text is not text.
    EXPECT_EQ(found({{Field::Comment, "pad "}}), (std::vector<int>{0}));
    EXPECT_EQ(found({{Field::Title, "Other "}}), (std::vector<int>{}));
}

TEST(SearchTimeTest, TimeFieldMatchesTheShownTextForEveryRange)
{
    TrackBase base;
    const std::int32_t values[] = {1, 999, 1000, 59999, 60000, 599000, 5999000, 6000000, 123456789, -1, -60000};
    for (std::int32_t v : values)
        base.append(dbtest::makeTrack({.fileName = "/f.mp3", .duration = v}));
    for (std::size_t i = 0; i < std::size(values); ++i) {
        std::array<QString, kFieldCount> q;
        q[static_cast<int>(Field::Time)] = QString::fromStdString(media::FormatTimeShort(values[i]));
        runSearch(base, SearchMatcher(q));
        EXPECT_NE(std::find(base.Indexes.begin(), base.Indexes.end(), static_cast<int>(i)), base.Indexes.end())
            << values[i];
    }
    std::array<QString, kFieldCount> q;
    q[static_cast<int>(Field::Time)] = "100:00";
    runSearch(base, SearchMatcher(q));
    EXPECT_EQ(base.Indexes, (std::vector<int>{7}));
}

TEST_F(SearchTest, EmptyQueryMatchesAllAndUnencodableQueryNothing)
{
    EXPECT_EQ(found({}), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(base.List, base.List2);
    // "€" exists in code page 1251, a CJK character does not: it cannot occur in a tag field.
    EXPECT_EQ(found({{Field::Title, "中"}}), (std::vector<int>{}));
    EXPECT_EQ(found({{Field::Title, "?"}}), (std::vector<int>{}));
}

TEST_F(SearchTest, ResultKeepsBaseOrderAndIndexesPointIntoList2)
{
    found({{Field::Year, "19"}, {Field::Artist, "e"}});
    ASSERT_EQ(base.List.size(), base.Indexes.size());
    for (std::size_t i = 0; i < base.List.size(); ++i)
        EXPECT_EQ(base.List[i], base.List2[base.Indexes[i]]);
    EXPECT_TRUE(std::is_sorted(base.Indexes.begin(), base.Indexes.end()));
}

TEST(SearchPumpTest, PumpRunsRarelyNotPerRecord)
{
    TrackBase base;
    for (int i = 0; i < 200000; ++i)
        base.append(dbtest::makeTrack({.title = "t" + std::to_string(i), .fileName = "/f.mp3"}));
    int calls = 0;
    int last = -1;
    bool monotonic = true;
    runSearch(base, SearchMatcher(query({{Field::Title, "99999"}})), [&](int percent) {
        ++calls;
        monotonic = monotonic && percent >= last && percent <= 100;
        last = percent;
    });
    EXPECT_LT(calls, 200);  // a per-record pump would make 200,000 calls
    EXPECT_TRUE(monotonic);
    EXPECT_EQ(base.List.size(), 2u);  // t99999 and t199999
}

class SortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        add("b title", "Zed", 3000, "/c.mp3");
        add("A title", "ярослав", -5, "/a.mp3");
        add("c title", "Альфа", 2147483647, "/b.mp3");
        add("B TITLE", "alpha", -2147483647 - 1, "/d.mp3");
    }
    void add(const char* title, const char* artist, std::int32_t ms, const char* file)
    {
        rows.push_back(base.append(dbtest::makeTrack({.title = title, .artist = artist, .fileName = file,
                                                      .duration = ms})));
    }
    std::vector<std::string> column(int col)
    {
        std::vector<std::string> out;
        for (auto* r : base.List)
            out.push_back(columnText(*r, col).toStdString());
        return out;
    }
    TrackBase base;
    std::vector<media::TTrackRecord*> rows;
};

TEST_F(SortTest, DurationIsThreeWayWithoutOverflow)
{
    ASSERT_TRUE(sortTracks(base.List, 6, 1));
    std::vector<std::int32_t> d;
    for (auto* r : base.List)
        d.push_back(r->Duration);
    EXPECT_EQ(d, (std::vector<std::int32_t>{-2147483647 - 1, -5, 3000, 2147483647}));
    ASSERT_TRUE(sortTracks(base.List, 6, -1));
    EXPECT_EQ(base.List.front()->Duration, 2147483647);
    EXPECT_GT(CompareTracksByDuration(*rows[2], *rows[3]), 0);  // a subtraction would wrap negative
    EXPECT_LT(CompareTracksByDuration(*rows[3], *rows[2]), 0);
}

TEST_F(SortTest, TextColumnsIgnoreCaseAndFollowDirection)
{
    ASSERT_TRUE(sortTracks(base.List, 1, 1));
    auto titles = column(1);
    ASSERT_EQ(titles.size(), 4u);
    EXPECT_EQ(titles[0], "A title");
    EXPECT_TRUE((titles[1] == "b title" && titles[2] == "B TITLE") || (titles[1] == "B TITLE" && titles[2] == "b title"));
    EXPECT_EQ(titles[3], "c title");
    ASSERT_TRUE(sortTracks(base.List, 1, -1));
    EXPECT_EQ(column(1).front(), "c title");
    ASSERT_TRUE(sortTracks(base.List, 0, 1));
    auto artists = column(0);
    // Latin before Cyrillic, each case-blind.
    EXPECT_EQ(artists, (std::vector<std::string>{"alpha", "Zed", "Альфа", "ярослав"}));
}

TEST_F(SortTest, SizeColumnSortsNothing)
{
    const auto before = base.List;
    EXPECT_FALSE(sortTracks(base.List, 8, 1));
    EXPECT_FALSE(sortTracks(base.List, 42, 1));
    EXPECT_EQ(base.List, before);
}

TEST(RecordTextTest, ColumnsColoursAndTotals)
{
    auto r = dbtest::makeTrack({.title = "Песня", .artist = "Артист", .year = "2001", .genre = "Rock",
                                .fileName = "/x/Trk.WMA", .duration = 61999, .size = 1234});
    EXPECT_EQ(columnText(*r, 0), QString::fromUtf8("Артист"));
    EXPECT_EQ(columnText(*r, 1), QString::fromUtf8("Песня"));
    EXPECT_EQ(columnText(*r, 6), "01:01");
    EXPECT_EQ(columnText(*r, 7), "/x/Trk.WMA");
    EXPECT_EQ(columnText(*r, 8), "1234");
    EXPECT_EQ(colorSlot(*r), 1);
    r->FileName.assign("/a.b/c.Ogg");
    EXPECT_EQ(colorSlot(*r), 2);
    r->FileName.assign("/a.wav/c");
    EXPECT_EQ(colorSlot(*r), 0);
    r->FileName.assign("/a/c.wav");
    EXPECT_EQ(colorSlot(*r), 3);
    EXPECT_EQ(cp1251Upper(0xE0), 0xC0);  // а -> А
    EXPECT_EQ(cp1251Upper(0xB8), 0xA8);  // ё -> Ё
    EXPECT_EQ(formatTotalTime(0), "0:00:00");
    EXPECT_EQ(formatTotalTime(120000), "0:02:00");
    // Beyond the 32-bit range (about 596 hours) the hours keep counting.
    EXPECT_EQ(formatTotalTime(5000LL * 3600000 + 61000), "5000:01:01");
}

}  // namespace
