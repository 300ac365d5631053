// Two panes side by side that share what their splitter gains or loses as the window is
// resized: the first pane a part of it, the second the rest, each kept at its minimum. Where the
// user put the splitter stays the starting point.
#pragma once

#include <QObject>

class QSplitter;

namespace controls {

class SplitterGrowth : public QObject {
public:
    // The first pane takes 1/firstShareDivisor of each change.
    SplitterGrowth(QSplitter* splitter, int firstShareDivisor);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSplitter* m_splitter;
    int m_divisor;
};

}  // namespace controls
