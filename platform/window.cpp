// Window handles and messages: registration of message windows, and the public post, send, find
// and enumerate calls on top of the process's message hub.
#include "platform/window.h"

#include "platform/ipc_dispatcher.h"
#include "platform/ipc_hub.h"
#include "platform/ipc_registry.h"

#include <QtGlobal>

#include <mutex>

#include <unistd.h>

namespace platform {

struct MessageWindow::Impl {
    WindowHandle handle = 0;
    std::string className;
    std::shared_ptr<ipc::ThreadContext> context;
    mutable std::mutex mutex;  // caption, registered, the record file
    std::string caption;
    bool registered = true;
    std::uint64_t startTime = 0;

    void writeRecord() const  // mutex held
    {
        ipc::WindowRecord record;
        record.handle = handle;
        record.pid = getpid();
        record.startTime = startTime;
        record.className = className;
        record.caption = caption;
        record.hidden = !registered;
        if (!ipc::writeWindowRecord(record))
            qWarning("window %u: cannot write its registry entry; other programs will not find it", handle);
    }
};

MessageWindow::MessageWindow(std::string className, std::string caption) : m_impl(std::make_unique<Impl>())
{
    auto context = ipc::currentThreadContext();
    {
        std::lock_guard lock(context->mutex);
        if (!context->dispatcher)
            context->dispatcher = new MessageDispatcher(context);
    }
    ++context->windowCount;
    m_impl->context = context;
    m_impl->className = std::move(className);
    m_impl->caption = std::move(caption);
    m_impl->startTime = ipc::processStartTime(getpid());
    m_impl->handle = ipc::allocateHandle();
    ipc::Hub::instance().addWindow(m_impl->handle, this, context);
    std::lock_guard lock(m_impl->mutex);
    m_impl->writeRecord();
}

MessageWindow::~MessageWindow()
{
    ipc::Hub::instance().removeWindow(m_impl->handle);
    ipc::removeWindowRecord(m_impl->handle);
    auto& context = *m_impl->context;
    if (--context.windowCount == 0) {
        QObject* dispatcher = nullptr;
        {
            std::lock_guard lock(context.mutex);
            dispatcher = context.dispatcher;
            context.dispatcher = nullptr;
        }
        // Inside the dispatcher's own event handler (a window closing itself) it must outlive
        // the handler; otherwise deleting it at once also drops its queued events.
        if (context.dispatchDepth > 0 || context.thread != std::this_thread::get_id())
            dispatcher->deleteLater();
        else
            delete dispatcher;
    }
}

WindowHandle MessageWindow::handle() const
{
    return m_impl->handle;
}

std::string MessageWindow::className() const
{
    return m_impl->className;
}

std::string MessageWindow::caption() const
{
    std::lock_guard lock(m_impl->mutex);
    return m_impl->caption;
}

void MessageWindow::setCaption(std::string caption)
{
    std::lock_guard lock(m_impl->mutex);
    // The record is a file other programs read: rewritten only when it changes.
    if (caption == m_impl->caption)
        return;
    m_impl->caption = std::move(caption);
    m_impl->writeRecord();
}

void MessageWindow::unregisterWindow()
{
    std::lock_guard lock(m_impl->mutex);
    if (!m_impl->registered)
        return;
    m_impl->registered = false;
    // The record stays, marked hidden, so that programs holding the handle still reach it.
    m_impl->writeRecord();
}

bool postMessage(WindowHandle window, std::uint32_t msg, WParam wParam, LParam lParam)
{
    return ipc::Hub::instance().postMessage(window, msg, wParam, lParam);
}

LResult sendMessage(WindowHandle window, std::uint32_t msg, WParam wParam, LParam lParam)
{
    LResult result = 0;
    ipc::Hub::instance().sendMessage(window, msg, wParam, lParam, &result, kSendTimeout);
    return result;
}

SendStatus sendMessageEx(WindowHandle window, std::uint32_t msg, WParam wParam, LParam lParam, LResult* result,
                         std::chrono::milliseconds timeout)
{
    LResult ignored = 0;
    return ipc::Hub::instance().sendMessage(window, msg, wParam, lParam, result ? result : &ignored, timeout);
}

std::vector<WindowInfo> enumWindows()
{
    std::vector<WindowInfo> windows;
    for (auto& record : ipc::readLiveWindowRecords())
        windows.push_back({record.handle, std::move(record.className), std::move(record.caption), record.pid});
    return windows;
}

WindowHandle findWindow(std::string_view className, std::string_view caption)
{
    for (const auto& record : ipc::readLiveWindowRecords()) {
        if ((className.empty() || record.className == className) && (caption.empty() || record.caption == caption))
            return record.handle;
    }
    return 0;
}

bool isWindow(WindowHandle window)
{
    if (window == 0)
        return false;
    if (ipc::Hub::instance().isLocalWindow(window))
        return true;
    const auto record = ipc::readWindowRecord(window);
    return record && record->pid != getpid() && ipc::processAlive(record->pid, record->startTime);
}

}  // namespace platform
