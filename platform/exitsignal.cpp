// The signal handlers, the wake-up of the event loop through a socket pair, and the deadline.
#include "platform/exitsignal.h"

#include <QSocketNotifier>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iterator>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace platform {

namespace {

// Filled before the handlers are installed; the handlers only read them.
int g_wake[2] = {-1, -1};
char g_logPath[4096];
char g_gaveUp[256];
std::size_t g_gaveUpLength = 0;
itimerval g_deadline{};
// Set by the first end signal: a second SIGTERM does not put the deadline off again.
volatile std::sig_atomic_t g_armed = 0;
// SIGINT is Ctrl+C in the terminal the program was started from: an end like any other, which
// saves what the session holds.
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT, SIGALRM};
constexpr int kSignalCount = static_cast<int>(std::size(kSignals));
struct sigaction g_previous[kSignalCount];

void onDeadline(int)
{
    [[maybe_unused]] ssize_t n = ::write(STDERR_FILENO, g_gaveUp, g_gaveUpLength);
    if (g_logPath[0] != '\0') {
        const int fd = ::open(g_logPath, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (fd >= 0) {
            n = ::write(fd, g_gaveUp, g_gaveUpLength);
            ::close(fd);
        }
    }
    ::_exit(0);
}

void onEndSignal(int)
{
    if (g_armed == 0) {
        g_armed = 1;
        ::setitimer(ITIMER_REAL, &g_deadline, nullptr);
    }
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_wake[1], &byte, 1);
}

}  // namespace

ExitOnSignal::ExitOnSignal(std::chrono::milliseconds deadline, const std::string& logPath, const std::string& program,
                           std::function<void()> exit)
    : m_exit(std::move(exit))
{
    if (g_wake[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_wake) != 0)
        return;
    g_logPath[0] = '\0';
    if (logPath.size() < sizeof g_logPath)
        std::memcpy(g_logPath, logPath.c_str(), logPath.size() + 1);
    const int length = std::snprintf(g_gaveUp, sizeof g_gaveUp, "%s: the end took too long; ending without finishing it\n",
                                     program.c_str());
    g_gaveUpLength = length < 0 ? 0 : std::min(static_cast<std::size_t>(length), sizeof g_gaveUp - 1);
    g_armed = 0;
    g_deadline = {};
    g_deadline.it_value.tv_sec = static_cast<time_t>(deadline.count() / 1000);
    g_deadline.it_value.tv_usec = static_cast<suseconds_t>((deadline.count() % 1000) * 1000);
    m_notifier = std::make_unique<QSocketNotifier>(g_wake[0], QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] {
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(g_wake[0], &byte, 1);
        m_notifier->setEnabled(false);
        if (m_exit)
            m_exit();
    });
    for (int i = 0; i < kSignalCount; ++i) {
        struct sigaction action {};
        action.sa_handler = kSignals[i] == SIGALRM ? onDeadline : onEndSignal;
        sigemptyset(&action.sa_mask);
        ::sigaction(kSignals[i], &action, &g_previous[i]);
    }
    m_installed = true;
}

ExitOnSignal::~ExitOnSignal()
{
    if (!m_installed)
        return;
    const itimerval off{};
    ::setitimer(ITIMER_REAL, &off, nullptr);
    for (int i = 0; i < kSignalCount; ++i)
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
    m_notifier.reset();
    ::close(g_wake[0]);
    ::close(g_wake[1]);
    g_wake[0] = g_wake[1] = -1;
}

}  // namespace platform
