// Process-wide handle numbers.
#include "audiolib/handles.h"

#include <atomic>

namespace audiolib {

std::uint32_t allocateHandle()
{
    static std::atomic<std::uint32_t> next{0x10001};
    std::uint32_t h = next.fetch_add(1, std::memory_order_relaxed);
    if (h == 0)  // after 4 billion handles; never 0
        h = next.fetch_add(1, std::memory_order_relaxed);
    return h;
}

}  // namespace audiolib
