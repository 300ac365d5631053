// A page control whose tabs go on to as many rows as its width needs, so that in a narrow panel
// every tab stays whole and in sight instead of hiding behind scroll arrows. The row of the
// current tab is the lowest one, next to its page. Tabs on the top side only.
#pragma once

#include <QTabBar>
#include <QTabWidget>

#include <vector>

namespace controls {

class TabRowsBar : public QTabBar {
    Q_OBJECT
public:
    explicit TabRowsBar(QWidget* parent = nullptr);

    // Where tab `index` is drawn, in the bar's coordinates; empty for a hidden or unknown tab.
    QRect tabRowRect(int index) const;
    int tabRowAt(const QPoint& pos) const;  // the tab there, or -1

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
    void tabLayoutChange() override;

private:
    struct Placed {
        int index;
        QRect rect;
    };
    // The rows from the top down for a bar `width` wide; the base class's own single-row layout
    // is never used for drawing or for finding a tab.
    std::vector<std::vector<Placed>> placeTabs(int width) const;
    // The width the bar is given: its page control's, when that is narrower than one row.
    int widthToFill() const;
    int rowHeight() const;

    int m_hover = -1;
};

class TabRowsWidget : public QTabWidget {
    Q_OBJECT
public:
    explicit TabRowsWidget(QWidget* parent = nullptr);
};

}  // namespace controls
