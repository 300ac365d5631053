// Running the database program: the window and the message loop, which ends when the window does.
#include "database/baseprogram.h"

#include "database/basemainwindow.h"
#include "database/unseenboxes.h"
#include "platform/exitsignal.h"
#include "platform/messageids.h"
#include "platform/programfolder.h"
#include "platform/registry.h"
#include "platform/savefile.h"

#include <QApplication>

#include <filesystem>

namespace database {

namespace {

// Long enough for the save of a large base, which the end may have to make.
constexpr std::chrono::milliseconds kExitDeadline{5000};

// Opened from a player whose search server runs: the server's window is shown instead of a second
// base in a process of its own, so that what the operator adds, saves or loads there is what the
// player's search answers from. False when there is no such server.
bool showPlayersServer(const CommandLine& cmd)
{
    if (cmd.mode != StartMode::FromPlayer || cmd.PlayerWindow == 0)
        return false;
    const platform::WindowHandle server = platform::findWindow(kWindowClass, "DatabaseWindow" + cmd.handleText);
    return server != 0 && platform::postMessage(server, platform::UM_BASE_SHOW, 0, 0);
}

}  // namespace

int runBaseProgram(const std::vector<std::string>& args)
{
    // The search server has nobody to show a box to: its player has refused the folder already.
    const bool hidden = !args.empty() && args[0] == "hidden";
    if (!platform::programFolderUsable("Base", hidden ? std::string() : std::string(kAppTitle)))
        return 1;
    if (showPlayersServer(parseCommandLine(args)))
        return 0;
    // What saves cut short (a crash, a power cut, a kill) left in the folders the program saves into.
    for (const std::string& folder :
         {platform::programFolder(), platform::programPath("Database"), platform::programPath("Temp"),
          std::filesystem::path(platform::Registry::storePath()).parent_path().string()})
        platform::removeStaleSaveFiles(folder);
    // The window may never be shown (search-server mode): the program ends when it closes.
    QApplication::setQuitOnLastWindowClosed(false);
    // Set up before the window's creation, which may wait on a box: a signal is never lost.
    TBase_main_window* made = nullptr;
    bool endRequested = false;
    const platform::ExitOnSignal onSignal(kExitDeadline, BaseLogPath(), "Base", [&] {
        endRequested = true;
        if (made)
            made->Exit();
    });
    TBase_main_window window(args);
    made = &window;
    if (endRequested)
        window.Exit();
    // Its creation may already have ended it: a signal or a failed ping handled while a box of the
    // creation was up (a base that could not be read). A quit asked for before the loop runs would
    // be lost, and a hidden window would then stay for ever.
    if (window.hasClosed())
        return 0;
    QObject::connect(&window, &TBase_main_window::finished, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    if (!hidden)
        window.show();
    return QApplication::exec();
}

}  // namespace database
