// The monotonic millisecond clock.
#include "platform/tickcount.h"

#include <ctime>

namespace platform {

std::int64_t tickCount64()
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

}  // namespace platform
