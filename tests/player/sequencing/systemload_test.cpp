// The memory figure read from /proc/meminfo text, which is read as untrusted bytes.
#include "player/sequencing/systemload.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

TEST(MemInfoTest, ReadsTotalAndAvailable)
{
    std::uint64_t available = 0;
    std::uint64_t total = 0;
    const std::string text = "MemTotal:       16000000 kB\nMemFree:         1000000 kB\n"
                             "MemAvailable:    4000000 kB\nBuffers:          200 kB\n";
    ASSERT_TRUE(player::parseMemInfo(text, available, total));
    EXPECT_EQ(total, 16000000ull * 1024);
    EXPECT_EQ(available, 4000000ull * 1024);
    // The last line may lack its line feed.
    ASSERT_TRUE(player::parseMemInfo("MemAvailable: 5 kB\nMemTotal: 10 kB", available, total));
    EXPECT_EQ(available, 5120u);
    EXPECT_EQ(total, 10240u);
    // More available than there is (a racing read) counts as nothing in use.
    ASSERT_TRUE(player::parseMemInfo("MemTotal: 10 kB\nMemAvailable: 12 kB\n", available, total));
    EXPECT_EQ(available, total);
}

TEST(MemInfoTest, RefusesMissingOrBrokenValues)
{
    std::uint64_t available = 7;
    std::uint64_t total = 9;
    EXPECT_FALSE(player::parseMemInfo("MemTotal: 10 kB\nMemFree: 3 kB\n", available, total));
    EXPECT_FALSE(player::parseMemInfo("MemTotal: x kB\nMemAvailable: 3 kB\n", available, total));
    EXPECT_FALSE(player::parseMemInfo("MemTotal:\nMemAvailable: 3 kB\n", available, total));
    EXPECT_FALSE(player::parseMemInfo("MemTotals: 10 kB\nMemAvailable: 3 kB\n", available, total));
    EXPECT_FALSE(player::parseMemInfo("MemTotal: 99999999999999999999999 kB\nMemAvailable: 3 kB\n", available, total));
    EXPECT_FALSE(player::parseMemInfo("MemTotal: 10 kB\nMemAvail", available, total)) << "cut off mid-key";
    EXPECT_FALSE(player::parseMemInfo("", available, total));
    EXPECT_EQ(available, 7u) << "a refused text leaves the outputs alone";
    EXPECT_EQ(total, 9u);

    // Random bytes and every cut of a good text: no crash, no read past the end.
    const std::string good = "MemTotal: 2048 kB\nMemAvailable: 1024 kB\n";
    for (std::size_t n = 0; n <= good.size(); ++n)
        player::parseMemInfo(std::string_view(good).substr(0, n), available, total);
    std::mt19937 random(7);
    for (int i = 0; i < 2000; ++i) {
        std::string junk(static_cast<std::size_t>(random() % 64), '\0');
        for (char& c : junk)
            c = static_cast<char>(random() % 256);
        player::parseMemInfo(junk, available, total);
    }
    EXPECT_GE(player::physicalMemoryUsedPercent(), 0.0);
    EXPECT_LE(player::physicalMemoryUsedPercent(), 100.0);
}

}  // namespace
