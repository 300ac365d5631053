// Running the database program: the window and the message loop, which ends when the window does.
#include "database/baseprogram.h"

#include "database/basemainwindow.h"

#include <QApplication>

namespace database {

int runBaseProgram(const std::vector<std::string>& args)
{
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
