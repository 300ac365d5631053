// The database program's abort flag: set by a progress window's Cancel (or its closing), polled by
// the long passes between items.
#pragma once

#include <atomic>

namespace database {

extern std::atomic<bool> AbortFlag;

}  // namespace database
