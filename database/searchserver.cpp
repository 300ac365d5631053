// The database window as the player's search server: the hello that attaches the player and maps
// the shared area, the queries, the ping, show, hide and quit, and the messages kept back while a
// search or a pass is walking the records.
#include "database/basemainwindow.h"

#include "platform/cp1251.h"
#include "platform/messageids.h"
#include "platform/usermessages.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <limits>

namespace database {

platform::LResult TBase_main_window::serverMessage(std::uint32_t msg, platform::WParam wParam,
                                                  platform::LParam lParam)
{
    // A greeting meant for the playlist generator; never kept back, so it cannot replace a real one.
    if (msg == platform::UM_SEARCH_HELLO && lParam != kHelloToServer)
        return 0;
    // After a quit only a query is still answered, at once and with 0: the area is gone.
    if (m_quitting || m_closing) {
        if (msg == platform::UM_SEARCH_QUERY)
            guarded([&] { WMSearchQuery(wParam); });
        return 0;
    }
    // A quit frees no record: it is taken at once, so a restarted player never finds this window.
    if (msg != platform::UM_SEARCH_QUIT && busy()) {
        // A later message of the same kind supersedes the one waiting before it (a query reads
        // slot 0 only when it runs, so the player's latest text is searched either way).
        if (!m_deferred.empty() && m_deferred.back().msg == msg)
            m_deferred.back() = {msg, wParam, lParam};
        else
            m_deferred.push_back({msg, wParam, lParam});
        return 0;
    }
    platform::LResult result = 0;
    guarded([&] {
        switch (msg) {
        case platform::UM_SEARCH_QUIT:
            result = WMSearchQuit();
            break;
        case platform::UM_BASE_SHOW:
            result = WMBaseShow();
            break;
        case platform::UM_BASE_HIDE:
            result = WMBaseHide();
            break;
        case platform::UM_SEARCH_HELLO:
            result = WMSearchHello(wParam, lParam);
            break;
        case platform::UM_SEARCH_QUERY:
            result = WMSearchQuery(wParam);
            break;
        default:
            break;
        }
    });
    return result;
}

void TBase_main_window::scheduleDeferred()
{
    if (m_deferred.empty() || busy() || m_deferredPosted)
        return;
    m_deferredPosted = true;
    // Through the event queue: the pass that just ended may still be inside a handler that reads
    // the records (a query copying its results).
    QTimer::singleShot(0, this, [this] { runDeferred(); });
}

void TBase_main_window::runDeferred()
{
    m_deferredPosted = false;
    while (!m_deferred.empty() && !busy() && !m_quitting && !m_closing) {
        const DeferredMessage m = m_deferred.front();
        m_deferred.pop_front();
        serverMessage(m.msg, m.wParam, m.lParam);
    }
}

platform::LResult TBase_main_window::WMSearchHello(platform::WParam wParam, platform::LParam lParam)
{
    if (lParam != kHelloToServer)
        return 0;
    PlayerWindow = (wParam > 0 && wParam <= std::numeric_limits<platform::WindowHandle>::max())
                       ? static_cast<platform::WindowHandle>(wParam)
                       : 0;
    // The file is read again so that changes made since the start are seen; a base changed in a
    // shown window and not saved is kept rather than silently replaced.
    if (!Modified) {
        BFName = m_cmd.BFName;
        m_boxesAfterAnswer = true;
        try {
            LoadBase();
        } catch (...) {
            m_boxesAfterAnswer = false;
            throw;
        }
        m_boxesAfterAnswer = false;
    }
    if (!m_area.map()) {
        // Shown after the answer, so the player's hello does not wait on the box.
        QTimer::singleShot(0, this, [] {
            platform::messageBox("Error: hMapFile=0!", kAppTitle, platform::MB_OK | platform::MB_ICONERROR);
        });
    }
    return 0;
}

platform::LResult TBase_main_window::WMSearchQuery(platform::WParam wParam)
{
    // The answer is a send of this same message. A query that arrives while an answer waits can
    // only come from a window answering back (a hello that named this server, or another one, as
    // the player): it would answer itself without end, one nested send deeper each time.
    static int answering = 0;
    if (answering > 0)
        return 0;
    std::size_t count = 0;
    if (m_area.isMapped() && wParam >= 0 && wParam <= kMaxQueryField) {
        const std::string query = m_area.query();
        ResetSearch();
        Edits[static_cast<std::size_t>(wParam)]->setText(QString::fromStdString(platform::cp1251ToUtf8(query)));
        SearchBase();
        // A quit handled while the search let the message loop run has unmapped the area: then
        // nothing is written and the answer is 0.
        count = m_area.writeResults(Base.List);
    }
    ++answering;
    platform::sendMessage(PlayerWindow, platform::UM_SEARCH_QUERY, static_cast<platform::WParam>(count), 0);
    --answering;
    return 0;
}

platform::LResult TBase_main_window::WMSearchQuit()
{
    m_quitting = true;
    m_deferred.clear();
    m_area.unmap();
    unregisterWindow();
    ping_player->stop();
    // Ended after the answer, and nobody is asked: the player never waits on a box.
    QTimer::singleShot(0, this, [this] { Exit(); });
    return 0;
}

platform::LResult TBase_main_window::WMBaseShow()
{
    show();
    raise();
    activateWindow();
    return 0;
}

platform::LResult TBase_main_window::WMBaseHide()
{
    hide();
    return 0;
}

void TBase_main_window::ping_playerTimer()
{
    if (m_pinging || m_quitting || m_closing)
        return;
    m_pinging = true;
    const platform::LResult answer = platform::sendMessage(PlayerWindow, platform::UM_PING, 0, 0);
    m_pinging = false;
    // The player has ended (or was killed): so does its server.
    if (answer != kPlayerAlive)
        Exit();
}

}  // namespace database
