// The desktop's colours and metrics the controls draw with, taken from one place: the application
// palette and style. Changing the palette changes every control consistently.
#pragma once

#include <QColor>
#include <QFont>

namespace controls {

enum class SysColor {
    BtnFace,              // QPalette::Button
    BtnShadow,            // QPalette::Dark
    BtnHighlight,         // QPalette::Light
    BtnText,              // QPalette::ButtonText
    ActiveCaption,        // QPalette::Highlight
    InactiveCaptionText,  // disabled QPalette::WindowText
    Window,               // QPalette::Base
    WindowText,           // QPalette::Text
    Highlight,            // QPalette::Highlight
    HighlightText,        // QPalette::HighlightedText
};

QColor sysColor(SysColor which);

int vScrollBarWidth();    // width of a vertical scroll bar
int hScrollBarHeight();   // height of a horizontal scroll bar
int borderHeight();       // thin window border
QFont menuFont();         // the font of menus, also the status bar's system font
int screenColorBits();    // bits per pixel of the primary screen (32 when unknown)

}  // namespace controls
