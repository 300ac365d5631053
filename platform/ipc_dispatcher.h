// The object on a window-owning thread that receives queued window messages as Qt events and
// hands them to the windows; the only caller of MessageWindow::windowProc.
#pragma once

#include "platform/window.h"

#include <QObject>

#include <cstdint>
#include <memory>

namespace platform {

namespace ipc {
struct ThreadContext;
}

class MessageDispatcher : public QObject {
    Q_OBJECT
public:
    explicit MessageDispatcher(std::weak_ptr<ipc::ThreadContext> context);

    // Thread-safe: queue a posted message, or a wake-up that serves the queued sends.
    static void postMessageEvent(QObject* dispatcher, WindowHandle window, std::uint32_t msg, WParam wParam,
                                 LParam lParam);
    static void postWake(QObject* dispatcher);

    static LResult deliver(MessageWindow* window, std::uint32_t msg, WParam wParam, LParam lParam);

protected:
    bool event(QEvent* event) override;

private:
    std::weak_ptr<ipc::ThreadContext> m_context;
};

}  // namespace platform
