// The player's side against the real database program and the real generator (two processes):
// queries answered from a generated base, the limits, a ping crossing the queries, a server that
// is killed, the generator's list; and the real player against the real database program.
#include "linkfakes.h"
#include "realprograms.h"
#include "tests/player/playerfixtures.h"

#include "audiolib/audiolib.h"
#include "engine/audioengine.h"
#include "platform/messageids.h"
#include "platform/recordedusermessages.h"
#include "platform/window.h"
#include "player/form1.h"
#include "player/sequencing/sequencingdeck.h"
#include "player/sequencing/sequencingplayback.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using namespace player;
using namespace linktest;
using playertest::TempDir;

namespace {

bool sameBytes(const void* slot, const media::TTrackRecord& row)
{
    return std::memcmp(slot, &row, sizeof(row)) == 0;
}

const unsigned char* slotAt(const TForm1& form, int k)
{
    return static_cast<const unsigned char*>(form.SharedArea->data()) + static_cast<std::size_t>(k) * sizeof(media::TTrackRecord);
}

}  // namespace

class RealBase : public ::testing::Test {
protected:
    TempDir programDir;
    platform::RecordedUserMessages messages;
    RealLauncher programs;
    std::unique_ptr<TForm1> form;
    std::vector<media::TTrackRecord> rows;

    void SetUp() override
    {
        setenv("QUORVALEN_PROGRAM_DIR", programDir.path().c_str(), 1);
        programDir.write("system.ini", "[Device]\nMainDev=0\n");
        std::filesystem::create_directories(programDir.path() + "/Database");
        std::filesystem::create_directories(programDir.path() + "/Temp");
        ASSERT_TRUE(audiolib::initDevice(audiolib::kDeviceNoSound, 44100, 0, 0));
        platform::setUserMessages(&messages);
        form = std::make_unique<TForm1>();
        form->ListsReady = true;
        form->LaunchProgram = programs.launcher();
        form->DefBase = programDir.path() + "/Database/Base.dfs";
    }
    void TearDown() override
    {
        form.reset();
        // The quit sent at the window's end closes the server; anything left is ended here.
        for (const auto& [name, pid] : programs.started)
            endProcess(pid);
        platform::setUserMessages(nullptr);
        audiolib::freeDevice();
        unsetenv("QUORVALEN_PROGRAM_DIR");
    }
    void startServer(int baseRows)
    {
        rows = writeBase(form->DefBase, baseRows);
        form->StartSearchServer();
        ASSERT_TRUE(serverCameUp());
        ASSERT_NE(form->ServerWindow, 0u) << "the database program did not come up";
        ASSERT_TRUE(form->SharedArea);
    }
    // A keystroke's worth: the query goes out and the nested answer has filled the list when the
    // send returns; nothing else is run in between.
    void query(int field, const QString& text)
    {
        // A changed text queries by itself; the same text again is sent by choosing the field.
        form->cbFindIndex->setCurrentIndex(field);
        if (form->edFindText->text() == text)
            emit form->cbFindIndex->activated(field);
        else
            form->edFindText->setText(text);
    }
    int shown() const { return form->LVFindResult->rowCount(); }
    // The start does not wait for the server's window; this does, serving events meanwhile.
    bool serverCameUp() { return waitUntil([this] { return !form->ServerWatch.active(); }, 10000); }
    // A long file playing on the deck on air (device 0).
    engine::TAudioEngine& startPlaying()
    {
        form->FormCreate();
        form->AddFile(QString::fromStdString(programDir.write("long.wav", playertest::soundWavFile(1, 8000, 8000 * 30))));
        form->RenumberList();
        form->LVMaster->selectRows({0});
        form->LVMasterDblClick();
        return static_cast<EngineDeck&>(form->Sequencer->deckA()).engine();
    }
};

TEST_F(RealBase, QueriesAreAnsweredInsideTheSendWithTheBaseRowsByteForByte)
{
    startServer(50);
    const std::string caption = "DatabaseWindow" + std::to_string(form->handle());
    EXPECT_EQ(platform::findWindow("TBase_main_window", caption), form->ServerWindow);
    EXPECT_TRUE(messages.shown().empty());

    // An empty query: the whole base, in base order.
    query(0, "");
    ASSERT_EQ(shown(), 50);
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(sameBytes(slotAt(*form, i + 1), rows[static_cast<std::size_t>(i)])) << "row " << i;
    EXPECT_EQ(form->LVFindResult->Rows[1].Caption, "КИНО");
    EXPECT_EQ(form->LVFindResult->Rows[7].SubItems[0], "Song 7");
    EXPECT_EQ(form->LVFindResult->Rows[7].SubItems[2], "/music/track7.mp3");

    // Artists without regard to case, Cyrillic as well as Latin.
    query(1, QStringLiteral("кИнО"));
    EXPECT_EQ(shown(), 20);
    for (const auto& r : form->LVFindResult->Rows)
        EXPECT_TRUE(r.Caption.toLower().contains(QStringLiteral("кино"))) << r.Caption.toStdString();
    query(1, QStringLiteral("beat"));
    EXPECT_EQ(shown(), 20);  // "The Beatles" and "BEAT crew"
    query(0, QStringLiteral("song 4"));
    EXPECT_EQ(shown(), 11);  // 4 and 40..49
    EXPECT_TRUE(sameBytes(slotAt(*form, 2), rows[40]));

    // No match: 0, an empty list, and the slots as the last query left them.
    std::vector<unsigned char> before(slotAt(*form, 1), slotAt(*form, 12));
    query(0, QStringLiteral("no such song"));
    EXPECT_EQ(shown(), 0);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), slotAt(*form, 1)));

    // The window's end tells the server to quit: gone from the registry when the send returns.
    const std::int64_t pid = programs.lastPid(kDatabaseProgram);
    form.reset();
    EXPECT_EQ(platform::findWindow("TBase_main_window", caption), 0u);
    EXPECT_TRUE(waitUntil([pid] { return !processRunning(pid); }, 2000));
}

