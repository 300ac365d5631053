// One mapping from the desktop colour and metric names to QPalette and QStyle.
#include "controls/syscolors.h"

#include <QApplication>
#include <QPalette>
#include <QScreen>
#include <QStyle>

namespace controls {

static QColor paletteColor(SysColor which);

QColor sysColor(SysColor which)
{
    return QColor(paletteColor(which).rgb());  // 8 bits a channel, as drawn
}

static QColor paletteColor(SysColor which)
{
    const QPalette pal = QApplication::palette();
    switch (which) {
    case SysColor::BtnFace: return pal.color(QPalette::Active, QPalette::Button);
    case SysColor::BtnShadow: return pal.color(QPalette::Active, QPalette::Dark);
    case SysColor::BtnHighlight: return pal.color(QPalette::Active, QPalette::Light);
    case SysColor::BtnText: return pal.color(QPalette::Active, QPalette::ButtonText);
    case SysColor::ActiveCaption: return pal.color(QPalette::Active, QPalette::Highlight);
    case SysColor::InactiveCaptionText: return pal.color(QPalette::Disabled, QPalette::WindowText);
    case SysColor::Window: return pal.color(QPalette::Active, QPalette::Base);
    case SysColor::WindowText: return pal.color(QPalette::Active, QPalette::Text);
    case SysColor::Highlight: return pal.color(QPalette::Active, QPalette::Highlight);
    case SysColor::HighlightText: return pal.color(QPalette::Active, QPalette::HighlightedText);
    }
    return QColor(Qt::black);
}

int vScrollBarWidth()
{
    return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

int hScrollBarHeight()
{
    return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

int borderHeight()
{
    return 1;
}

QFont menuFont()
{
    return QApplication::font("QMenu");
}

int screenColorBits()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->depth() : 32;
}

}  // namespace controls
