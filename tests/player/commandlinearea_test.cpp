// The command-line hand-over area: both arguments, cuts and damaged contents.
#include "player/commandlinearea.h"

#include <gtest/gtest.h>

#include <array>

using namespace player;

class CommandLineArea : public ::testing::Test {
protected:
    std::array<char, kCommandLineAreaSize> area{};
};

TEST_F(CommandLineArea, ShorterArgumentsReadBackWithoutTheOldTail)
{
    WriteCommandLineArea(area.data(), area.size(), "file", "/music/a very long name.mp3");
    WriteCommandLineArea(area.data(), area.size(), "list", "/b.m3u");
    const auto [first, second] = ReadCommandLineArea(area.data(), area.size());
    EXPECT_EQ(first, "list");
    EXPECT_EQ(second, "/b.m3u");
}

TEST_F(CommandLineArea, ArgumentsThatDoNotFitArriveMarkedAsCut)
{
    const std::string fits(kMaxArgBytes, 'f');
    WriteCommandLineArea(area.data(), area.size(), fits, fits);
    const auto [a, b] = ReadCommandLineArea(area.data(), area.size());
    EXPECT_EQ(a, fits);
    EXPECT_EQ(b, fits);
    EXPECT_FALSE(ArgumentWasCut(b));

    const std::string path = "/" + std::string(700, 'x');
    WriteCommandLineArea(area.data(), area.size(), "file", path);
    const auto [first, second] = ReadCommandLineArea(area.data(), area.size());
    EXPECT_EQ(first, "file");
    EXPECT_TRUE(ArgumentWasCut(second));
    EXPECT_EQ(second, path.substr(0, second.size()));
}

TEST_F(CommandLineArea, NeverReadsPastTheArea)
{
    area.fill('x');  // no zero byte anywhere
    const auto [first, second] = ReadCommandLineArea(area.data(), area.size());
    EXPECT_EQ(first.size(), kSecondArgOffset);
    EXPECT_EQ(second.size(), kCommandLineAreaSize - kSecondArgOffset);
    const auto [a, b] = ReadCommandLineArea(area.data(), 100);
    EXPECT_EQ(a.size(), 100u);
    EXPECT_TRUE(b.empty());
}
