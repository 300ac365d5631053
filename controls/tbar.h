// TTBar: a slider that reports left presses, left releases and right presses after its own
// handling of them. Vertical bars keep their minimum at the top.
#pragma once

#include <QSlider>

#include <functional>

namespace controls {

class TTBar : public QSlider {
    Q_OBJECT
public:
    using MouseEvent = std::function<void(QObject* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                                          int x, int y)>;

    explicit TTBar(QWidget* parent = nullptr);
    explicit TTBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    // Hides QSlider::setOrientation so that a vertical bar always runs from the top.
    void setOrientation(Qt::Orientation orientation);

    int Tag = 0;  // free for the owner (the player keeps a bar's reset position here)

    MouseEvent OnMouseDown;                       // after a left-button press
    MouseEvent OnMouseUp;                         // after a left-button release
    std::function<void(QObject* sender)> OnMouseRight;  // after a right-button press

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace controls
