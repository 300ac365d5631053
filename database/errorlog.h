// The database program's error report: a box naming the failed function, and the same lines with
// the state of the base appended to a text file in the program folder.
#pragma once

#include <string>

namespace database {

struct ErrorLogState {
    std::size_t listCount = 0, list2Count = 0, indexesCount = 0, viewCount = 0;
    std::size_t listCapacity = 0, list2Capacity = 0;
    bool searchEnabled = true;
    std::string BFName;
};

// "<program folder>/Error_Base.txt".
std::string errorLogPath();

void WriteErrorLog(const std::string& functionName, const std::string& message, const ErrorLogState& state);

}  // namespace database
