// The chart's geometry. Each slice is described by the points where its edges meet the circle of
// radius (width - 10) / 2; QPainter wants angles on the ellipse instead, so each point's direction
// from the centre is turned into the ellipse's parametric angle.
#include "database/dialogs/typepie.h"

#include "database/dialogs/statistics.h"
#include "platform/usermessagesqt.h"

#include <QPainter>

#include <cmath>
#include <numbers>

namespace database {

namespace {

struct Point {
    long x, y;
};

Point radial(double cx, double cy, double r, double angle)
{
    return {std::lround(cx - r * std::cos(angle)), std::lround(cy - r * std::sin(angle))};
}

}  // namespace

QRectF typePieRect(int width, int height) { return QRectF(5, 5, width - 10, height - 10); }

std::vector<PieSlice> typePieSlices(int width, int height, const std::array<double, 4>& shares)
{
    std::vector<PieSlice> slices;
    const double cx = width / 2.0, cy = height / 2.0;
    const double r = (width - 10) / 2.0;
    const double rx = (width - 10) / 2.0, ry = (height - 10) / 2.0;
    if (rx <= 0 || ry <= 0)
        return slices;
    // The parametric angle of the ellipse point in the direction of p, in degrees.
    auto angleOf = [&](Point p) {
        const double dx = static_cast<double>(p.x) - cx, dy = cy - static_cast<double>(p.y);
        return std::atan2(dy / ry, dx / rx) * 180.0 / std::numbers::pi;
    };
    double a = 0;
    Point previous = radial(cx, cy, r, 0);
    for (int type = 0; type < 4; ++type) {
        const double share = shares[static_cast<std::size_t>(type)];
        if (static_cast<long long>(share * 10) == 0)
            continue;
        const double sweep = share * 2 * std::numbers::pi / 100;
        const Point next = radial(cx, cy, r, a + sweep);
        // From the new point counter-clockwise back to the previous one.
        const double start = angleOf(next);
        double span = std::fmod(angleOf(previous) - start + 720.0, 360.0);
        if (next.x == previous.x && next.y == previous.y)
            span = sweep >= std::numbers::pi ? 360.0 : 0.0;
        slices.push_back({type, static_cast<int>(std::lround(start * 16)), static_cast<int>(std::lround(span * 16))});
        previous = next;
        a += sweep;
    }
    return slices;
}

void DrawTypePie(QPainter& painter, int width, int height, const std::array<double, 4>& shares)
{
    painter.setPen(Qt::black);
    for (const PieSlice& s : typePieSlices(width, height, shares)) {
        if (s.spanAngle16 == 0)
            continue;
        painter.setBrush(platform::qtmessages::toQColor(kStatTypeColors[static_cast<std::size_t>(s.type)]));
        painter.drawPie(typePieRect(width, height), s.startAngle16, s.spanAngle16);
    }
}

}  // namespace database
