// The real Base program as the player's hidden search server, in a process of its own on a
// temporary program folder: this test plays the player's side through the platform layer.
#include "database/dfsfile.h"
#include "database/searcharea.h"
#include "../testplayer.h"
#include "platform/cp1251.h"
#include "platform/messageids.h"
#include "platform/window.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace database;
using platform::UM_SEARCH_HELLO;
using platform::UM_SEARCH_QUERY;

namespace {

struct Row {
    std::string title, artist, path;
    std::int32_t durationMs = 0;
};

// Tag fields as the folder scan stores them: 30 bytes, zero-padded, code page 1251.
media::TTrackRecord makeRecord(const Row& r)
{
    media::TTrackRecord rec;
    std::memset(&rec, 0, sizeof rec);
    auto padded = [](media::ShortString<30>& f, const std::string& utf8) {
        const std::string bytes = platform::utf8ToCp1251(utf8);
        std::memcpy(f.chars, bytes.data(), std::min<std::size_t>(bytes.size(), 30));
        f.length = 30;
    };
    padded(rec.Title, r.title);
    padded(rec.Artist, r.artist);
    rec.FileName.assign(r.path);
    rec.Duration = r.durationMs;
    return rec;
}

bool waitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

class ServerLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(exe().toStdString()))
            GTEST_SKIP() << "Base is not built in " << QV_BIN_DIR;
        ASSERT_TRUE(player.mapArea());
    }
    void TearDown() override
    {
        if (base.state() == QProcess::NotRunning)
            return;
        if (server != 0)
            platform::postMessage(server, platform::UM_SEARCH_QUIT, 0, 0);
        if (!base.waitForFinished(5000))
            base.kill();
        base.waitForFinished(2000);
    }
    static QString exe() { return QString(QV_BIN_DIR) + "/Base"; }
    std::string dfsPath() const { return dir.filePath("Base.dfs").toStdString(); }

    void writeBase(const std::vector<Row>& rows)
    {
        std::vector<std::unique_ptr<media::TTrackRecord>> owned;
        std::vector<media::TTrackRecord*> ptrs;
        for (const Row& r : rows) {
            owned.push_back(std::make_unique<media::TTrackRecord>(makeRecord(r)));
            ptrs.push_back(owned.back().get());
        }
        std::string error;
        ASSERT_TRUE(writeDfsFile(dfsPath(), ptrs, &error)) << error;
        std::ifstream in(dfsPath(), std::ios::binary);
        fileBytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Row i of the ".dfs" file as it lies on disk.
    std::string fileRow(std::size_t i) const { return fileBytes.substr(i * kSearchSlotBytes, kSearchSlotBytes); }
    static std::string bytesOf(const media::TTrackRecord& r)
    {
        return std::string(reinterpret_cast<const char*>(&r), sizeof r);
    }

    // Starts Base hidden for this player and greets it, as the player does.
    void startServer()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUORVALEN_PROGRAM_DIR", dir.path());
        env.insert("QUORVALEN_NOSOUND", "1");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        base.setProcessEnvironment(env);
        const QString handle = QString::number(player.handle());
        base.start(exe(), {"hidden", handle, QString::fromStdString(dfsPath())});
        ASSERT_TRUE(base.waitForStarted(5000));
        const std::string caption = "DatabaseWindow" + handle.toStdString();
        ASSERT_TRUE(waitFor([&] { return (server = platform::findWindow("TBase_main_window", caption)) != 0; }, 10000));
        ASSERT_EQ(platform::sendMessage(server, UM_SEARCH_HELLO, player.handle(), kHelloToServer), 0);
    }
    dbtest::TestPlayer::Answer query(platform::WParam field, const std::string& utf8)
    {
        player.writeQuery(platform::utf8ToCp1251(utf8));
        const std::size_t before = player.answers.size();
        platform::sendMessage(server, UM_SEARCH_QUERY, field, 0);
        EXPECT_EQ(player.answers.size(), before + 1) << "the answer arrives before the send returns";
        return player.answers.size() > before ? player.answers.back() : dbtest::TestPlayer::Answer{-1, {}};
    }

    QTemporaryDir dir;
    dbtest::TestPlayer player;
    QProcess base;
    platform::WindowHandle server = 0;
    std::string fileBytes;
};

TEST_F(ServerLinkTest, QueriesAreAnsweredInsideTheSendWithTheFileRows)
{
    writeBase({{"Yesterday", "The Beatles", "/music/1.mp3", 125000},
               {"Кукушка", "Кино", "/music/Кино/2.mp3", 400000},
               {"Help", "the beatles", "/music/3.mp3", 0},
               {"Группа крови", "КИНО", "/music/4.mp3", 283000},
               {"Other", "Nobody", "/music/5.mp3", 1000}});
    startServer();

    const auto latin = query(1, "BEATLES");
    ASSERT_EQ(latin.count, 2);
    EXPECT_EQ(bytesOf(latin.rows[0]), fileRow(0));
    EXPECT_EQ(bytesOf(latin.rows[1]), fileRow(2));

    const auto cyrillic = query(1, "кИно");
    ASSERT_EQ(cyrillic.count, 2);
    EXPECT_EQ(bytesOf(cyrillic.rows[0]), fileRow(1));
    EXPECT_EQ(bytesOf(cyrillic.rows[1]), fileRow(3));

    EXPECT_EQ(query(0, "no such title").count, 0);
}

TEST_F(ServerLinkTest, PingsCrossingQueriesDeadlockNobody)
{
    writeBase({{"A", "Artist", "/music/a.mp3", 1000}, {"B", "Artist", "/music/b.mp3", 2000}});
    startServer();
    // Query without pause for longer than one ping period: the server's pings land inside our
    // sends and ours inside its searches.
    QElapsedTimer t;
    t.start();
    int queries = 0;
    while (t.elapsed() < 3600) {
        ASSERT_EQ(query(1, "artist").count, 2) << "query " << queries;
        ++queries;
        QCoreApplication::processEvents();
    }
    EXPECT_GE(player.pings, 1);
    EXPECT_EQ(base.state(), QProcess::Running);
}

TEST_F(ServerLinkTest, APingAnsweredWrongEndsTheServerWithinThreeAndAHalfSeconds)
{
    writeBase({{"A", "Artist", "/music/a.mp3", 1000}});
    startServer();
    ASSERT_TRUE(waitFor([&] { return player.pings >= 1; }, 4000)) << "the server pings every 3 s";
    EXPECT_EQ(base.state(), QProcess::Running);
    player.pingAnswer = 9999;
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(waitFor([&] { return base.state() == QProcess::NotRunning; }, 6000));
    EXPECT_LT(t.elapsed(), 3500 + 300);
    EXPECT_EQ(base.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(base.exitCode(), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.filePath("Base.ini").toStdString()));
}

TEST_F(ServerLinkTest, ABaseItCannotReadBlocksNothingAndTheServerStillEndsWithItsPlayer)
{
    std::filesystem::create_directory(dfsPath());  // there, and no file
    startServer();
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(query(1, "").count, 0) << "an empty base is served";
    EXPECT_LT(t.elapsed(), 1000);
    player.pingAnswer = 0;  // what a player that is gone answers
    ASSERT_TRUE(waitFor([&] { return base.state() == QProcess::NotRunning; }, 6000)) << "no box holds it";
    EXPECT_EQ(base.exitCode(), 0);
    std::ifstream log(dir.filePath("Base.log").toStdString());
    const std::string logged((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_NE(logged.find("Не удалось прочитать " + dfsPath()), std::string::npos) << logged;
}

}  // namespace
