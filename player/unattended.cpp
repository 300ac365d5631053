// Held boxes at the start, logged boxes at the end, and the deadline of an end by signal.
#include "player/unattended.h"

#include "platform/programfolder.h"

#include <QTimer>

#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

namespace player {

namespace {

// Filled once before any signal; the handlers only read them.
char g_logPath[4096];
constexpr char kGaveUp[] = "player: the end took too long; ending without finishing it\n";

void onExitDeadline(int)
{
    [[maybe_unused]] ssize_t n = ::write(STDERR_FILENO, kGaveUp, sizeof kGaveUp - 1);
    if (g_logPath[0] != '\0') {
        const int fd = ::open(g_logPath, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (fd >= 0) {
            n = ::write(fd, kGaveUp, sizeof kGaveUp - 1);
            ::close(fd);
        }
    }
    ::_exit(0);
}

}  // namespace

std::string PlayerLogPath()
{
    return platform::programPath("player.log");
}

StartupMessages::StartupMessages() : m_previous(platform::userMessages()), m_held(m_previous)
{
    platform::setUserMessages(&m_held);
}

StartupMessages::~StartupMessages()
{
    if (m_holding)
        platform::setUserMessages(&m_previous);
}

void StartupMessages::release()
{
    if (!m_holding)
        return;
    m_holding = false;
    platform::setUserMessages(&m_previous);
    // From the message loop: the window paints first, and a box never sits in the middle of the
    // start. Each one is still shown through the service in force then.
    for (platform::HeldUserMessages::Held& box : m_held.takeHeld())
        QTimer::singleShot(0, [box = std::move(box)] { platform::messageBox(box.text, box.caption, box.flags); });
}

ShutdownMessages::ShutdownMessages() : m_previous(platform::userMessages()), m_logged(PlayerLogPath())
{
    platform::setUserMessages(&m_logged);
}

ShutdownMessages::~ShutdownMessages()
{
    platform::setUserMessages(&m_previous);
}

void InstallExitDeadline()
{
    const std::string log = PlayerLogPath();
    if (log.size() < sizeof g_logPath)
        std::memcpy(g_logPath, log.c_str(), log.size() + 1);
    struct sigaction action {};
    action.sa_handler = onExitDeadline;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGALRM, &action, nullptr);
}

void ArmExitDeadline()
{
    itimerval timer{};
    timer.it_value.tv_sec = kExitDeadline.count() / 1000;
    timer.it_value.tv_usec = (kExitDeadline.count() % 1000) * 1000;
    ::setitimer(ITIMER_REAL, &timer, nullptr);
}

}  // namespace player
