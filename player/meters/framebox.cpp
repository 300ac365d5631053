// The fixed-size paint box.
#include "player/meters/framebox.h"

#include <QPainter>

#include <algorithm>

namespace player {

FrameBox::FrameBox(int width, int height, QWidget* parent)
    : QWidget(parent), m_frame(std::max(1, width), std::max(1, height), QImage::Format_RGB32)
{
    m_frame.fill(Qt::black);
    setFixedSize(m_frame.size());
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FrameBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_frame);
}

}  // namespace player
