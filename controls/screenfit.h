// Window sizes and positions read from stored files (profiles, the registry's window positions)
// made to fit the screen: a damaged value must neither make a window larger than the desktop
// (a window of 32767 x 32767 takes gigabytes and a whole core to paint) nor put it out of sight.
#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace controls {

// The area windows may take (without panels and docks) on the screen of `window`, else on the
// screen under `at`, else on the primary screen. Empty when there is no screen at all.
QRect availableScreenArea(const QWidget* window, const QPoint& at = QPoint());

// Width and height each at most the area's (and at least 1); an empty area changes nothing.
QSize fitSize(const QSize& stored, const QRect& area);

// The rectangle with its size fitted, moved as little as needed to lie inside the area.
QRect fitRect(const QRect& stored, const QRect& area);

// The frame of a window whose client area is `client` and whose frame adds `frame` around it,
// centred in the area (at least at its top-left), the client cut so that the frame fits. An empty
// area centres nothing: the frame is then at (0, 0).
QRect centredFrame(const QSize& client, const QMargins& frame, const QRect& area);

// Moves a window, and makes it smaller if it must, so that its frame lies on the area of its
// screen; a window already there is left alone.
void keepOnScreen(QWidget& window);

// The width a desktop's frame needs to show the window's title whole: the title in bold, as
// frames draw it, and room for the frame's icon and buttons.
int titleBarWidth(const QWidget& window);

// Makes a window at least as wide as titleBarWidth (at most as wide as its screen), so that its
// frame shows the title whole; its layout keeps the say over the rest of its size.
void widenForTitle(QWidget& window);

}  // namespace controls
