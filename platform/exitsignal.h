// The end of a program asked for from outside (SIGTERM, SIGHUP, SIGINT: a shutdown, a service
// manager, Ctrl+C in its terminal): the program's own exit runs from its message loop, and the
// process is over within a deadline whatever hangs on the way.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

class QSocketNotifier;

namespace platform {

// While it lives, SIGTERM, SIGHUP and SIGINT start the deadline and run `exit` once, on the thread
// that made this object, from its event loop. When the deadline passes, "<program>: the end took
// too long..." goes to the error output and to logPath, and the process ends. One at a time; needs
// a QCoreApplication. Its end puts back the handlers it replaced and stops a deadline that was
// started.
class ExitOnSignal {
public:
    ExitOnSignal(std::chrono::milliseconds deadline, const std::string& logPath, const std::string& program,
                 std::function<void()> exit);
    ~ExitOnSignal();
    ExitOnSignal(const ExitOnSignal&) = delete;
    ExitOnSignal& operator=(const ExitOnSignal&) = delete;

private:
    std::function<void()> m_exit;
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_installed = false;
};

}  // namespace platform
