// The pictures of the image list, drawn once.
#include "player/images.h"

#include <QPainter>

namespace player {

namespace {

constexpr int kSize = 16;
constexpr int kCount = 43;

QPixmap blank()
{
    QPixmap pm(kSize, kSize);
    pm.fill(Qt::transparent);
    return pm;
}

QPixmap hourglass()
{
    QPixmap pm = blank();
    QPainter p(&pm);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.setBrush(QColor(0xf0, 0xd0, 0x60));
    p.drawLine(3, 1, 12, 1);
    p.drawLine(3, 14, 12, 14);
    const QPoint glass[] = {{4, 2}, {11, 2}, {8, 8}, {11, 13}, {4, 13}, {7, 8}};
    p.drawPolygon(glass, 6);
    return pm;
}

QPixmap chip()
{
    QPixmap pm = blank();
    QPainter p(&pm);
    p.setPen(QColor(0x30, 0x30, 0x30));
    for (int x = 4; x <= 11; x += 2) {
        p.drawLine(x, 1, x, 3);
        p.drawLine(x, 12, x, 14);
    }
    for (int y = 4; y <= 11; y += 2) {
        p.drawLine(1, y, 3, y);
        p.drawLine(12, y, 14, y);
    }
    p.setBrush(QColor(0x20, 0x50, 0x90));
    p.drawRect(3, 3, 9, 9);
    return pm;
}

QPixmap memory()
{
    QPixmap pm = blank();
    QPainter p(&pm);
    p.setPen(QColor(0x20, 0x40, 0x20));
    p.setBrush(QColor(0x30, 0x90, 0x40));
    p.drawRect(0, 4, 15, 6);
    p.setBrush(QColor(0x10, 0x10, 0x10));
    for (int x = 2; x <= 11; x += 3)
        p.drawRect(x, 6, 2, 2);
    p.setPen(QColor(0xc0, 0xa0, 0x30));
    for (int x = 1; x <= 14; x += 2)
        p.drawLine(x, 11, x, 13);
    return pm;
}

}  // namespace

const QList<QPixmap>& PlayerImages()
{
    static const QList<QPixmap> images = [] {
        QList<QPixmap> list;
        for (int i = 0; i < kCount; ++i)
            list << blank();
        list[kImageLoading] = hourglass();
        list[kImageCpu] = chip();
        list[kImageMemory] = memory();
        return list;
    }();
    return images;
}

}  // namespace player
