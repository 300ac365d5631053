// Every playlist command grows at most as n log n with the list: ten times the rows take far less
// than a hundred times as long, as a command that redid whole-list work for each row would.
#include "editharness.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

// n log n from 1,000 to 10,000 rows is about 13; a square is 100.
constexpr double kMaxGrowth = 40.0;
constexpr int kRepeats = 5;

std::map<std::string, double> timeAll(int rows)
{
    edittest::EditWindow window(rows);
    std::map<std::string, double> seconds;
    for (const edittest::Operation& op : edittest::operations())
        seconds[op.name] = edittest::timeOperation(window, op, kRepeats);
    return seconds;
}

}  // namespace

TEST(EditGrowth, TenTimesTheRowsTakeFarLessThanAHundredTimesAsLong)
{
    const std::map<std::string, double> small = timeAll(1000);
    const std::map<std::string, double> large = timeAll(10000);
    for (const auto& [name, a] : small) {
        const double b = large.at(name);
        EXPECT_LT(b / a, kMaxGrowth) << name << ": " << a * 1000 << " ms at 1,000 rows, " << b * 1000
                                     << " ms at 10,000";
    }
}
