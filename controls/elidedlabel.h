// TElidedLabel: a one-line label that may be narrower than its text. It shows what fits, with "…"
// where the rest would be, and keeps its whole text, shown as its tool tip while it is cut, so a
// narrow window never grows for a long line and the line can still be read.
#pragma once

#include <QLabel>

namespace controls {

class TElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit TElidedLabel(QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;
    // Where the text is cut: at its end (the default) or, for a path, in its middle.
    void setElideMode(Qt::TextElideMode mode);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QRect textRoom() const;

    Qt::TextElideMode m_elideMode = Qt::ElideRight;
};

}  // namespace controls
