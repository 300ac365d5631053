// Pixel-exact drawing primitives; every shape goes through QPainter::fillRect on whole pixels so
// antialiasing and pen widths can never move a pixel.
#include "controls/wingdi.h"

#include <QPainter>

#include <cstdlib>

namespace controls::gdi {

void setPixel(QPainter& p, int x, int y, const QColor& color)
{
    p.fillRect(QRect(x, y, 1, 1), color);
}

void fillRect(QPainter& p, const WinRect& r, const QColor& color)
{
    if (r.isEmpty())
        return;
    p.fillRect(r.toQRect(), color);
}

void frameRect(QPainter& p, const WinRect& r, const QColor& color)
{
    if (r.isEmpty())
        return;
    fillRect(p, {r.left, r.top, r.right, r.top + 1}, color);
    fillRect(p, {r.left, r.bottom - 1, r.right, r.bottom}, color);
    fillRect(p, {r.left, r.top, r.left + 1, r.bottom}, color);
    fillRect(p, {r.right - 1, r.top, r.right, r.bottom}, color);
}

void line(QPainter& p, QPoint from, QPoint to, const QColor& color)
{
    const int x0 = from.x(), y0 = from.y(), x1 = to.x(), y1 = to.y();
    if (y0 == y1) {  // the common horizontal and vertical cases as single fills
        if (x1 > x0)
            fillRect(p, {x0, y0, x1, y0 + 1}, color);
        else if (x1 < x0)
            fillRect(p, {x1 + 1, y0, x0 + 1, y0 + 1}, color);
        return;
    }
    if (x0 == x1) {
        if (y1 > y0)
            fillRect(p, {x0, y0, x0 + 1, y1}, color);
        else
            fillRect(p, {x0, y1 + 1, x0 + 1, y0 + 1}, color);
        return;
    }
    // Bresenham, stopping before the end point.
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    int x = x0, y = y0;
    while (x != x1 || y != y1) {
        setPixel(p, x, y, color);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void polyline(QPainter& p, std::initializer_list<QPoint> points, const QColor& color)
{
    const QPoint* prev = nullptr;
    for (const QPoint& pt : points) {
        if (prev)
            line(p, *prev, pt, color);
        prev = &pt;
    }
}

void rectangle(QPainter& p, const WinRect& r, const QColor& pen, const QColor& brush)
{
    if (r.isEmpty())
        return;
    fillRect(p, {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, brush);
    frameRect(p, r, pen);
}

void etchedTopEdge(QPainter& p, const WinRect& r, const QColor& shadow, const QColor& highlight)
{
    if (r.right <= r.left)
        return;
    fillRect(p, {r.left, r.top, r.right, r.top + 1}, shadow);
    fillRect(p, {r.left, r.top + 1, r.right, r.top + 2}, highlight);
}

}  // namespace controls::gdi
