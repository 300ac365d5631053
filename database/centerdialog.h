// Placing a dialog centred over a window, kept on the screen.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace database {

// Top-left corner for dialog centred over `over`, pulled back inside a screen of screen size
// (left/top first: a dialog wider than the screen starts at 0).
QPoint CenterDialog(const QRect& dialog, const QRect& over, const QSize& screen);

// Moves window there over `over`, by the outer (frame) sizes of both, on window's own screen.
void centerOver(QWidget& window, const QWidget& over);

}  // namespace database
