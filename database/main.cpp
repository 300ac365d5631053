// The music database program's entry point.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setObjectName("Base_main_window");
    window.setWindowTitle("Base");
    window.show();
    return app.exec();
}
