// The music database program's entry point: the main window, shown unless started as the
// player's hidden search server.
#include "database/basemainwindow.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(database::kAppTitle);
    // The window may never be shown (search-server mode): the program ends when it closes.
    QApplication::setQuitOnLastWindowClosed(false);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    database::TBase_main_window window(args);
    QObject::connect(&window, &database::TBase_main_window::finished, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    if (args.empty() || args[0] != "hidden")
        window.show();
    return app.exec();
}
