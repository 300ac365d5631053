// Tool bars sharing the top of a main window: when the window is too narrow to hold them on one
// line they go on to further lines, so that no button hides behind an extension arrow.
#pragma once

#include <QObject>

#include <vector>

class QMainWindow;
class QToolBar;

namespace controls {

// For bars of these widths, in order, on lines `available` wide: whether each bar starts a new
// line. The first bar never does; a bar wider than a line has a line of its own.
std::vector<bool> toolBarLineBreaks(const std::vector<int>& widths, int available);

// Keeps the window's tool-bar breaks where toolBarLineBreaks puts them, as the window is resized
// and as the bars' contents change (a language brings longer captions). The bars stay in their
// order: they are made fixed.
class ToolBarRows : public QObject {
public:
    ToolBarRows(QMainWindow& window, std::vector<QToolBar*> bars);

    void wrap();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMainWindow& m_window;
    std::vector<QToolBar*> m_bars;
    bool m_wrapping = false;
};

}  // namespace controls
