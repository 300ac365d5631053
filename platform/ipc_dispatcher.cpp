// Delivery of queued window messages on the owner thread.
#include "platform/ipc_dispatcher.h"

#include "platform/ipc_hub.h"

#include <QCoreApplication>
#include <QEvent>

namespace platform {

namespace {

const QEvent::Type kPostedType = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type kWakeType = static_cast<QEvent::Type>(QEvent::registerEventType());

struct PostedMessageEvent : QEvent {
    PostedMessageEvent(WindowHandle w, std::uint32_t m, WParam wp, LParam lp)
        : QEvent(kPostedType), window(w), msg(m), wParam(wp), lParam(lp)
    {
    }
    WindowHandle window;
    std::uint32_t msg;
    WParam wParam;
    LParam lParam;
};

}  // namespace

MessageDispatcher::MessageDispatcher(std::weak_ptr<ipc::ThreadContext> context) : m_context(std::move(context)) {}

void MessageDispatcher::postMessageEvent(QObject* dispatcher, WindowHandle window, std::uint32_t msg, WParam wParam,
                                         LParam lParam)
{
    QCoreApplication::postEvent(dispatcher, new PostedMessageEvent(window, msg, wParam, lParam));
}

void MessageDispatcher::postWake(QObject* dispatcher)
{
    // Sent messages go before the posted ones already waiting, as they would on Windows.
    QCoreApplication::postEvent(dispatcher, new QEvent(kWakeType), Qt::HighEventPriority);
}

LResult MessageDispatcher::deliver(MessageWindow* window, std::uint32_t msg, WParam wParam, LParam lParam)
{
    return window->windowProc(msg, wParam, lParam);
}

bool MessageDispatcher::event(QEvent* event)
{
    const auto type = event->type();
    if (type != kPostedType && type != kWakeType)
        return QObject::event(event);
    auto context = m_context.lock();
    if (!context)
        return true;
    ++context->dispatchDepth;
    if (type == kPostedType) {
        const auto* posted = static_cast<PostedMessageEvent*>(event);
        ipc::Hub::instance().deliverPosted(posted->window, posted->msg, posted->wParam, posted->lParam);
    } else {
        ipc::Hub::instance().serveQueuedSends(context);
    }
    --context->dispatchDepth;
    return true;
}

}  // namespace platform