TEST_F(RealBase, MoreThanFifteenThousandMatchesGiveTheFirstFifteenThousand)
{
    startServer(15200);
    query(1, "");
    ASSERT_EQ(shown(), 15000);
    EXPECT_TRUE(sameBytes(slotAt(*form, 15000), rows[14999]));
    EXPECT_EQ(form->LVFindResult->Rows.back().SubItems[0], "Song 14999");
}

TEST_F(RealBase, QueriesCrossingTheServersPingsDeadlockNobody)
{
    startServer(3000);
    const std::int64_t pid = programs.lastPid(kDatabaseProgram);
    // Longer than the ping's period: some pings arrive while a query waits for its answer.
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(4000);
    int n = 0;
    while (std::chrono::steady_clock::now() < end) {
        query(0, n % 2 ? QStringLiteral("song 1") : QString());
        ASSERT_EQ(shown(), n % 2 ? 1111 : 3000);
        ++n;
        QCoreApplication::processEvents();
    }
    EXPECT_TRUE(processRunning(pid)) << "the server took a ping as unanswered";
    query(1, QStringLiteral("nobody"));
    EXPECT_EQ(shown(), 600);
}

TEST_F(RealBase, AKilledServerLeavesThePlayerPlayingAndTheNextProfileLoadStartsAnother)
{
    engine::TAudioEngine& onAir = startPlaying();
    ASSERT_EQ(onAir.State(), engine::STATE_PLAY);

    startServer(30);
    query(0, "");
    ASSERT_EQ(shown(), 30);
    const std::int64_t first = programs.lastPid(kDatabaseProgram);
    ::kill(static_cast<pid_t>(first), SIGKILL);
    ASSERT_TRUE(waitUntil([first] { return !processRunning(first); }, 3000));

    const auto t0 = std::chrono::steady_clock::now();
    query(0, QStringLiteral("song 1"));
    query(0, QStringLiteral("song 2"));
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(500));
    EXPECT_EQ(shown(), 0) << "no answer, so no results under the new query";
    EXPECT_FALSE(form->lbSearchUnavailable->isHidden());
    EXPECT_EQ(onAir.State(), engine::STATE_PLAY);
    EXPECT_EQ(form->LVMaster->HLIndex, 0);

    std::filesystem::create_directories(programDir.path() + "/Profile");
    programDir.write("Profile/Default.prf", "[Options]\nDefBase=Database/Base.dfs\n");
    form->LoadProfile(programDir.path() + "/Profile/Default.prf");
    ASSERT_EQ(programs.count(kDatabaseProgram), 2);
    ASSERT_TRUE(serverCameUp());
    EXPECT_NE(form->ServerWindow, 0u);
    EXPECT_TRUE(form->edFindText->isEnabled());
    EXPECT_TRUE(form->lbSearchUnavailable->isHidden());
    query(0, QStringLiteral("song 2"));
    EXPECT_EQ(shown(), 11);
    EXPECT_EQ(onAir.State(), engine::STATE_PLAY);
}

TEST_F(RealBase, TheGeneratorIsStartedOnceGreetedAndItsListReplacesTheMainListWhileTheDeckPlaysOn)
{
    rows = writeBase(form->DefBase, 100);
    engine::TAudioEngine& onAir = startPlaying();
    ASSERT_EQ(onAir.State(), engine::STATE_PLAY);
    form->startgenClick();
    ASSERT_NE(form->GeneratorWindow, 0u);
    form->startgenClick();
    EXPECT_EQ(programs.count(kGeneratorProgram), 1);
    EXPECT_TRUE(messages.shown().empty());

    // The generator's own button, pressed from outside.
    ASSERT_TRUE(platform::postMessage(form->GeneratorWindow, 0x111, 101, 0));
    ASSERT_TRUE(waitUntil([&] { return form->LVMaster->rowCount() == 20; }, 10000));
    EXPECT_TRUE(std::filesystem::exists(programDir.path() + "/Temp/Stack.m3u"));
    for (const auto& r : form->LVMaster->Rows)
        EXPECT_TRUE(r.SubItems[3].startsWith("/music/track")) << r.SubItems[3].toStdString();
    // The row on air went with the old list; its deck plays on.
    EXPECT_EQ(form->LVMaster->HLIndex, -1);
    EXPECT_EQ(onAir.State(), engine::STATE_PLAY);
}

