// The database window as the player's search server, in process: a stand-in player window greets
// it, writes queries into the shared area and takes the nested answers; the ping, quit, show and
// hide; and the messages kept back while a search or a pass walks the records.
#include "database/abortflag.h"
#include "database/basemainwindow.h"
#include "database/dfsfile.h"
#include "database/strconst.h"
#include "platform/cp1251.h"
#include "platform/inifile.h"
#include "platform/messageids.h"
#include "platform/recordedusermessages.h"
#include "testplayer.h"
#include "testtracks.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using namespace database;
using dbtest::TestPlayer;
using platform::UM_SEARCH_HELLO;
using platform::UM_SEARCH_QUERY;

namespace {

bool sameBytes(const media::TTrackRecord& a, const media::TTrackRecord& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool waitFor(const std::function<bool()>& done, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

class SearchServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("QUORVALEN_PROGRAM_DIR", dir.path().toUtf8().constData(), 1);
        setenv("QUORVALEN_NOSOUND", "1", 1);
        platform::setUserMessages(&messages);
        AbortFlag = false;
        ASSERT_TRUE(player.mapArea());
    }
    void TearDown() override { platform::setUserMessages(nullptr); }

    std::string path(const std::string& rel) const { return dir.filePath(QString::fromStdString(rel)).toStdString(); }

    void writeBase(const std::vector<dbtest::TrackFields>& specs, const std::string& name = "base.dfs")
    {
        rows.clear();
        std::vector<media::TTrackRecord*> ptrs;
        for (const auto& s : specs) {
            rows.push_back(dbtest::makeTrack(s));
            ptrs.push_back(rows.back().get());
        }
        std::string error;
        ASSERT_TRUE(writeDfsFile(path(name), ptrs, &error)) << error;
    }
    // n rows whose artist is "Artist <i>" and whose file names are distinct.
    void writeNumberedBase(int n)
    {
        std::vector<dbtest::TrackFields> specs;
        for (int i = 0; i < n; ++i)
            specs.push_back({.title = "Title " + std::to_string(i), .artist = "Artist " + std::to_string(i),
                             .fileName = "/music/" + std::to_string(i) + ".mp3", .duration = 1000 * i});
        writeBase(specs);
    }

    std::unique_ptr<TBase_main_window> startServer(const std::string& handle)
    {
        auto w = std::make_unique<TBase_main_window>(std::vector<std::string>{"hidden", handle, path("base.dfs")});
        QObject::connect(w.get(), &TBase_main_window::finished, [this] { finished = true; });
        return w;
    }
    std::unique_ptr<TBase_main_window> startAttached()
    {
        auto w = startServer(std::to_string(player.handle()));
        platform::sendMessage(w->handle(), UM_SEARCH_HELLO, player.handle(), kHelloToServer);
        return w;
    }
    // Sends one query and returns the answer the player got while the send was running.
    TestPlayer::Answer query(TBase_main_window& w, platform::WParam field, const std::string& utf8)
    {
        player.writeQuery(platform::utf8ToCp1251(utf8));
        const std::size_t before = player.answers.size();
        platform::sendMessage(w.handle(), UM_SEARCH_QUERY, field, 0);
        EXPECT_EQ(player.answers.size(), before + 1) << "the answer arrives before the send returns";
        return player.answers.size() > before ? player.answers.back() : TestPlayer::Answer{-1, {}};
    }
    void fillSlots(unsigned char value, std::size_t from, std::size_t count)
    {
        std::memset(player.slot(from), value, count * kSearchSlotBytes);
    }
    bool slotsFilledWith(unsigned char value, std::size_t from, std::size_t count)
    {
        const unsigned char* p = player.slot(from);
        return std::all_of(p, p + count * kSearchSlotBytes, [value](unsigned char c) { return c == value; });
    }
    std::string lastBox() const
    {
        for (const auto& s : messages.shown())
            if (s.kind == "messageBox")
                return s.text;
        return {};
    }
    // What the server could not show: nobody sees its boxes.
    std::string log() const { return dbtest::readAll(path("Base.log")); }

    QTemporaryDir dir;
    platform::RecordedUserMessages messages;
    TestPlayer player;
    std::vector<std::unique_ptr<media::TTrackRecord>> rows;
    bool finished = false;
};

// ---- Queries -----------------------------------------------------------------------------------

using SearchServerQueryTest = SearchServerTest;

TEST_F(SearchServerQueryTest, MatchesAreCopiedByteForByteInBaseOrderWithoutRegardToCase)
{
    writeBase({{.title = "Yesterday", .artist = "The Beatles", .fileName = "/m/1.mp3", .duration = 125000},
               {.title = "Звезда по имени Солнце", .artist = "Кино", .fileName = "/m/Кино/2.mp3", .duration = 225500},
               {.title = "Help", .artist = "the beatles", .fileName = "/m/3.mp3"},
               {.title = "Группа крови", .artist = "КИНО", .fileName = "/m/4.mp3", .duration = 283000},
               {.title = "Other", .artist = "Nobody", .fileName = "/m/5.mp3"}});
    auto w = startAttached();
    EXPECT_EQ(w->PlayerWindow, player.handle());

    const auto latin = query(*w, 1, "BEATLES");
    ASSERT_EQ(latin.count, 2);
    EXPECT_TRUE(sameBytes(latin.rows[0], *rows[0]));
    EXPECT_TRUE(sameBytes(latin.rows[1], *rows[2]));

    const auto cyrillic = query(*w, 1, "кино");
    ASSERT_EQ(cyrillic.count, 2);
    EXPECT_TRUE(sameBytes(cyrillic.rows[0], *rows[1]));
    EXPECT_TRUE(sameBytes(cyrillic.rows[1], *rows[3]));

    const auto title = query(*w, 0, "звезда ПО");
    ASSERT_EQ(title.count, 1);
    EXPECT_TRUE(sameBytes(title.rows[0], *rows[1]));
    const auto file = query(*w, 7, "/m/кино/");
    ASSERT_EQ(file.count, 1);
    EXPECT_TRUE(sameBytes(file.rows[0], *rows[1]));
    // Time field: the duration as "mm:ss", unmeasured tracks as "??:??".
    EXPECT_EQ(query(*w, 6, "??").count, 2);
    const auto time = query(*w, 6, "03:");
    ASSERT_EQ(time.count, 1);
    EXPECT_TRUE(sameBytes(time.rows[0], *rows[1]));
    // An empty query matches the whole base.
    EXPECT_EQ(query(*w, 2, "").count, 5);
}

TEST_F(SearchServerQueryTest, NoMatchAnswersZeroAndLeavesTheSlotsAlone)
{
    writeNumberedBase(4);
    auto w = startAttached();
    fillSlots(0xAB, 1, 10);
    EXPECT_EQ(query(*w, 0, "nothing like this").count, 0);
    EXPECT_TRUE(slotsFilledWith(0xAB, 1, 10));
}

TEST_F(SearchServerQueryTest, TheQueryLengthIsClampedToItsField)
{
    // A title of exactly 30 characters; the player's slot says 255 and holds other bytes after them.
    const std::string title(30, 'q');
    writeBase({{.title = title, .artist = "A", .fileName = "/m/1.mp3"}, {.title = "x", .fileName = "/m/2.mp3"}});
    auto w = startAttached();
    unsigned char* q = player.slot(0);
    std::memset(q, 'z', kSearchSlotBytes);
    q[0] = 255;
    std::memcpy(q + 1, title.data(), 30);
    platform::sendMessage(w->handle(), UM_SEARCH_QUERY, 0, 0);
    ASSERT_EQ(player.answers.size(), 1u);
    EXPECT_EQ(player.answers[0].count, 1);
    EXPECT_EQ(w->Edits[0]->text().toStdString(), title);
}

TEST_F(SearchServerQueryTest, MoreMatchesThanSlotsFillEverySlotAndAnswerTheirNumber)
{
    const int n = static_cast<int>(kMaxSearchResults) + 7;
    writeNumberedBase(n);
    auto w = startAttached();
    const auto all = query(*w, 1, "artist");
    ASSERT_EQ(all.count, static_cast<platform::WParam>(kMaxSearchResults));
    EXPECT_TRUE(sameBytes(all.rows.front(), *rows[0]));
    EXPECT_TRUE(sameBytes(all.rows.back(), *rows[kMaxSearchResults - 1]));
    EXPECT_EQ(w->Base.List.size(), static_cast<std::size_t>(n)) << "the window still shows every match";
}

TEST_F(SearchServerQueryTest, ABadFieldOrNoAreaAnswersZeroAndWritesNothing)
{
    writeNumberedBase(3);
    auto w = startServer(std::to_string(player.handle()));
    fillSlots(0xCD, 1, 3);
    // Before the hello nothing is mapped.
    EXPECT_EQ(query(*w, 1, "").count, 0);
    platform::sendMessage(w->handle(), UM_SEARCH_HELLO, player.handle(), kHelloToServer);
    w->Edits[3]->setText("kept");
    for (platform::WParam field : {8, 100, -1}) {
        EXPECT_EQ(query(*w, field, "").count, 0) << field;
        EXPECT_EQ(w->Edits[3]->text(), "kept") << "no search ran for field " << field;
    }
    EXPECT_TRUE(slotsFilledWith(0xCD, 1, 3));
    EXPECT_EQ(query(*w, 7, "").count, 3);
}

TEST_F(SearchServerQueryTest, AnAnswerThatComesBackAsAQueryEndsThere)
{
    writeNumberedBase(3);
    // Greeted with its own handle as the player's, the server's answer reaches itself as a query.
    auto w = startServer(std::to_string(player.handle()));
    platform::sendMessage(w->handle(), UM_SEARCH_HELLO, w->handle(), kHelloToServer);
    player.writeQuery("");
    EXPECT_EQ(platform::sendMessage(w->handle(), UM_SEARCH_QUERY, 0, 0), 0);
    // Two servers greeted with each other's handles answer each other once, not for ever.
    auto other = startServer(std::to_string(player.handle()));
    platform::sendMessage(w->handle(), UM_SEARCH_HELLO, other->handle(), kHelloToServer);
    platform::sendMessage(other->handle(), UM_SEARCH_HELLO, w->handle(), kHelloToServer);
    EXPECT_EQ(platform::sendMessage(w->handle(), UM_SEARCH_QUERY, 0, 0), 0);
    // Greeted properly again, it answers the player as before.
    platform::sendMessage(w->handle(), UM_SEARCH_HELLO, player.handle(), kHelloToServer);
    EXPECT_EQ(query(*w, 0, "").count, 3);
}

// ---- Hello -------------------------------------------------------------------------------------

using SearchServerHelloTest = SearchServerTest;

TEST_F(SearchServerHelloTest, AHelloForTheGeneratorIsIgnored)
{
    writeNumberedBase(3);
    auto w = startServer("77");
    platform::sendMessage(w->handle(), UM_SEARCH_HELLO, player.handle(), 23);
    EXPECT_EQ(w->PlayerWindow, 77u);
    EXPECT_FALSE(w->searchArea().isMapped());
}

TEST_F(SearchServerHelloTest, EachHelloRereadsTheBaseAndMapsTheAreaAfresh)
{
    writeNumberedBase(3);
    auto w = startAttached();
    EXPECT_EQ(query(*w, 1, "").count, 3);
    writeNumberedBase(5);
    platform::sendMessage(w->handle(), UM_SEARCH_HELLO, player.handle(), kHelloToServer);
    EXPECT_EQ(w->Base.size(), 5u);
    const auto after = query(*w, 1, "");
    ASSERT_EQ(after.count, 5);
    EXPECT_TRUE(sameBytes(after.rows[4], *rows[4]));
}

TEST_F(SearchServerHelloTest, AMappingFailureIsLoggedAndTheServerStaysUp)
{
    writeNumberedBase(2);
    auto w = startServer(std::to_string(player.handle()));
    w->searchArea().opener = [](platform::SharedMemory&, std::string_view, std::size_t) { return false; };
    platform::sendMessage(w->handle(), UM_SEARCH_HELLO, player.handle(), kHelloToServer);
    ASSERT_TRUE(waitFor([&] { return !log().empty(); }));
    EXPECT_NE(log().find("Base: Error: hMapFile=0!"), std::string::npos) << log();
    EXPECT_TRUE(lastBox().empty());
    EXPECT_EQ(query(*w, 1, "").count, 0);
    EXPECT_FALSE(finished);
    EXPECT_TRUE(w->ping_player->isActive());
    // A later hello that can map serves again.
    w->searchArea().opener = [](platform::SharedMemory& m, std::string_view name, std::size_t bytes) {
        return m.open(name, bytes);
    };
    platform::sendMessage(w->handle(), UM_SEARCH_HELLO, player.handle(), kHelloToServer);
    EXPECT_EQ(query(*w, 1, "").count, 2);
}

TEST_F(SearchServerHelloTest, ABaseThatCannotBeReadIsLoggedAndAnEmptyBaseServed)
{
    // The name exists but cannot be read as a file.
    ASSERT_TRUE(std::filesystem::create_directory(path("base.dfs")));
    auto w = startServer(std::to_string(player.handle()));
    platform::sendMessage(w->handle(), UM_SEARCH_HELLO, player.handle(), kHelloToServer);
    EXPECT_EQ(query(*w, 1, "").count, 0);
    ASSERT_TRUE(waitFor([&] { return log().find("Cannot read " + path("base.dfs")) != std::string::npos; })) << log();
    EXPECT_TRUE(lastBox().empty());
    // Once the file is readable the next hello serves it.
    std::filesystem::remove(path("base.dfs"));
    writeNumberedBase(2);
    platform::sendMessage(w->handle(), UM_SEARCH_HELLO, player.handle(), kHelloToServer);
    EXPECT_EQ(query(*w, 1, "").count, 2);
}

// ---- Ping, quit, show, hide ----------------------------------------------------------------------

using SearchServerLifeTest = SearchServerTest;

TEST_F(SearchServerLifeTest, OnlyTheHiddenServerPings)
{
    writeNumberedBase(1);
    auto hidden = startServer("5");
    EXPECT_TRUE(hidden->ping_player->isActive());
    EXPECT_EQ(hidden->ping_player->interval(), 3000);
    TBase_main_window fromPlayer({"fromplayer", std::to_string(player.handle()), path("base.dfs")});
    EXPECT_FALSE(fromPlayer.ping_player->isActive());
    EXPECT_EQ(fromPlayer.PlayerWindow, player.handle());
    TBase_main_window user({path("base.dfs")});
    EXPECT_FALSE(user.ping_player->isActive());
}

TEST_F(SearchServerLifeTest, APingAnsweredWithAnythingButTenThousandEndsTheServer)
{
    writeNumberedBase(1);
    auto w = startServer(std::to_string(player.handle()));
    w->ping_playerTimer();
    EXPECT_EQ(player.pings, 1);
    QCoreApplication::processEvents();
    EXPECT_FALSE(finished);
    for (platform::LResult wrong : {10001, 1000, 0}) {
        player.pingAnswer = wrong;
        finished = false;
        auto again = startServer(std::to_string(player.handle()));
        again->ping_playerTimer();
        EXPECT_TRUE(waitFor([&] { return finished; }, 2000)) << wrong;
    }
    // A player that is gone answers nothing.
    auto gone = std::make_unique<TestPlayer>("gone");
    finished = false;
    auto orphan = startServer(std::to_string(gone->handle()));
    gone.reset();
    orphan->ping_playerTimer();
    EXPECT_TRUE(waitFor([&] { return finished; }, 2000));
    EXPECT_FALSE(std::filesystem::exists(path("Base.ini")));
}

TEST_F(SearchServerLifeTest, QuitUnregistersAtOnceAndClosesThroughTheEventQueue)
{
    writeNumberedBase(2);
    auto w = startAttached();
    const std::string caption = "DatabaseWindow" + std::to_string(player.handle());
    ASSERT_EQ(platform::findWindow(kWindowClass, caption), w->handle());
    platform::sendMessage(w->handle(), platform::UM_SEARCH_QUIT, 0, 0);
    EXPECT_EQ(platform::findWindow(kWindowClass, caption), 0u);
    EXPECT_FALSE(w->searchArea().isMapped());
    EXPECT_FALSE(finished) << "the close runs after the answer";
    // A query that still reaches it writes nothing.
    fillSlots(0x11, 1, 2);
    EXPECT_EQ(query(*w, 1, "").count, 0);
    EXPECT_TRUE(slotsFilledWith(0x11, 1, 2));
    ASSERT_TRUE(waitFor([&] { return finished; }));
    EXPECT_FALSE(std::filesystem::exists(path("Base.ini")));
}

TEST_F(SearchServerLifeTest, ShowAndHideMessagesShowAndHideTheWindowAndTheUsersCloseOnlyHidesItAndKeepsItsOptions)
{
    writeNumberedBase(2);
    auto w = startAttached();
    platform::sendMessage(w->handle(), platform::UM_BASE_SHOW, 0, 0);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->Base.size(), 2u);
    platform::sendMessage(w->handle(), platform::UM_BASE_HIDE, 0, 0);
    EXPECT_FALSE(w->isVisible());

