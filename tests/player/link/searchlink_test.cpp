// The player's side of the link, with the server and the generator played by windows on threads
// of this process: start and greeting, the query and its nested answer, failures, adding results,
// hand-overs and the generator.
#include "linkfakes.h"
#include "tests/player/windowfixture.h"

#include "audiolib/audiolib.h"
#include "platform/objectnames.h"
#include "platform/recordedusermessages.h"
#include "player/form1.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <cstdlib>
#include <filesystem>

using namespace player;
using linktest::FakeServer;
using linktest::ThreadWindow;
using linktest::track;
using playertest::TempDir;

class SearchLink : public playertest::WindowTest {
protected:
    std::vector<std::pair<std::string, std::vector<std::string>>> launches;
    std::vector<std::unique_ptr<FakeServer>> servers;
    bool serverStarts = true;
    // The program started as "Sorbelt", when there is one.
    std::function<bool()> generatorStart;

    void SetUp() override
    {
        WindowTest::SetUp();
        ASSERT_TRUE(audiolib::initDevice(audiolib::kDeviceNoSound, 44100, 0, 0));
        makeForm();
        form->DefBase = programDir.path() + "/Database/Base.dfs";
        form->LaunchProgram = [this](std::string_view program, const std::vector<std::string>& args) {
            launches.emplace_back(std::string(program), args);
            if (program == kDatabaseProgram && !args.empty() && args[0] == "hidden" && serverStarts) {
                servers.push_back(std::make_unique<FakeServer>(form->handle()));
                servers.back()->open();
                return true;
            }
            if (program == kGeneratorProgram && generatorStart)
                return generatorStart();
            return false;
        };
    }
    void TearDown() override
    {
        form.reset();
        servers.clear();
        WindowTest::TearDown();
        audiolib::freeDevice();
    }
    FakeServer& server() { return *servers.back(); }
    void type(const QString& text) { form->edFindText->setText(text); }
    bool pageEnabled() const { return form->edFindText->isEnabled() && form->LVFindResult->isEnabled(); }
    std::vector<std::string> shownTexts() const
    {
        std::vector<std::string> t;
        for (const auto& s : messages.shown())
            t.push_back(s.text);
        return t;
    }
};

TEST_F(SearchLink, StartGreetsTheServerItStartedAndARestartRetiresTheOldOne)
{
    // A server that came up too late for an earlier start is retired, never greeted.
    FakeServer stray(form->handle());
    stray.open();
    form->StartSearchServer();
    EXPECT_EQ(stray.quits(), 1);
    EXPECT_TRUE(stray.hellos().empty());
    ASSERT_EQ(launches.size(), 1u);
    const std::string self = std::to_string(form->handle());
    EXPECT_EQ(launches[0].first, "Base");
    EXPECT_EQ(launches[0].second, (std::vector<std::string>{"hidden", self, form->DefBase}));
    EXPECT_EQ(form->ServerWindow, server().window());
    EXPECT_EQ(server().hellos(), (std::vector<std::pair<platform::WParam, platform::LParam>>{{form->handle(), 12}}));
    ASSERT_TRUE(form->SharedArea);
    EXPECT_EQ(form->SharedArea->size(), 6360424u);
    EXPECT_TRUE(pageEnabled());
    EXPECT_TRUE(messages.shown().empty());

    form->StartSearchServer();
    ASSERT_EQ(servers.size(), 2u);
    EXPECT_EQ(servers[0]->quits(), 1);
    EXPECT_EQ(servers[1]->quits(), 0);
    EXPECT_EQ(form->ServerWindow, servers[1]->window());
    EXPECT_EQ(servers[1]->hellos().size(), 1u);

    // The window's end tells the server it serves, once.
    form.reset();
    EXPECT_EQ(servers[1]->quits(), 1);
    EXPECT_EQ(servers[0]->quits(), 1);
}

TEST_F(SearchLink, NoServerDisablesThePageAndALaterRestartEnablesIt)
{
    serverStarts = false;
    form->StartSearchServer();
    EXPECT_EQ(form->ServerWindow, 0u);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "Ошибка: база не запущена! Функция поиска в базе будет недоступна.");
    EXPECT_EQ(messages.shown()[0].caption, "Caldrivane");
    EXPECT_TRUE(messages.shown()[0].flags & platform::MB_ICONERROR);
    EXPECT_FALSE(pageEnabled());
    EXPECT_FALSE(form->cbFindIndex->isEnabled());

    EXPECT_FALSE(form->lbSearchUnavailable->isHidden());

    serverStarts = true;
    form->StartSearchServer();
    EXPECT_NE(form->ServerWindow, 0u);
    EXPECT_TRUE(pageEnabled());
    EXPECT_TRUE(form->cbFindIndex->isEnabled());
    EXPECT_TRUE(form->lbSearchUnavailable->isHidden());
}

