// The jingles without a window: menu captions, the decks' lowering as one state whatever order
// the windows come and go in, and jingle list files.
#include "player/jingles/jingleslots.h"

#include "tests/player/playerfixtures.h"

#include <gtest/gtest.h>

using namespace player;

namespace {

TEST(JingleSlots, MenuCaptionsShowTheSlotAndItsPath)
{
    EXPECT_EQ(jingleMenuCaption(3, "D:\\Jingles\\news.mp3"), "3 D:\\Jingles\\news.mp3");
    EXPECT_EQ(jingleMenuCaption(9, ""), "9");
    EXPECT_EQ(jingleMenuCaption(1, "/j/Rock & Roll.mp3"), "1 /j/Rock && Roll.mp3");
}

TEST(JingleSlots, TheFirstWindowLowersTheDecksAndTheLastBringsThemBack)
{
    JingleDucking d;
    EXPECT_EQ(d.opened(50), 50);
    EXPECT_EQ(d.opened(50), std::nullopt);
    EXPECT_EQ(d.closed(), std::nullopt) << "raised while a jingle still plays";
    EXPECT_TRUE(d.ducked());
    EXPECT_EQ(d.closed(), 100);
    EXPECT_FALSE(d.ducked());
    EXPECT_EQ(d.openWindows(), 0);
    // The level in force when the last one closes does not matter: the decks come back up.
    EXPECT_EQ(d.opened(30), 30);
    EXPECT_EQ(d.opened(100), std::nullopt);
    EXPECT_EQ(d.closed(), std::nullopt);
    EXPECT_EQ(d.closed(), 100);
    // At 100 nothing is touched, until a window opens while the level is lower.
    EXPECT_EQ(d.opened(100), std::nullopt);
    EXPECT_EQ(d.opened(60), 60);
    EXPECT_EQ(d.closed(), std::nullopt);
    EXPECT_EQ(d.closed(), 100);
    EXPECT_EQ(d.opened(100), std::nullopt);
    EXPECT_EQ(d.closed(), std::nullopt);
    // More closes than opens never go below zero or raise twice.
    EXPECT_EQ(d.closed(), std::nullopt);
    EXPECT_EQ(d.openWindows(), 0);
}

TEST(JingleSlots, AJingleListFileKeepsTheNinePaths)
{
    playertest::TempDir dir;
    std::array<QString, 9> paths;
    paths[0] = "/j/one.mp3";
    paths[4] = QString::fromUtf8("/j/пять.wav");
    paths[8] = "/j/nine.ogg";
    const std::string file = dir.path() + "/set.lst";
    ASSERT_TRUE(writeJingleList(file, paths));
    EXPECT_EQ(readJingleList(file), paths);
    EXPECT_EQ(readJingleList(dir.path() + "/missing.lst"), (std::array<QString, 9>{}));
    const std::string junk = dir.write("junk.lst", std::string("\x01\xff\0\n[Jingles]\nPath3=/x.mp3\nPath99=/y.mp3\nPath", 45));
    const std::array<QString, 9> read = readJingleList(junk);
    EXPECT_EQ(read[2], "/x.mp3");
}

}  // namespace