    // Shown, the window is the operator's, and so are the options set in it; closed, it goes on
    // serving its player, and a change the operator chose not to save is dropped.
    platform::sendMessage(w->handle(), platform::UM_BASE_SHOW, 0, 0);
    w->Options.NoEmpty = false;
    w->Base.append(dbtest::makeTrack({.title = "unsaved", .fileName = "/music/new.mp3"}));
    w->Modified = true;
    messages.pushAnswer(platform::IDNO);
    w->close();
    EXPECT_EQ(lastBox(), _ask_savebase) << "asked on the screen";
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(w->Modified);
    EXPECT_EQ(platform::IniFile(path("Base.ini")).readString("Options", "NoEmpty", ""), "0");
    QCoreApplication::processEvents();
    EXPECT_FALSE(finished);
    EXPECT_EQ(platform::findWindow(kWindowClass, "DatabaseWindow" + std::to_string(player.handle())), w->handle());
    EXPECT_EQ(query(*w, 1, "").count, 2);

    // Shown again it reads them back, and its end writes what was set meanwhile.
    w->Options.NoEmpty = true;
    platform::sendMessage(w->handle(), platform::UM_BASE_SHOW, 0, 0);
    EXPECT_FALSE(w->Options.NoEmpty);
    w->Options.QSearch = false;
    platform::sendMessage(w->handle(), platform::UM_SEARCH_QUIT, 0, 0);
    ASSERT_TRUE(waitFor([&] { return finished; }));
    EXPECT_EQ(platform::IniFile(path("Base.ini")).readString("Options", "QSearch", ""), "0");
}

