// Fitting stored window geometry to the available screen.
#include "controls/screenfit.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace controls {

QRect availableScreenArea(const QWidget* window, const QPoint& at)
{
    const QScreen* screen = window ? window->screen() : nullptr;
    if (!screen && !at.isNull())
        screen = QGuiApplication::screenAt(at);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QSize fitSize(const QSize& stored, const QRect& area)
{
    if (area.isEmpty())
        return stored;
    return QSize(std::clamp(stored.width(), 1, area.width()), std::clamp(stored.height(), 1, area.height()));
}

QRect fitRect(const QRect& stored, const QRect& area)
{
    if (area.isEmpty())
        return stored;
    const QSize size = fitSize(stored.size(), area);
    // In 64 bits: a stored position near the ends of the int range must not wrap on the way.
    const auto place = [](long long pos, long long length, long long start, long long room) {
        return static_cast<int>(std::clamp(pos, start, start + room - length));
    };
    return QRect(place(stored.x(), size.width(), area.x(), area.width()),
                 place(stored.y(), size.height(), area.y(), area.height()), size.width(), size.height());
}

QRect centredFrame(const QSize& client, const QMargins& frame, const QRect& area)
{
    const QSize fitted = fitSize(client, area.marginsRemoved(frame));
    const QSize outer = fitted.grownBy(frame);
    if (area.isEmpty())
        return QRect(QPoint(0, 0), outer);
    return QRect(area.x() + std::max(0, (area.width() - outer.width()) / 2),
                 area.y() + std::max(0, (area.height() - outer.height()) / 2), outer.width(), outer.height());
}

void keepOnScreen(QWidget& window)
{
    const QRect frame = window.frameGeometry();
    const QRect fitted = fitRect(frame, availableScreenArea(&window));
    if (fitted == frame)
        return;
    if (fitted.size() != frame.size())
        window.resize(window.size() - (frame.size() - fitted.size()));
    window.move(fitted.topLeft());  // a window's position is its frame's
}

int titleBarWidth(const QWidget& window)
{
    // The icon, minimise, maximise and close, and the frame's padding between them.
    constexpr int kFrameControlsWidth = 5 * 24;
    QFont font = QApplication::font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(window.windowTitle()) + kFrameControlsWidth;
}

void widenForTitle(QWidget& window)
{
    int width = titleBarWidth(window);
    if (const QRect area = availableScreenArea(&window); !area.isEmpty())
        width = std::min(width, area.width());
    if (const QLayout* layout = window.layout())
        width = std::max(width, layout->totalMinimumSize().width());
    if (window.minimumWidth() < width)
        window.setMinimumWidth(width);
}

}  // namespace controls
