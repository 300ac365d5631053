// Helpers of the cross-process tests and the benchmark: a window with a handler function, peer
// processes (this executable re-run with "--peer"), and the message numbers the peer knows.
#pragma once

#include "platform/window.h"

#include <QByteArray>
#include <QProcess>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace ipctest {

using platform::LParam;
using platform::LResult;
using platform::WindowHandle;
using platform::WParam;

// Messages the peer's window understands.
enum PeerMessage : std::uint32_t {
    kAdd = 0x500,       // returns wParam + lParam
    kSlowAdd,           // waits 100 ms, then returns wParam + lParam
    kKick,              // posted: sends kSlowEcho(7) to window wParam, posts kResult(answer) back
    kCallback,          // sends kEcho(lParam) to window wParam, returns its answer + 1
    kHang,              // blocks lParam ms, then returns 1
    kRename,            // caption becomes "renamed-<wParam>"
    kPostMany,          // posts kResult(i) to window wParam for i = 0..lParam-1 from a worker thread
    kQuit,
    kEcho,              // (test side) returns wParam * 10
    kSlowEcho,          // (test side) waits 100 ms, returns wParam * 10
    kResult,            // (test side) a posted result
};

class FunctionWindow : public platform::MessageWindow {
public:
    using Handler = std::function<LResult(std::uint32_t, WParam, LParam)>;
    FunctionWindow(std::string className, std::string caption, Handler handler)
        : MessageWindow(std::move(className), std::move(caption)), m_handler(std::move(handler))
    {
    }

protected:
    LResult windowProc(std::uint32_t msg, WParam wParam, LParam lParam) override
    {
        return m_handler ? m_handler(msg, wParam, lParam) : 0;
    }

private:
    Handler m_handler;
};

// This executable started again as a peer. The peer prints "READY <value>" once set up.
class PeerProcess {
public:
    PeerProcess() = default;
    ~PeerProcess();
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    bool start(const QStringList& arguments);
    const QByteArray& readyValue() const { return m_ready; }
    qint64 pid() const;
    void writeLine(const QByteArray& line);
    QByteArray readLine(int timeoutMs);
    void killHard();  // SIGKILL, then reaps it
    bool waitFinished(int timeoutMs);

private:
    std::unique_ptr<QProcess> m_process;
    QByteArray m_ready;
};

// A raw stream socket connected to a listening socket path (a program's message socket); -1 on failure.
int connectTo(const std::string& path);

// Runs the loop of Qt events until done() or the time-out; true when done() became true.
bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

// The peer side; argv[1] is "--peer".
int runPeer(int argc, char** argv);

// Deterministic bytes for shared-memory checks.
void fillPattern(unsigned char* data, std::size_t size, std::uint32_t seed);
// Offset of the first byte that differs from the pattern, or size when all match.
std::size_t checkPattern(const unsigned char* data, std::size_t size, std::uint32_t seed);

}  // namespace ipctest