TEST_F(SearchLink, TheStartWaitsForNoServerAndWhatIsTypedMeanwhileIsAnsweredWhenItComes)
{
    // The database program's window comes up a while after its start, as the real one's does.
    QElapsedTimer serverUp;
    form->LaunchProgram = [this, &serverUp](std::string_view program, const std::vector<std::string>& args) {
        launches.emplace_back(std::string(program), args);
        QTimer::singleShot(300, form.get(), [this, &serverUp] {
            servers.push_back(std::make_unique<FakeServer>(form->handle()));
            servers.back()->setResults({track("Art", "Tit", "/m/1.mp3", 0)});
            servers.back()->open();
            serverUp.start();
        });
        return true;
    };
    QElapsedTimer took;
    took.start();
    form->StartSearchServer();
    EXPECT_LT(took.elapsed(), 100) << "the start held the window for the server";
    EXPECT_TRUE(form->lbSearchUnavailable->isHidden());
    type("a");
    EXPECT_EQ(form->LVFindResult->rowCount(), 0);
    while (form->LVFindResult->rowCount() == 0 && took.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    ASSERT_EQ(form->LVFindResult->rowCount(), 1);
    EXPECT_LT(serverUp.elapsed(), 200) << "the answer came long after the server";
    ASSERT_EQ(servers.size(), 1u);
    EXPECT_EQ(server().hellos().size(), 1u);
    ASSERT_EQ(server().queries().size(), 1u);
    EXPECT_EQ(server().queries()[0].text, "a");
    EXPECT_TRUE(form->lbSearchUnavailable->isHidden());
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(SearchLink, AnAreaThatCannotBeMappedIsToldInTheStatusBarAndTheProfileLoadStillFinishes)
{
    // A folder where the area's lock file belongs makes every open of the area fail.
    const std::string guard = platform::runtimeFolder() + "shm.SHARED_DATA_FILE.guard";
    std::filesystem::remove(guard);
    ASSERT_TRUE(std::filesystem::create_directory(guard));
    std::filesystem::create_directories(programDir.path() + "/Profile");
    programDir.write("Profile/Default.prf", "[Options]\nDefBase=Database\\Other.dfs\n");
    programDir.write("Profile/Default.m3u", "#EXTM3U\r\n#EXTINF:5,A - B\r\n/a.mp3\r\n");

    // The first showing loads the default profile: it runs to its end.
    form->show();
    EXPECT_TRUE(form->Shown());
    EXPECT_EQ(form->LVMaster->rowCount(), 1);
    EXPECT_EQ(form->DefBase, programDir.path() + "/Database/Other.dfs");
    // No box (a full /dev/shm is nobody's to click away): the status bar and the page say why.
    EXPECT_TRUE(shownTexts().empty());
    const QString why = QStringLiteral("Поиск в базе недоступен: нет общей памяти (Is a directory)");
    EXPECT_EQ(form->StatusText, why);
    EXPECT_FALSE(form->SharedArea);
    EXPECT_FALSE(pageEnabled());
    EXPECT_EQ(form->lbSearchUnavailable->text(), why);
    // Neither the query nor a stray answer touches an area that is not there.
    type("abc");
    EXPECT_TRUE(server().queries().empty());
    form->LVFindResult->Rows.push_back(playertest::row("kept", "", ""));
    platform::sendMessage(form->handle(), platform::UM_SEARCH_QUERY, 3, 0);
    EXPECT_EQ(form->LVFindResult->rowCount(), 1);

    std::filesystem::remove(guard);
    form->LoadProfile(programDir.path() + "/Profile/Default.prf");
    EXPECT_TRUE(form->SharedArea);
    EXPECT_TRUE(pageEnabled());
}

TEST_F(SearchLink, AHungServerStallsOneKeystrokeAtMostAndBriefly)
{
    // The query's wait holds the user-interface thread and the main timer with it: a server that
    // never answers may cost one short wait, not fifteen seconds on every keystroke.
    form->StartSearchServer();
    server().setResults({track("Art", "Tit", "/m/2.mp3", 0)});
    type("a");
    ASSERT_EQ(form->LVFindResult->rowCount(), 1);
    server().stallMs = 5000;
    const auto waited = [this](const QString& text) {
        const auto start = std::chrono::steady_clock::now();
        type(text);
        return std::chrono::steady_clock::now() - start;
    };
    EXPECT_LT(waited("ab"), std::chrono::milliseconds(4000));
    EXPECT_EQ(form->ServerWindow, 0u);
    EXPECT_LT(waited("abc"), std::chrono::milliseconds(100)) << "a second keystroke waited on the hung server";
    // The unanswered query shows no old results as its own; the page says why.
    EXPECT_EQ(form->LVFindResult->rowCount(), 0);
    EXPECT_TRUE(form->edFindText->isEnabled()) << "typing goes on";
    EXPECT_FALSE(form->lbSearchUnavailable->isHidden());
    EXPECT_EQ(form->lbSearchUnavailable->text(),
              "Ошибка: база не запущена! Функция поиска в базе будет недоступна.");
    EXPECT_TRUE(messages.shown().empty()) << "no box: the page may be in use while on air";
}

TEST_F(SearchLink, ResultsGoToTheCurrentPlaylistOneByDoubleClickOrAll)
{
    form->StartSearchServer();
    server().setResults({track("~Long name without a dash", "", "/m/1.mp3", 61000), track("Art", "Tit", "/m/2.mp3", 0),
                         track("Solo", "", "/m/3.mp3", 5000)});
    type("m");
    form->LVMaster->Rows.push_back(playertest::row("old", "01:00", "/old.mp3"));
    form->LVMaster->syncView();

    form->LVFindResultDblClick();  // nothing selected: nothing added
    EXPECT_EQ(form->LVMaster->rowCount(), 1);
    form->LVFindResult->selectRows({1, 2});
    form->LVFindResultDblClick();
    ASSERT_EQ(form->LVMaster->rowCount(), 2);
    EXPECT_EQ(form->LVMaster->Rows[1].SubItems[1], "Art - Tit");
    EXPECT_EQ(form->LVMaster->Rows[1].SubItems[2], "??:??");
    EXPECT_EQ(form->LVMaster->Rows[1].SubItems[3], "/m/2.mp3");
    EXPECT_EQ(form->LVMaster->Rows[1].Caption, "2");

    // On the Temp page everything goes to the Temp list, in order.
    form->pcPlaylist->setCurrentWidget(form->_slave);
    form->N43Click();
    ASSERT_EQ(form->LVSlave->rowCount(), 3);
    EXPECT_EQ(form->LVSlave->Rows[0].SubItems[1], "Long name without a dash");
    EXPECT_EQ(form->LVSlave->Rows[0].SubItems[2], "01:01");
    EXPECT_EQ(form->LVSlave->Rows[2].SubItems[1], "Solo");
    EXPECT_EQ(form->LVSlave->Rows[2].Caption, "3");
    EXPECT_EQ(form->LVMaster->rowCount(), 2);
}

TEST_F(SearchLink, HandOversAppendToOrReplaceTheMainListOnlyWhenAListWasRead)
{
    std::filesystem::create_directories(programDir.path() + "/Temp");
    form->LVMaster->Rows.push_back(playertest::row("on air", "03:00", "/air.mp3"));
    form->LVMaster->syncView();
    form->LVMaster->HLIndex = 0;

    // From the database window: appended to Main even while the Temp page is shown; UTF-8 text.
    form->pcPlaylist->setCurrentWidget(form->_slave);
    programDir.write("Temp/DBTemp.m3u", "#EXTM3U\r\n#EXTINF:200,Кино - Группа крови\r\n/m/k.mp3\r\n"
                                        "#EXTINF:0,Без тире\r\n/m/b.mp3\r\n");
    EXPECT_EQ(platform::sendMessage(form->handle(), platform::UM_LOAD_TEMP_LIST, 1, 0), 0);
    ASSERT_EQ(form->LVMaster->rowCount(), 3);
    EXPECT_EQ(form->LVMaster->Rows[1].SubItems[1], "Кино - Группа крови");
    EXPECT_EQ(form->LVMaster->Rows[1].SubItems[2], "03:20");
    EXPECT_EQ(form->LVMaster->Rows[1].SubItems[3], "/m/k.mp3");
    EXPECT_EQ(form->LVMaster->Rows[2].SubItems[1], "Без тире");
    EXPECT_EQ(form->LVMaster->HLIndex, 0);
    EXPECT_EQ(form->LVSlave->rowCount(), 0);

    // From the generator: replaces Main; a code page 1251 file is read as such.
    programDir.write("Temp/Stack.m3u", "#EXTM3U\r\n#EXTINF:1,\xCA\xE8\xED\xEE - \xC7\xE2\xE5\xE7\xE4\xE0\r\n/m/z.mp3\r\n");
    form->pcPlaylist->setCurrentWidget(form->_master);
    platform::sendMessage(form->handle(), platform::UM_LOAD_TEMP_LIST, 0, 0);
    ASSERT_EQ(form->LVMaster->rowCount(), 1);
    EXPECT_EQ(form->LVMaster->Rows[0].SubItems[1], "Кино - Звезда");
    EXPECT_EQ(form->LVMaster->Rows[0].Caption, "1");
    EXPECT_EQ(form->LVMaster->HLIndex, -1);

    // A missing or broken generator list leaves the list on air alone; other numbers read nothing.
    std::filesystem::remove(programDir.path() + "/Temp/Stack.m3u");
    platform::sendMessage(form->handle(), platform::UM_LOAD_TEMP_LIST, 0, 0);
    EXPECT_EQ(form->LVMaster->rowCount(), 1);
    EXPECT_EQ(messages.shown().size(), 1u);
    programDir.write("Temp/Stack.m3u", "not a playlist\r\n");
    platform::sendMessage(form->handle(), platform::UM_LOAD_TEMP_LIST, 0, 0);
    programDir.write("Temp/Stack.m3u", "#EXTM3U\r\n");
    platform::sendMessage(form->handle(), platform::UM_LOAD_TEMP_LIST, 0, 0);
    platform::sendMessage(form->handle(), platform::UM_LOAD_TEMP_LIST, 2, 0);
    EXPECT_EQ(form->LVMaster->rowCount(), 1);
    EXPECT_EQ(form->LVMaster->Rows[0].SubItems[1], "Кино - Звезда");
}

TEST_F(SearchLink, TheGeneratorIsLeftAloneWhileItAnswersAndStartedAgainWhenItDoesNot)
{
    std::vector<std::unique_ptr<ThreadWindow>> generators;
    generatorStart = [&] {
        generators.push_back(std::make_unique<ThreadWindow>(
            "TSorbeltWnd", "Sorbelt", [](std::uint32_t msg, platform::WParam, platform::LParam) -> platform::LResult {
                return msg == platform::UM_PING ? 1000 : 0;
            }));
        generators.back()->open();
        return true;
    };
    form->startgenClick();
    form->startgenClick();
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0], (std::pair<std::string, std::vector<std::string>>{"Sorbelt", {""}}))
        << "a missing database file is passed as an empty argument";
    EXPECT_EQ(form->GeneratorWindow, generators[0]->handle());

    generators[0]->stop();
    std::filesystem::create_directories(programDir.path() + "/Database");
    programDir.write("Database/Base.dfs", "");
    form->startgenClick();
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(launches[1].second, std::vector<std::string>{form->DefBase});
    EXPECT_EQ(form->GeneratorWindow, generators[1]->handle());
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(SearchLink, AHungGeneratorIsReplacedBrieflyAndNeverGreetedAgain)
{
    std::vector<std::unique_ptr<ThreadWindow>> generators;
    std::atomic<bool> hang{false};
    std::vector<std::atomic<int>> greetings(2);
    generatorStart = [&] {
        const std::size_t n = generators.size();
        generators.push_back(std::make_unique<ThreadWindow>(
            "TSorbeltWnd", "Sorbelt", [&, n](std::uint32_t msg, platform::WParam, platform::LParam) -> platform::LResult {
                if (n == 0 && hang.load())
                    std::this_thread::sleep_for(std::chrono::seconds(4));
                if (msg == platform::UM_SEARCH_HELLO)
                    ++greetings[n];
                return msg == platform::UM_PING ? 1000 : 0;
            }));
        generators.back()->open();
        return true;
    };
    form->startgenClick();
    ASSERT_EQ(generators.size(), 1u);
    ASSERT_EQ(form->GeneratorWindow, generators[0]->handle());

    hang = true;  // still registered, never answering
    const auto t0 = std::chrono::steady_clock::now();
    form->startgenClick();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(3500));
    ASSERT_EQ(generators.size(), 2u);
    EXPECT_EQ(form->GeneratorWindow, generators[1]->handle()) << "the hung window was taken for the new one";
    EXPECT_EQ(greetings[1].load(), 1);
    EXPECT_EQ(greetings[0].load(), 1) << "the hung generator was greeted again";
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(SearchLink, AGeneratorThatCannotStartIsReportedAndTheDatabaseWindowStartsWithoutWaiting)
{
    form->startgenClick();
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "Ошибка: генератор не запущен!");
    EXPECT_EQ(messages.shown()[0].caption, "XXX");
    EXPECT_EQ(form->GeneratorWindow, 0u);

    const auto t0 = std::chrono::steady_clock::now();
    form->N34->trigger();
    form->N46->trigger();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(500));
    ASSERT_EQ(launches.size(), 3u);
    EXPECT_EQ(launches[1].first, "Base");
    EXPECT_EQ(launches[1].second,
              (std::vector<std::string>{"fromplayer", std::to_string(form->handle()), form->DefBase}));
    EXPECT_EQ(launches[2], launches[1]);
    EXPECT_EQ(form->ServerWindow, 0u);
    EXPECT_EQ(messages.shown().size(), 1u);
}
