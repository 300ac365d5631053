// One source of handle numbers for everything the library hands out (streams, effects, DSPs,
// syncs, captures), so that a handle of one kind is never mistaken for another.
#pragma once

#include <cstdint>

namespace audiolib {

// A new non-zero number, never returned before in this process.
std::uint32_t allocateHandle();

}  // namespace audiolib