// ---- Messages kept back while the records are being walked --------------------------------------

using SearchServerDeferralTest = SearchServerTest;

TEST_F(SearchServerDeferralTest, AHelloAndAQueryDuringASearchRunInOrderAfterIt)
{
    writeNumberedBase(5000);
    auto w = startAttached();
    w->searchPumpPeriod = std::chrono::milliseconds(0);
    const std::vector<media::TTrackRecord> before = [&] {
        std::vector<media::TTrackRecord> v;
        for (const auto& r : rows)
            v.push_back(*r);
        return v;
    }();
    // The file now holds 3 rows; the posted hello would reload it in the middle of the search.
    writeNumberedBase(3);
    ASSERT_TRUE(platform::postMessage(w->handle(), UM_SEARCH_HELLO, player.handle(), kHelloToServer));
    ASSERT_TRUE(platform::postMessage(w->handle(), UM_SEARCH_HELLO, 999, 23));
    ASSERT_TRUE(platform::postMessage(w->handle(), UM_SEARCH_QUERY, 0, 0));
    ASSERT_TRUE(platform::postMessage(w->handle(), UM_SEARCH_QUERY, 1, 0));
    const auto first = query(*w, 1, "artist");
    EXPECT_EQ(w->deferredCount(), 2u) << "all arrived while the search ran; the later query replaced the earlier";
    ASSERT_EQ(first.count, 5000);
    for (std::size_t i : {0u, 2500u, 4999u})
        EXPECT_TRUE(sameBytes(first.rows[i], before[i])) << i;

    ASSERT_TRUE(waitFor([&] { return w->deferredCount() == 0 && player.answers.size() >= 2; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(player.answers.size(), 2u);
    EXPECT_EQ(w->Base.size(), 3u) << "the hello ran";
    EXPECT_EQ(player.answers[1].count, 3) << "the query ran after the hello";
}

TEST_F(SearchServerDeferralTest, AResetClickedWhileAQueryIsSearchingLeavesItsResultAlone)
{
    writeNumberedBase(5000);
    auto w = startAttached();
    w->searchPumpPeriod = std::chrono::milliseconds(0);
    // Fires at the search's first look at the message loop, as a click in a shown window would.
    bool clicked = false;
    QTimer::singleShot(0, w.get(), [&] {
        w->Button4->click();
        clicked = true;
    });
    // "Artist 1", "Artist 1x", "Artist 1xx", "Artist 1xxx": 1 + 10 + 100 + 1000 rows.
    const auto answer = query(*w, 1, "artist 1");
    ASSERT_TRUE(clicked);
    EXPECT_EQ(answer.count, 1111);
    EXPECT_EQ(w->Base.List.size(), 1111u);
    ASSERT_GE(answer.rows.size(), 2u);
    EXPECT_TRUE(sameBytes(answer.rows[1], *rows[10]));
}

TEST_F(SearchServerDeferralTest, AShowAndAHelloDuringACountPassWaitForItsEnd)
{
    writeNumberedBase(4);
    auto w = startAttached();
    writeNumberedBase(6);
    bool sentDuringPass = false;
    std::size_t sizeDuringPass = 0;
    w->onPassItem = [&](std::size_t done) {
        if (done != 1)
            return;
        sentDuringPass = true;
        platform::sendMessage(w->handle(), platform::UM_BASE_SHOW, 0, 0);
        platform::sendMessage(w->handle(), UM_SEARCH_HELLO, player.handle(), kHelloToServer);
        sizeDuringPass = w->Base.size();
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(w->deferredCount(), 2u);
    };
    for (auto* r : w->Base.List2)
        r->Duration = 0;
    w->CountAllTime();
    ASSERT_TRUE(sentDuringPass);
    EXPECT_EQ(sizeDuringPass, 4u) << "nothing reloaded the base under the pass";
    ASSERT_TRUE(waitFor([&] { return w->isVisible() && w->Base.size() == 6u; }));
    EXPECT_EQ(w->deferredCount(), 0u);
}

TEST_F(SearchServerDeferralTest, AQuitDuringAPassIsTakenAtOnceAndClosesAfterIt)
{
    writeNumberedBase(4);
    auto w = startAttached();
    const std::string caption = "DatabaseWindow" + std::to_string(player.handle());
    bool unregisteredAtOnce = false;
    w->onPassItem = [&](std::size_t done) {
        if (done != 1)
            return;
        platform::sendMessage(w->handle(), platform::UM_SEARCH_QUIT, 0, 0);
        unregisteredAtOnce = platform::findWindow(kWindowClass, caption) == 0;
        QCoreApplication::processEvents();
        EXPECT_FALSE(finished) << "the base is still in use";
    };
    w->CountAllTime();
    EXPECT_TRUE(unregisteredAtOnce);
    EXPECT_TRUE(waitFor([&] { return finished; }));
}

}  // namespace
