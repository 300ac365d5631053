// TVqURLLabel: a label that looks and acts like a link: underlined navy text, a hand cursor over
// it, and a click that opens URL with the desktop's handler.
#pragma once

#include <QCursor>
#include <QLabel>

#include <functional>

namespace controls {

class TVqURLLabel : public QLabel {
    Q_OBJECT
public:
    explicit TVqURLLabel(QWidget* parent = nullptr);

    QString URL;

    // Called after the label's own handling.
    std::function<void(QObject* sender)> OnClick;
    // Called when nothing could open URL (no program for it, no opener installed), before OnClick.
    std::function<void(QObject* sender)> OnOpenFailed;
    std::function<void(QObject* sender)> OnMouseEnter;
    std::function<void(QObject* sender)> OnMouseLeave;

    // Asks the desktop to open URL (even an empty one).
    void Click();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QCursor m_savedCursor;
    bool m_hadCursor = false;
};

}  // namespace controls
