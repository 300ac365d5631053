// Pixel-exact drawing with the classic desktop rules the drawn controls rely on: a line leaves
// out its end point, a rectangle covers left..right-1 and top..bottom-1.
#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>

#include <initializer_list>

class QPainter;

namespace controls::gdi {

// A rectangle by its edges; right and bottom are outside it.
struct WinRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    QRect toQRect() const { return QRect(left, top, right - left, bottom - top); }
    static WinRect fromQRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
    friend bool operator==(const WinRect&, const WinRect&) = default;
};

void setPixel(QPainter& p, int x, int y, const QColor& color);
void fillRect(QPainter& p, const WinRect& r, const QColor& color);
// One-pixel frame just inside r.
void frameRect(QPainter& p, const WinRect& r, const QColor& color);
// From 'from' towards 'to', without the pixel at 'to'.
void line(QPainter& p, QPoint from, QPoint to, const QColor& color);
// Consecutive lines; only the last point is left out.
void polyline(QPainter& p, std::initializer_list<QPoint> points, const QColor& color);
// Outline in 'pen' just inside r, the inside filled with 'brush'. An empty rectangle draws nothing.
void rectangle(QPainter& p, const WinRect& r, const QColor& pen, const QColor& brush);
// The etched separator edge, top side only: a shadow line on top and a highlight line under it.
void etchedTopEdge(QPainter& p, const WinRect& r, const QColor& shadow, const QColor& highlight);

}  // namespace controls::gdi
