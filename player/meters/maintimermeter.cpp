// The level meter's arithmetic and painting.
#include "player/meters/maintimermeter.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace player {

int meterLevel(int level)
{
    const long scaled = std::lround(static_cast<double>(level) * kMeterMaxLevel / 127.0);
    return static_cast<int>(std::clamp<long>(scaled, 0, kMeterMaxLevel));
}

QImage levelMeterPicture(int width, int height)
{
    QImage picture(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    // Segments of 3 pixels with a 1-pixel gap, coloured by their height.
    for (int y = picture.height() - 1; y >= 0; y -= 4) {
        const double fromBottom = 1.0 - static_cast<double>(y) / picture.height();
        const QColor colour = fromBottom > 0.85 ? QColor(230, 30, 30)
                              : fromBottom > 0.65 ? QColor(240, 210, 30)
                                                  : QColor(40, 200, 60);
        painter.fillRect(QRect(1, std::max(0, y - 2), picture.width() - 2, std::min(3, y + 1)), colour);
    }
    return picture;
}

void paintLevelMeter(QImage& target, const QImage& picture, int level)
{
    const int width = target.width();
    const int height = target.height();
    level = std::clamp(level, 0, height);
    QPainter painter(&target);
    const int top = height - level;
    if (top > 0) {
        painter.fillRect(QRect(0, 0, width, top), Qt::white);
        painter.setPen(Qt::black);
        painter.drawRect(QRect(0, 0, width - 1, top - 1));
    }
    if (level > 0)
        painter.drawImage(QRect(0, top, width, level), picture, QRect(0, top, width, level));
}

}  // namespace player
