// The on-air player's entry point.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setObjectName("Form1");
    window.setWindowTitle("Player");
    window.show();
    return app.exec();
}
