// TElidedLabel: a one-line label that may be narrower than its text. It shows what fits, ending
// in "…", and keeps its whole text, so a narrow window never grows for a long line.
#pragma once

#include <QLabel>

namespace controls {

class TElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit TElidedLabel(QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace controls
