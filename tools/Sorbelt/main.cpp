// The playlist generator stand-in: started by the player with the database file as its one
// argument (empty when the player has none), it stays running until its window is closed.
#include "controls/lang.h"
#include "tools/Sorbelt/sorbelttexts.h"
#include "tools/Sorbelt/sorbeltwindow.h"

#include <QApplication>

#include <string>

int main(int argc, char** argv)
{
    // Taken before Qt removes the options it knows from the command line.
    const std::string databasePath = argc > 1 ? std::string(argv[1]) : std::string();
    QApplication app(argc, argv);
    // Qt's own texts (the edit menu of the count box) in the operator's language too.
    controls::LoadQtTranslations(sorbelt::chosenLanguage());
    sorbelt::TSorbeltWnd window(databasePath);
    window.show();
    return app.exec();
}
