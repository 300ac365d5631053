// Switching the program's boxes to the log and back.
#include "database/unseenboxes.h"

#include "platform/programfolder.h"
#include "platform/unattendedmessages.h"

#include <memory>

namespace database {

namespace {

// One log for the whole program however many windows want it (tests run several at once, and
// they need not end in the order they began).
struct Logged {
    int users = 0;
    platform::UserMessages* before = nullptr;
    std::unique_ptr<platform::LoggedUserMessages> service;
};

Logged& logged()
{
    static Logged l;
    return l;
}

}  // namespace

std::string BaseLogPath() { return platform::programPath("Base.log"); }

void UnseenBoxes::set(bool on)
{
    if (on == m_on)
        return;
    m_on = on;
    Logged& l = logged();
    if (on && l.users++ == 0) {
        l.before = &platform::userMessages();
        l.service = std::make_unique<platform::LoggedUserMessages>(BaseLogPath());
        platform::setUserMessages(l.service.get());
    } else if (!on && --l.users == 0) {
        // Unless someone has put a service of their own in force meanwhile.
        if (&platform::userMessages() == l.service.get())
            platform::setUserMessages(l.before);
        l.service.reset();
    }
}

}  // namespace database
