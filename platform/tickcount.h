// Milliseconds since an arbitrary fixed point (the system's start), from the monotonic clock: the
// up-time and elapsed-time source of the programs. 64-bit, so it never wraps in a run.
#pragma once

#include <cstdint>

namespace platform {

std::int64_t tickCount64();

}  // namespace platform
