// Real-time scheduling of an output thread, falling back quietly.
#include "audiolib/realtime.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>

#include <algorithm>

namespace audiolib {

namespace {
// Above a sound server's own threads (PulseAudio asks for 5), far below the kernel's.
constexpr int kOutputPriority = 10;
}  // namespace

bool raiseThreadToRealtime()
{
    int priority = std::min(kOutputPriority, sched_get_priority_max(SCHED_FIFO));
    // An unprivileged user may go up to its limit; a privileged one has no limit to keep to.
    rlimit limit{};
    if (getrlimit(RLIMIT_RTPRIO, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur > 0)
        priority = std::min(priority, static_cast<int>(limit.rlim_cur));
    sched_param param{};
    param.sched_priority = std::max(priority, sched_get_priority_min(SCHED_FIFO));
    return pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
}

}  // namespace audiolib
