// The end of the database program asked for from outside (SIGTERM, SIGHUP: a shutdown, a service
// manager): the program's Exit runs from the message loop, and the process is over within
// kExitDeadline whatever hangs on the way.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace database {

// Long enough for the save of a large base, which the end may have to make.
inline constexpr std::chrono::milliseconds kExitDeadline{5000};

// While it lives, SIGTERM and SIGHUP start the deadline and run `exit` once, on the thread that
// made this object, from its event loop. One at a time; needs a QCoreApplication. Its end puts
// back the handlers it replaced and stops a deadline that was started.
class ExitOnSignal {
public:
    explicit ExitOnSignal(std::function<void()> exit);
    ~ExitOnSignal();
    ExitOnSignal(const ExitOnSignal&) = delete;
    ExitOnSignal& operator=(const ExitOnSignal&) = delete;

private:
    std::function<void()> m_exit;
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_installed = false;
};

}  // namespace database
