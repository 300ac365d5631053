// The signal handlers, the wake-up of the event loop through a socket pair, and the deadline.
#include "database/exitsignal.h"

#include "database/unseenboxes.h"

#include <QSocketNotifier>

#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace database {

namespace {

// Filled before the handlers are installed; the handlers only read them.
int g_wake[2] = {-1, -1};
char g_logPath[4096];
struct sigaction g_previous[3];
constexpr int kSignals[3] = {SIGTERM, SIGHUP, SIGALRM};
constexpr char kGaveUp[] = "Base: the end took too long; ending without finishing it\n";

void onDeadline(int)
{
    [[maybe_unused]] ssize_t n = ::write(STDERR_FILENO, kGaveUp, sizeof kGaveUp - 1);
    const int fd = ::open(g_logPath, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0) {
        n = ::write(fd, kGaveUp, sizeof kGaveUp - 1);
        ::close(fd);
    }
    ::_exit(0);
}

void setDeadline(std::chrono::milliseconds ms)
{
    itimerval timer{};
    timer.it_value.tv_sec = static_cast<time_t>(ms.count() / 1000);
    timer.it_value.tv_usec = static_cast<suseconds_t>((ms.count() % 1000) * 1000);
    ::setitimer(ITIMER_REAL, &timer, nullptr);
}

void onEndSignal(int)
{
    setDeadline(kExitDeadline);
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_wake[1], &byte, 1);
}

}  // namespace

ExitOnSignal::ExitOnSignal(std::function<void()> exit) : m_exit(std::move(exit))
{
    if (g_wake[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_wake) != 0)
        return;
    const std::string log = BaseLogPath();
    std::strncpy(g_logPath, log.c_str(), sizeof g_logPath - 1);
    m_notifier = std::make_unique<QSocketNotifier>(g_wake[0], QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] {
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(g_wake[0], &byte, 1);
        m_notifier->setEnabled(false);
        if (m_exit)
            m_exit();
    });
    for (int i = 0; i < 3; ++i) {
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
    setDeadline(std::chrono::milliseconds(0));
    for (int i = 0; i < 3; ++i)
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
    m_notifier.reset();
    ::close(g_wake[0]);
    ::close(g_wake[1]);
    g_wake[0] = g_wake[1] = -1;
}

}  // namespace database
