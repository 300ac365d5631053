// The pie chart of the file types: slices from the left end of the horizontal axis, one after the
// other clockwise on the screen, each bounded by two radial points rounded to whole pixels.
#pragma once

#include <QRectF>

#include <array>
#include <vector>

class QPainter;

namespace database {

struct PieSlice {
    int type;
    // QPainter angles in 1/16 degree: counter-clockwise from three o'clock, parametric on the ellipse.
    int startAngle16;
    int spanAngle16;
};

// The ellipse of a paint box of width x height: (5, 5) to (width - 5, height - 5).
QRectF typePieRect(int width, int height);
// The slices of the types whose share (percent) times ten is not below one.
std::vector<PieSlice> typePieSlices(int width, int height, const std::array<double, 4>& sharesPercent);
// Draws them in the type colours with black outlines.
void DrawTypePie(QPainter& painter, int width, int height, const std::array<double, 4>& sharesPercent);

}  // namespace database
