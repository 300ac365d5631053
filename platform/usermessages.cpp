// The user-message service in force and the helpers every implementation shares.
#include "platform/usermessages.h"

#include "platform/usermessagesqt.h"

#include <atomic>

namespace platform {

namespace {

std::atomic<UserMessages*> g_service{nullptr};

UserMessages& qtService()
{
    static QtUserMessages service;
    return service;
}

}  // namespace

UserMessages& userMessages()
{
    UserMessages* s = g_service.load(std::memory_order_acquire);
    return s ? *s : qtService();
}

void setUserMessages(UserMessages* service) { g_service.store(service, std::memory_order_release); }

int messageBox(const std::string& text, const std::string& caption, unsigned flags)
{
    return userMessages().messageBox(text, caption, flags);
}

std::string toDisplayLineBreaks(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            out += text[i];
            continue;
        }
        out += '\n';
        if (i + 1 < text.size() && (text[i + 1] == '\n' || text[i + 1] == '\r'))
            ++i;
    }
    return out;
}

}  // namespace platform
