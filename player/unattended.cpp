// Held boxes at the start and logged boxes at the end.
#include "player/unattended.h"

#include "platform/programfolder.h"

#include <QTimer>

namespace player {

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

}  // namespace player
