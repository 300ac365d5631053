// How the drawn main menu paints its items: flat top-level items, drop-down items with a grey
// gutter on white, a navy frame around the selection, check marks and images in the gutter,
// right-aligned shortcuts, etched separators and greyed images of disabled items.
#pragma once

#include "controls/wingdi.h"

#include <QColor>
#include <QImage>
#include <QString>

class QPainter;

namespace controls {

struct MenuItemInfo {
    QString caption;   // "&" marks the accelerator
    QString shortcut;  // as shown, "Ctrl+S"
    bool separator = false;
    bool checked = false;
    bool enabled = true;
    bool selected = false;
    QImage bitmap;     // the item's image, (255, 0, 255) transparent; null: none
};

class MenuXPPainter {
public:
    static constexpr int kExtraWidth = 40;  // drop-down items are this much wider than measured
    static constexpr int kGutterWidth = 20;

    explicit MenuXPPainter(int colorBits);

    void DrawTopItem(QPainter& p, const gdi::WinRect& r, const MenuItemInfo& item) const;
    void DrawSubItem(QPainter& p, const gdi::WinRect& r, const MenuItemInfo& item) const;

    QColor selectionFill() const;
    QColor textColor(const MenuItemInfo& item) const;
    // Grey levels of a disabled item's image; pixels of the transparent colour stay transparent.
    static QImage DrawGrayedImage(const QImage& image);
    // The check mark drawn for a checked item: black pixels on transparent, top-left anchored.
    static QImage checkMark();

private:
    void DrawHighlight(QPainter& p, const gdi::WinRect& r) const;
    void DrawCaption(QPainter& p, gdi::WinRect c, const MenuItemInfo& item) const;
    void DrawGlyph(QPainter& p, const gdi::WinRect& g, const MenuItemInfo& item) const;

    bool m_lowColor;
};

}  // namespace controls
