// The emblem, drawn on a 16-unit grid scaled to the size asked for.
#include "player/emblem.h"

#include <QPainter>

namespace player {

QPixmap QuorvalenEmblem(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1a, 0x2a, 0x6c));
    p.drawEllipse(1, 1, 14, 14);
    p.setBrush(QColor(0xb2, 0x1f, 0x1f));
    p.drawEllipse(5, 5, 6, 6);
    return pm;
}

}  // namespace player
