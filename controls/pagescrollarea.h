// A page of fixed controls in a narrow panel: the page is as wide as its controls need, so that
// none is cut or scrolled out of sight sideways, and it scrolls up and down when it is low.
#pragma once

#include <QScrollArea>

namespace controls {

class PageScrollArea : public QScrollArea {
public:
    explicit PageScrollArea(QWidget* parent = nullptr);

    void setContent(QWidget* content);  // the page's controls, laid out
    // The controls' width and the vertical scroll bar's, whether it shows or not: the panel
    // keeps one width whichever page shows and however high the window is.
    QSize minimumSizeHint() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace controls