// The real player, started on a program folder whose default profile names the base.
class RealPlayer : public ::testing::Test {
protected:
    TempDir programDir;
    std::unique_ptr<QProcess> player;

    void SetUp() override
    {
        programDir.write("system.ini", "[Device]\nMainDev=0\n");
        for (const char* f : {"Database", "Temp", "Profile", "Report"})
            std::filesystem::create_directories(programDir.path() + "/" + f);
        writeBase(programDir.path() + "/Database/Base.dfs", 40);
        programDir.write("Profile/Default.prf", "[Options]\nDefBase=Database/Base.dfs\nClose=1\n");
        player = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUORVALEN_PROGRAM_DIR", QString::fromStdString(programDir.path()));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        player->setProcessEnvironment(env);
        player->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        player->start(QStringLiteral(QV_BIN_DIR "/player"), {});
        ASSERT_TRUE(player->waitForStarted(5000));
    }
    void TearDown() override
    {
        if (player->state() != QProcess::NotRunning) {
            player->kill();
            player->waitForFinished(5000);
        }
        const platform::WindowHandle server = serverOf(playerWindow);
        for (const platform::WindowInfo& w : platform::enumWindows())
            if (w.handle == server)
                endProcess(w.processId);
    }
    platform::WindowHandle playerWindow = 0;
    static platform::WindowHandle serverOf(platform::WindowHandle p)
    {
        return p ? platform::findWindow("TBase_main_window", "DatabaseWindow" + std::to_string(p)) : 0;
    }
    std::int64_t processOf(platform::WindowHandle w)
    {
        for (const platform::WindowInfo& i : platform::enumWindows())
            if (i.handle == w)
                return i.processId;
        return 0;
    }
    // The player's window, and the server it started, once both are up.
    bool waitForServer()
    {
        return waitUntil([this] {
            playerWindow = platform::findWindow("TForm1", "");
            return serverOf(playerWindow) != 0;
        }, 15000);
    }
    std::string savedMainList()
    {
        return programDir.read(programDir.path() + "/Profile/Default.m3u");
    }
};

TEST_F(RealPlayer, StartsItsServerTakesHandOversAndTellsTheServerToQuitAtTheEnd)
{
    ASSERT_TRUE(waitForServer());
    const platform::WindowHandle server = serverOf(playerWindow);
    const std::int64_t serverPid = processOf(server);
    ASSERT_GT(serverPid, 0);
    // Past two of the server's pings: the player answers them.
    QThread::msleep(6500);
    EXPECT_TRUE(processRunning(serverPid));

    // "To player" of a database window: appended to the Main list.
    programDir.write("Temp/DBTemp.m3u", "#EXTM3U\r\n#EXTINF:61,Кино - Звезда\r\n/music/track1.mp3\r\n");
    EXPECT_EQ(platform::sendMessage(playerWindow, platform::UM_LOAD_TEMP_LIST, 1, 0), 0);

    // The end of the session saves the list, and the quit ends the server before its next ping.
    ::kill(static_cast<pid_t>(player->processId()), SIGTERM);
    ASSERT_TRUE(player->waitForFinished(10000));
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_TRUE(waitUntil([serverPid] { return !processRunning(serverPid); }, 5000));
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(2000));
    EXPECT_NE(savedMainList().find("/music/track1.mp3"), std::string::npos);
    EXPECT_NE(savedMainList().find("Кино - Звезда"), std::string::npos);
}

TEST_F(RealPlayer, AKilledServerLeavesThePlayerRunningAndAKilledPlayerEndsTheServerByItsPing)
{
    ASSERT_TRUE(waitForServer());
    const std::int64_t serverPid = processOf(serverOf(playerWindow));
    ::kill(static_cast<pid_t>(serverPid), SIGKILL);
    ASSERT_TRUE(waitUntil([serverPid] { return !processRunning(serverPid); }, 3000));
    EXPECT_EQ(platform::sendMessage(playerWindow, platform::UM_PING, 0, 0), 10000);
    EXPECT_EQ(player->state(), QProcess::Running);
    player->kill();
    player->waitForFinished(5000);
}

TEST_F(RealPlayer, AServerWhosePlayerIsGoneEndsWithinAboutThreeAndAHalfSeconds)
{
    ASSERT_TRUE(waitForServer());
    const std::int64_t serverPid = processOf(serverOf(playerWindow));
    player->kill();
    player->waitForFinished(5000);
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_TRUE(waitUntil([serverPid] { return !processRunning(serverPid); }, 6000));
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(3600));
}
