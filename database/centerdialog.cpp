// The centring rule for folder dialogs.
#include "database/centerdialog.h"

#include <QScreen>
#include <QWidget>

namespace database {

namespace {
int place(int overStart, int overExtent, int extent, int screenExtent)
{
    // Integer division rounds toward zero, also for a dialog larger than the window.
    int v = overStart + (overExtent - extent) / 2;
    if (v < 0)
        v = 0;
    else if (v + extent > screenExtent)
        v = screenExtent - extent;
    return v;
}
}  // namespace

QPoint CenterDialog(const QRect& dialog, const QRect& over, const QSize& screen)
{
    return QPoint(place(over.left(), over.width(), dialog.width(), screen.width()),
                  place(over.top(), over.height(), dialog.height(), screen.height()));
}

void centerOver(QWidget& window, const QWidget& over)
{
    QSize screen(1920, 1080);
    if (QScreen* s = window.screen())
        screen = s->size();
    window.move(CenterDialog(window.frameGeometry(), over.frameGeometry(), screen));
}

}  // namespace database
