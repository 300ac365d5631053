// The generator's window in this process: its class, the ping, the player's greeting, the
// hand-over of a freshly written stack list, and its language.
#include "sorbelttest.h"
#include "tests/common/englishcaptions.h"
#include "media/tag.h"
#include "platform/messageids.h"
#include "tools/Sorbelt/sorbelt.h"
#include "tools/Sorbelt/sorbeltwindow.h"
#include "tools/Sorbelt/stacklist.h"

#include <QPushButton>
#include <QSpinBox>
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <set>

using namespace sorbelt;
using namespace sorbelttest;
using namespace std::chrono_literals;

namespace {

class GeneratorWindow : public ::testing::Test {
protected:
    GeneratorWindow()
    {
        for (int i = 0; i < 30; ++i) {
            const std::string n = std::to_string(i);
            m_rows.push_back(makeRow("Artist " + n, "Title " + n, i % 5 == 0 ? "NO" : "/music/" + n + ".mp3", 60000));
        }
        m_basePath = m_folder.path() + "base.dfs";
        writeDfs(m_basePath, m_rows);
    }

    // What the player would load at the moment the message arrives.
    std::vector<media::TTrackRecord> loadStack() const
    {
        std::vector<media::TTrackRecord> records(100);
        if (!std::filesystem::exists(stackListPath()))
            return {};
        records.resize(static_cast<std::size_t>(media::LoadM3UPlaylist(stackListPath(), records)));
        return records;
    }

    ScopedProgramFolder m_folder;
    std::vector<media::TTrackRecord> m_rows;
    std::string m_basePath;
};

}  // namespace

TEST_F(GeneratorWindow, AnswersThePingAndRemembersOnlyThePlayersGreeting)
{
    TSorbeltWnd window(m_basePath);
    EXPECT_EQ(platform::findWindow("TSorbeltWnd", ""), window.handle());
    EXPECT_EQ(platform::sendMessage(window.handle(), platform::UM_PING, 0, 0), 1000);
    RecordingWindow player("player");
    platform::sendMessage(window.handle(), platform::UM_SEARCH_HELLO, player.handle(), 12);
    EXPECT_EQ(window.playerWindow(), 0u) << "lParam 12 greets the search server, not us";
    platform::sendMessage(window.handle(), platform::UM_SEARCH_HELLO, 0x1'0000'0001LL, 23);
    platform::sendMessage(window.handle(), platform::UM_SEARCH_HELLO, -4, 23);
    EXPECT_EQ(window.playerWindow(), 0u) << "no window handle";
    platform::sendMessage(window.handle(), platform::UM_SEARCH_HELLO, player.handle(), 23);
    EXPECT_EQ(window.playerWindow(), player.handle());
    EXPECT_TRUE(player.received.empty()) << "the greeting is not a request for a list";
    EXPECT_FALSE(std::filesystem::exists(stackListPath()));
}

TEST_F(GeneratorWindow, AClickWritesTheListThenTellsThePlayerToReplaceItsMainList)
{
    TSorbeltWnd window(m_basePath);
    window.findChild<QSpinBox*>("seTrackCount")->setValue(10);
    RecordingWindow player("player");
    std::vector<media::TTrackRecord> atMessage;
    player.onMessage = [&](const Received&) { atMessage = loadStack(); };
    platform::sendMessage(window.handle(), platform::UM_SEARCH_HELLO, player.handle(), 23);

    auto* button = window.findChild<QPushButton*>("btGenerate");
    ASSERT_NE(button, nullptr);
    button->click();
    ASSERT_EQ(player.received.size(), 1u);
    EXPECT_EQ(player.received[0].msg, platform::UM_LOAD_TEMP_LIST);
    EXPECT_EQ(player.received[0].wParam, 0);
    ASSERT_EQ(atMessage.size(), 10u) << "the list is complete before the player hears of it";
    std::set<std::string> names;
    for (const auto& record : atMessage) {
        EXPECT_NE(record.FileName.str(), "NO");
        EXPECT_EQ(record.FileName.str().rfind("/music/", 0), 0u);
        names.insert(record.FileName.str());
    }
    EXPECT_EQ(names.size(), 10u);

    // The remote "click" of another program does the same, after its send has returned.
    platform::sendMessage(window.handle(), kWmCommand, kGenerateButtonId, 0);
    EXPECT_EQ(player.received.size(), 1u);
    ASSERT_TRUE(pumpUntil([&] { return player.received.size() == 2; }, 2s));
    EXPECT_EQ(player.received[1].wParam, 0);
    platform::sendMessage(window.handle(), kWmCommand, kGenerateButtonId + 1, 0);
    pumpUntil([] { return false; }, 100ms);
    EXPECT_EQ(player.received.size(), 2u) << "another control's id is not the generate button";
}

