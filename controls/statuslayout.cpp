// Status bar panel layout and hit test.
#include "controls/statuslayout.h"

namespace controls {

std::vector<gdi::WinRect> StatusLayout::layout(const std::vector<StatusPanelMetrics>& panels,
                                               const gdi::WinRect& client, int vScrollWidth)
{
    const int n = static_cast<int>(panels.size());
    std::vector<gdi::WinRect> rects(static_cast<size_t>(n));
    if (n == 0)
        return rects;
    std::vector<int> widths(static_cast<size_t>(n));
    int spring = -1;
    for (int i = 0; i < n; ++i) {
        const auto& p = panels[static_cast<size_t>(i)];
        widths[static_cast<size_t>(i)] = !p.visible ? 0 : p.fitToContent ? p.fitWidth : p.width;
        if (p.visible && p.spring && spring < 0)
            spring = i;
    }
    std::vector<int> edges(static_cast<size_t>(n));
    auto computeEdges = [&] {
        int e = 0;
        for (int i = 0; i < n; ++i) {
            e += widths[static_cast<size_t>(i)];
            if (i == n - 1 && n > 1 && panels[static_cast<size_t>(i)].visible)
                e += vScrollWidth;  // room for the size grip
            edges[static_cast<size_t>(i)] = e;
        }
    };
    computeEdges();
    if (edges.back() <= client.right) {
        const int grower = spring >= 0 ? spring : n - 1;
        widths[static_cast<size_t>(grower)] += client.right - edges.back();
        computeEdges();
    }
    for (int i = 0; i < n; ++i) {
        gdi::WinRect& r = rects[static_cast<size_t>(i)];
        r.left = i == 0 ? client.left : edges[static_cast<size_t>(i - 1)];
        r.right = i == n - 1 ? edges[static_cast<size_t>(i)] : edges[static_cast<size_t>(i)] - kGap;
        r.top = client.top + 2;
        r.bottom = client.bottom;
    }
    return rects;
}

int StatusLayout::hitTest(const std::vector<StatusPanelMetrics>& panels, const std::vector<gdi::WinRect>& rects,
                          QPoint point)
{
    const size_t n = std::min(panels.size(), rects.size());
    for (size_t i = 0; i < n; ++i)
        if (panels[i].visible && rects[i].contains(point.x(), point.y()))
            return static_cast<int>(i);
    return -1;
}

}  // namespace controls
