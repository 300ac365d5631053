// Where the status bar's panels go: widths from the panels' settings, the spare width given to
// the spring panel (or the last one), a 2-pixel gap between panels, and which panel a point hits.
#pragma once

#include "controls/wingdi.h"

#include <QPoint>

#include <vector>

namespace controls {

struct StatusPanelMetrics {
    bool visible = true;
    bool fitToContent = false;
    bool spring = false;
    int width = 50;
    int fitWidth = 50;
};

class StatusLayout {
public:
    static constexpr int kGap = 2;

    // One rectangle per panel; vScrollWidth is the room kept at the right for the size grip.
    static std::vector<gdi::WinRect> layout(const std::vector<StatusPanelMetrics>& panels,
                                            const gdi::WinRect& client, int vScrollWidth);
    // Index of the first visible panel whose rectangle holds the point, or -1. Invisible panels
    // take no clicks or hints, even the last one that took the spare width unseen.
    static int hitTest(const std::vector<StatusPanelMetrics>& panels, const std::vector<gdi::WinRect>& rects,
                       QPoint point);
    // Width of a fit-to-content panel from its text width.
    static int fitWidth(int textWidth, bool hasImage) { return textWidth + 12 + (hasImage ? 16 : 0); }
};

}  // namespace controls
