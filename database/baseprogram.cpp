// Running the database program: the window and the message loop, which ends when the window does.
#include "database/baseprogram.h"

#include "database/basemainwindow.h"
#include "platform/programfolder.h"
#include "platform/registry.h"
#include "platform/savefile.h"

#include <QApplication>

#include <filesystem>

namespace database {

int runBaseProgram(const std::vector<std::string>& args)
{
    // What saves cut short (a crash, a power cut, a kill) left in the folders the program saves into.
    for (const std::string& folder :
         {platform::programFolder(), platform::programPath("Database"), platform::programPath("Temp"),
          std::filesystem::path(platform::Registry::storePath()).parent_path().string()})
        platform::removeStaleSaveFiles(folder);
    // The window may never be shown (search-server mode): the program ends when it closes.
    QApplication::setQuitOnLastWindowClosed(false);
    TBase_main_window window(args);
    // Its creation may already have ended it: a quit or a failed ping handled while a box of the
    // creation was up (a base that could not be read). A quit asked for before the loop runs would
    // be lost, and a hidden window would then stay for ever.
    if (window.hasClosed())
        return 0;
    QObject::connect(&window, &TBase_main_window::finished, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    if (args.empty() || args[0] != "hidden")
        window.show();
    return QApplication::exec();
}

}  // namespace database