TEST_F(GeneratorWindow, NoBaseOrNoPlayableRowNeverEmptiesThePlayersList)
{
    RecordingWindow player("player");
    for (const std::string& base : {std::string(), m_folder.path() + "missing.dfs"}) {
        TSorbeltWnd window(base);
        platform::sendMessage(window.handle(), platform::UM_SEARCH_HELLO, player.handle(), 23);
        EXPECT_FALSE(window.generateStackList());
    }
    const std::string deletedOnly = m_folder.path() + "deleted.dfs";
    writeDfs(deletedOnly, {makeRow("A", "T", "NO", 1000), makeRow("B", "U", "NO", 1000)}, 200);
    TSorbeltWnd window(deletedOnly);
    platform::sendMessage(window.handle(), platform::UM_SEARCH_HELLO, player.handle(), 23);
    EXPECT_FALSE(window.generateStackList());
    EXPECT_TRUE(player.received.empty());
    EXPECT_FALSE(std::filesystem::exists(stackListPath()));
}

TEST_F(GeneratorWindow, WithoutAPlayerTheListIsStillWrittenAndAGonePlayerIsForgotten)
{
    TSorbeltWnd window(m_basePath);
    EXPECT_FALSE(window.generateStackList());
    EXPECT_EQ(loadStack().size(), 20u) << "the default number of tracks";

    auto player = std::make_unique<RecordingWindow>("player");
    platform::sendMessage(window.handle(), platform::UM_SEARCH_HELLO, player->handle(), 23);
    player.reset();
    EXPECT_FALSE(window.generateStackList());
    EXPECT_EQ(window.playerWindow(), 0u);
}

TEST_F(GeneratorWindow, SpeaksTheLanguageThePlayersOperatorChose)
{
    std::filesystem::copy(std::string(QV_BIN_DIR) + "/Lang", m_folder.path() + "Lang",
                          std::filesystem::copy_options::recursive);
    for (const std::string language : {"Ru", "En"}) {
        std::ofstream(m_folder.path() + "system.ini") << "[Options]\nLangDir=" << language << "\n";
        auto other = language == "Ru" ? testcaptions::EnglishCaptions : testcaptions::RussianCaptions;
        std::set<std::string> foreign;
        // The path of the base is the operator's, in no language.
        auto read = [&](QWidget& w) {
            for (const std::string& text : other(&w, false))
                if (text.find(m_folder.path()) == std::string::npos)
                    foreign.insert(text);
        };
        // Every state the window tells: no base, no player, a player, a list handed over or not.
        TSorbeltWnd noBase("");
        read(noBase);
        noBase.generateStackList();
        read(noBase);
        TSorbeltWnd window(m_basePath);
        window.generateStackList();
        read(window);
        RecordingWindow player("player");
        platform::sendMessage(window.handle(), platform::UM_SEARCH_HELLO, player.handle(), 23);
        read(window);
        window.generateStackList();
        read(window);
        EXPECT_EQ(foreign, std::set<std::string>{}) << language;
    }
}
