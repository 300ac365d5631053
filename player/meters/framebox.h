// FrameBox: a paint box of fixed size that shows a picture its owner paints off screen (the level
// meters and the spectrum), copied to the screen in one go. Given a smaller minimum, it shows the
// picture's left part when it is narrower.
#pragma once

#include <QImage>
#include <QWidget>

namespace player {

class FrameBox : public QWidget {
    Q_OBJECT
public:
    FrameBox(int width, int height, QWidget* parent = nullptr);

    // The picture shown; paint into it, then call update().
    QImage& frame() { return m_frame; }
    const QImage& frame() const { return m_frame; }
    QSize sizeHint() const override { return m_frame.size(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_frame;
};

}  // namespace player
