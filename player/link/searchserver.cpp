// TForm1's side of the search server: starting and greeting the database program, the shared
// search area, the query and its answer, and the visible start of the database window.
#include "player/form1.h"

#include "controls/vqlistview.h"
#include "platform/messageids.h"
#include "platform/sharedmemory.h"
#include "platform/usermessages.h"
#include "player/link/searcharea.h"

#include <QComboBox>
#include <QLineEdit>

#include <chrono>
#include <utility>

namespace player {

namespace {

// A query is answered in milliseconds, or at once with 0 while the server is busy with a pass;
// a server silent for this long hangs. The wait holds this thread, the main timer's with it, so
// it must stay far below the length of a mix.
constexpr std::chrono::milliseconds kQueryTimeout{3000};
constexpr std::chrono::milliseconds kQuitTimeout{500};

}  // namespace

void TForm1::StopSearchServer()
{
    ServerWatch.cancel();
    ServerRestartWanted = false;
    QueryWaiting = false;
    // A server answers its quit at once and closes afterwards; one that hangs is not waited for
    // long (it ends by itself when its ping finds no player).
    if (ServerWindow != 0) {
        platform::LResult ignored = 0;
        platform::sendMessageEx(ServerWindow, platform::UM_SEARCH_QUIT, 0, 0, &ignored, kQuitTimeout);
    }
    ServerWindow = 0;
    SharedArea.reset();
}

void TForm1::StartSearchServer()
{
    // One start at a time: a server still coming up is met first and replaced then, never left
    // behind unknown (its window and the next one's carry the same caption).
    if (ServerWatch.active()) {
        ServerRestartWanted = true;
        return;
    }
    StopSearchServer();

    const std::string self = std::to_string(handle());
    const std::string caption = std::string(kServerCaptionPrefix) + self;
    // A server that came up after an earlier start had stopped waiting for it was never greeted
    // and would be found first: it is told to quit too (a server leaves the registry on quit).
    for (int i = 0; i < 8; ++i) {
        const platform::WindowHandle stray = platform::findWindow(kServerWindowClass, caption);
        if (stray == 0)
            break;
        platform::sendMessage(stray, platform::UM_SEARCH_QUIT, 0, 0);
    }
    const bool started = LaunchProgram && LaunchProgram(kDatabaseProgram, {"hidden", self, DefBase});
    // The area is the player's as much as the server's: it is mapped now, and the server maps it
    // when it is greeted.
    MapSearchArea();
    // A program that could not be started shows no window: no point waiting for one.
    if (!started) {
        ServerCameUp(0);
        return;
    }
    // The window comes up and plays meanwhile; what is typed is answered once the server is there.
    SetSearchPageEnabled(SharedArea != nullptr);
    ServerWatch.start(std::string(kServerWindowClass), caption, kWindowWaitLimit,
                      [this](platform::WindowHandle window) { ServerCameUp(window); });
}

void TForm1::MapSearchArea()
{
    auto area = std::make_shared<platform::SharedMemory>();
    if (area->open(kSearchAreaName, kSearchAreaSize)) {
        SharedArea = std::move(area);
        SearchAreaProblem.clear();
        return;
    }
    // No box: a profile load and the settings dialog run while something is on air, and a full
    // /dev/shm is no one's to click away. The player goes on without the search and says why.
    SearchAreaProblem = QStringLiteral("Поиск в базе недоступен: нет общей памяти (%1)")
                            .arg(QString::fromStdString(area->lastError()));
    ShowStatus(SearchAreaProblem);
}

void TForm1::ServerCameUp(platform::WindowHandle window)
{
    ServerWindow = window;
    if (std::exchange(ServerRestartWanted, false)) {
        StartSearchServer();  // this one is told to quit
        return;
    }
    if (ServerWindow == 0)
        platform::messageBox(Messages[2].toStdString(), "Caldrivane", platform::MB_OK | platform::MB_ICONERROR);
    else
        platform::sendMessage(ServerWindow, platform::UM_SEARCH_HELLO, handle(), kHelloServer);
    SetSearchPageEnabled(ServerWindow != 0 && SharedArea != nullptr);
    if (std::exchange(QueryWaiting, false))
        edFindTextChange();
}

void TForm1::edFindTextChange()
{
    if (cbFindIndex == nullptr || edFindText == nullptr || cbFindIndex->currentIndex() < 0)
        return;
    if (ServerWatch.active() && SharedArea) {
        QueryWaiting = true;
        return;
    }
    if (!SharedArea || ServerWindow == 0) {
        SearchUnavailable();
        return;
    }
    WriteSearchQuery(SharedArea->data(), SharedArea->size(), edFindText->text());
    // The answer arrives as a nested UM_SEARCH_QUERY while this send waits (WMSearchResult).
    platform::LResult ignored = 0;
    const platform::SendStatus status = platform::sendMessageEx(ServerWindow, platform::UM_SEARCH_QUERY,
                                                                cbFindIndex->currentIndex(), 0, &ignored, kQueryTimeout);
    // Handles are never reused: a server that is gone stays gone until the next restart, and
    // later queries return at once. One that hangs is treated the same way, so that each further
    // keystroke does not stall playback again.
    if (status != platform::SendStatus::Answered) {
        ServerWindow = 0;
        SearchUnavailable();
    }
}

void TForm1::WMSearchResult(platform::WParam count)
{
    if (!SharedArea)
        return;
    std::vector<controls::TVirtualItem> rows = ReadSearchResults(SharedArea->data(), SharedArea->size(), count);
    // One view update for the whole replacement; no earlier selection survives on the new rows.
    LVFindResult->selectionModel()->clearSelection();
    LVFindResult->clearRows();
    LVFindResult->Rows = std::move(rows);
    LVFindResult->syncView();
}

void TForm1::N34Click()
{
    if (LaunchProgram)
        LaunchProgram(kDatabaseProgram, {"fromplayer", std::to_string(handle()), DefBase});
}

}  // namespace player
