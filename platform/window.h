// Window handles and window messages between the windows of this system's programs, in one
// process or across processes: registration by class name and caption, find, enumerate, post, send.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A positive number, unique across the running programs of this system and never reused during
// a run; 0 means "no window". It travels in decimal on command lines.
using WindowHandle = std::uint32_t;
using WParam = std::int64_t;
using LParam = std::int64_t;
using LResult = std::int64_t;

// Anything that receives window messages. Messages are delivered on the thread that constructed
// the object (it must run a Qt event loop). Registration happens in the constructor, and is
// visible to findWindow() of every program of the system at once; the destructor unregisters,
// and messages still queued for it are dropped.
class MessageWindow {
public:
    MessageWindow(std::string className, std::string caption);
    virtual ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    WindowHandle handle() const;
    std::string className() const;
    std::string caption() const;
    void setCaption(std::string caption);  // seen by other programs at once

    // Leaves the cross-process registry (findWindow() no longer finds it) while messages still
    // arrive; for a window that is about to close.
    void unregisterWindow();

protected:
    // Called on the owner thread for every posted or sent message; the result answers a send.
    virtual LResult windowProc(std::uint32_t msg, WParam wParam, LParam lParam) = 0;

private:
    friend class MessageDispatcher;
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

struct WindowInfo {
    WindowHandle handle = 0;
    std::string className;
    std::string caption;
    std::int64_t processId = 0;
};

// Queues the message for the window's thread; callable from any thread. False when the window
// does not exist (or its program is gone).
bool postMessage(WindowHandle window, std::uint32_t msg, WParam wParam, LParam lParam);

enum class SendStatus { Answered, TimedOut, PeerGone };

constexpr std::chrono::milliseconds kSendTimeout{15000};

// Synchronous: returns the handler's result, or 0 when the window is gone or does not answer
// within the time-out. While it waits, the calling thread keeps serving messages *sent* to its
// own windows (not posted ones, not input), so two programs sending to each other never deadlock.
LResult sendMessage(WindowHandle window, std::uint32_t msg, WParam wParam, LParam lParam);

// The same, telling which of answered / timed out / peer gone happened.
SendStatus sendMessageEx(WindowHandle window, std::uint32_t msg, WParam wParam, LParam lParam,
                         LResult* result, std::chrono::milliseconds timeout = kSendTimeout);

// Either text may be empty, meaning "any". Exact match of both texts otherwise; of several
// matching windows the one registered first.
WindowHandle findWindow(std::string_view className, std::string_view caption);
std::vector<WindowInfo> enumWindows();
bool isWindow(WindowHandle window);

}  // namespace platform
