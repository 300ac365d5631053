// The base's folded columns and total time stay exactly what they would be if made afresh, through
// every change of the base, and a search over them finds what matching each record finds.
#include "database/basesearch.h"
#include "database/basesort.h"
#include "database/searchcolumns.h"
#include "database/trackbase.h"
#include "testtracks.h"

#include <gtest/gtest.h>

#include <random>

using namespace database;

namespace {

const char* const kWords[] = {"Yesterday", "кино", "КИНО", "Ёлка", "ёлка", "The Beatles", "beat", "  pad  ", "",
                              "x", "Straße", "Группа крови", "ABBA", "abba", "19", "1965", "Rock", "rock"};
const char* const kPaths[] = {"/music/a.mp3", "/MUSIC/B.MP3", "/Музыка/Кино.mp3", "/музыка/кино.MP3", "/m/Straße.ogg",
                              "/m/STRASSE.wav", "/m/\xff\xfe broken.mp3", "/x"};

dbtest::TrackFields randomFields(std::mt19937& rng)
{
    auto pick = [&rng](const auto& list) { return std::string(list[rng() % std::size(list)]); };
    return {.title = pick(kWords), .artist = pick(kWords), .album = pick(kWords), .year = pick(kWords).substr(0, 4),
            .genre = pick(kWords), .comment = pick(kWords), .fileName = pick(kPaths) + std::to_string(rng() % 7),
            .duration = static_cast<std::int32_t>(rng() % 4 == 0 ? 0 : rng() % 7000000)};
}

// Queries as typed: in either case, single letters, numbers, times, blanks and path pieces.
std::vector<std::array<QString, kFieldCount>> queries()
{
    std::vector<std::array<QString, kFieldCount>> out;
    const std::vector<std::pair<Field, QString>> single = {
        {Field::Title, "STERD"},     {Field::Title, "ЁЛК"},       {Field::Artist, "beat"},    {Field::Artist, "КИНО"},
        {Field::Album, "a"},         {Field::Year, "19"},         {Field::Genre, "ROCK"},     {Field::Comment, "pad "},
        {Field::Time, "??"},         {Field::Time, "3:"},         {Field::Time, "1"},         {Field::FileName, "/music/"},
        {Field::FileName, "кино"},   {Field::FileName, "SS"},     {Field::FileName, "ß"},     {Field::FileName, ".MP3"},
        {Field::FileName, "broken"}, {Field::Title, "ay\u0000ki"}, {Field::Artist, "\u20ac"}, {Field::Title, "y "}};
    for (const auto& [f, t] : single) {
        std::array<QString, kFieldCount> q;
        q[static_cast<int>(f)] = t;
        out.push_back(q);
    }
    std::array<QString, kFieldCount> two;
    two[static_cast<int>(Field::Artist)] = "b";
    two[static_cast<int>(Field::FileName)] = "mp3";
    out.push_back(two);
    std::array<QString, kFieldCount> all = {"e", "a", "k", "1", "o", " ", ":", "/"};
    out.push_back(all);
    out.push_back({});
    return out;
}

void expectInStep(TrackBase& base, const char* after)
{
    SCOPED_TRACE(after);
    SearchColumns fresh;
    fresh.rebuild(base.List2);
    const SearchColumns& kept = base.columns();
    for (int f = 0; f < kFieldCount; ++f) {
        EXPECT_EQ(kept.column(static_cast<Field>(f)).bytes, fresh.column(static_cast<Field>(f)).bytes) << f;
        EXPECT_EQ(kept.column(static_cast<Field>(f)).starts, fresh.column(static_cast<Field>(f)).starts) << f;
    }
    std::int64_t total = 0;
    std::size_t unmeasured = 0;
    for (const auto* r : base.List2) {
        total += std::max<std::int32_t>(r->Duration, 0);
        unmeasured += r->Duration == 0;
    }
    EXPECT_EQ(base.totalMs(), total);
    EXPECT_EQ(base.unmeasuredCount(), unmeasured);
    // The search over the columns finds exactly what matching every record finds.
    for (const auto& q : queries()) {
        const SearchMatcher matcher(q);
        std::vector<int> expected;
        for (std::size_t i = 0; i < base.List2.size(); ++i)
            if (matcher.matches(*base.List2[i]))
                expected.push_back(static_cast<int>(i));
        runSearch(base, matcher);
        EXPECT_EQ(base.Indexes, expected) << q[0].toStdString() << "|" << q[1].toStdString() << "|" << q[6].toStdString()
                                          << "|" << q[7].toStdString();
        ASSERT_EQ(base.List.size(), expected.size());
        for (std::size_t k = 0; k < expected.size(); ++k)
            EXPECT_EQ(base.List[k], base.List2[static_cast<std::size_t>(expected[k])]);
    }
    base.showAll();
}

}  // namespace

