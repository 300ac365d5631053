// The music database program's entry point.
#include "database/basemainwindow.h"
#include "database/baseprogram.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(database::kAppTitle);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    return database::runBaseProgram(args);
}
