// The link label.
#include "controls/vqurllabel.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

namespace controls {

TVqURLLabel::TVqURLLabel(QWidget* parent) : QLabel(parent)
{
    const int width = this->width();
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 128));
    setPalette(pal);
    resize(width, height());
}

void TVqURLLabel::Click()
{
    if (!QDesktopServices::openUrl(QUrl::fromUserInput(URL)) && OnOpenFailed)
        OnOpenFailed(this);
    if (OnClick)
        OnClick(this);
}

void TVqURLLabel::enterEvent(QEnterEvent* event)
{
    m_hadCursor = testAttribute(Qt::WA_SetCursor);
    m_savedCursor = cursor();
    setCursor(Qt::PointingHandCursor);
    QLabel::enterEvent(event);
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TVqURLLabel::leaveEvent(QEvent* event)
{
    if (m_hadCursor)
        setCursor(m_savedCursor);
    else
        unsetCursor();
    QLabel::leaveEvent(event);
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TVqURLLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Click();
}

}  // namespace controls