TEST(SearchColumnsInStep, ThroughEveryChangeOfTheBase)
{
    std::mt19937 rng(2024);
    TrackBase base;
    expectInStep(base, "empty");
    for (int i = 0; i < 300; ++i)
        base.append(dbtest::makeTrack(randomFields(rng)));
    expectInStep(base, "append");

    std::vector<std::unique_ptr<media::TTrackRecord>> loaded;
    for (int i = 0; i < 400; ++i)
        loaded.push_back(dbtest::makeTrack(randomFields(rng)));
    base.assign(std::move(loaded));
    expectInStep(base, "load");

    for (int i = 0; i < 200; ++i)
        base.setDuration(base.List2[rng() % base.size()], static_cast<std::int32_t>(rng() % 3 == 0 ? 0 : rng() % 9000000));
    expectInStep(base, "durations");

    // Tag edits in place: texts of the same length and of other lengths.
    for (int i = 0; i < 100; ++i) {
        media::TTrackRecord* r = base.List2[rng() % base.size()];
        const auto edited = dbtest::makeTrack(randomFields(rng));
        r->Title = edited->Title;
        if (i % 3 == 0)
            r->FileName = edited->FileName;
        if (i % 2 == 0)
            r->Artist.chars[0] = r->Artist.chars[0] == 'a' ? 'b' : 'a';  // same length
        base.recordChanged(r);
    }
    expectInStep(base, "tag edits");

    sortTracks(base.List, 0, 1);
    base.adoptShownOrder();
    expectInStep(base, "sort");

    for (int i = 0; i < 150; ++i)
        base.markDeleted(base.List2[rng() % base.size()]);
    base.purgeDeleted();
    expectInStep(base, "purge");

    for (int i = 0; i < 20; ++i)
        base.append(dbtest::makeTrack(randomFields(rng)));
    expectInStep(base, "append after purge");

    // A record not of the base changes nothing.
    const auto stranger = dbtest::makeTrack(randomFields(rng));
    base.recordChanged(stranger.get());
    expectInStep(base, "stranger");

    base.ClearList();
    expectInStep(base, "clear");
}

TEST(SearchColumnsInStep, AQueryNeverMatchesAcrossTwoRecords)
{
    TrackBase base;
    base.append(dbtest::makeTrack({.title = "ab", .fileName = "/a"}));
    base.append(dbtest::makeTrack({.title = "cd", .fileName = "/b"}));
    std::array<QString, kFieldCount> q;
    for (const QString& text : {QString("bc"), QString("b") + QChar(0) + "c", QString("b") + QChar(0)}) {
        q[static_cast<int>(Field::Title)] = text;
        runSearch(base, SearchMatcher(q));
        EXPECT_TRUE(base.Indexes.empty()) << text.size();
    }
    q[static_cast<int>(Field::Title)] = "D";
    runSearch(base, SearchMatcher(q));
    EXPECT_EQ(base.Indexes, std::vector<int>{1});
}

TEST(SearchColumnsInStep, ASearchThatLetsTheLoopRunSeesRecordsAddedMeanwhile)
{
    TrackBase base;
    for (int i = 0; i < 20000; ++i)
        base.append(dbtest::makeTrack({.title = "Song " + std::to_string(i), .fileName = "/s" + std::to_string(i)}));
    std::array<QString, kFieldCount> q;
    q[static_cast<int>(Field::Title)] = "song 1";
    q[static_cast<int>(Field::FileName)] = "/s";
    int pumps = 0;
    runSearch(base, SearchMatcher(q), [&](int) {
        // The message loop adds a record (a track added meanwhile): the columns grow under the search.
        ++pumps;
        base.append(dbtest::makeTrack({.title = "Song 1 late", .fileName = "/late"}));
    }, std::chrono::milliseconds(0));
    EXPECT_GT(pumps, 1);
    std::size_t expected = 0;
    for (int i = 0; i < 20000; ++i)
        expected += std::to_string(i).starts_with("1");
    EXPECT_EQ(base.Indexes.size(), expected);  // the records there when the search began
    ASSERT_FALSE(base.List.empty());
    EXPECT_EQ(base.List.back(), base.List2[static_cast<std::size_t>(base.Indexes.back())]);
}
