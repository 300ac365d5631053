// The labelled track bar: keeps Value, the value label and the two labels' places in step with
// the slider's position and geometry.
#include "controls/lbar.h"

#include "controls/lbarscale.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>

#include <algorithm>

namespace controls {

TLBar::TLBar(QWidget* parent)
    : TTBar(parent), m_caption(new QLabel("Caption", parent)), m_valueLabel(new QLabel("Value", parent))
{
    m_caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_caption->adjustSize();
    m_valueLabel->adjustSize();
    setTickPosition(QSlider::NoTicks);
    connect(this, &QSlider::valueChanged, this, [this] { valueUpdate(); });
    valueUpdate();
}

TLBar::~TLBar()
{
    delete m_caption;
    delete m_valueLabel;
}

QString TLBar::Caption() const
{
    return m_caption ? m_caption->text() : QString();
}

void TLBar::setCaption(const QString& caption)
{
    if (!m_caption)
        return;
    m_caption->setText(caption);
    m_caption->adjustSize();
    placeLabels();
}

int TLBar::captionRoom() const
{
    return (m_caption ? m_caption->sizeHint().width() : 0) + m_labelSpacing;
}

int TLBar::valueRoom() const
{
    if (!m_valueLabel)
        return m_labelSpacing;
    const QFontMetrics metrics = m_valueLabel->fontMetrics();
    // The label's own margins and frame come on top of its text.
    const int chrome = m_valueLabel->sizeHint().width() - metrics.horizontalAdvance(m_valueLabel->text());
    int widest = 0;
    for (const float end : {m_minValue, m_maxValue})
        widest = std::max(widest, metrics.horizontalAdvance(LBarScale::labelText(end, m_prec, m_unit)));
    return widest + chrome + m_labelSpacing;
}

void TLBar::setLabelSpacing(int spacing)
{
    m_labelSpacing = spacing;
    placeLabels();
}

void TLBar::setPrec(int prec)
{
    m_prec = std::clamp(prec, 0, LBarScale::kMaxPrec);
    m_factor = LBarScale::factorFor(m_prec);
    setMaximum(LBarScale::toPosition(m_maxValue, m_factor));
    setMinimum(LBarScale::toPosition(m_minValue, m_factor));
}

void TLBar::setUnit(const QString& unit)
{
    m_unit = unit;
    valueUpdate();
}

void TLBar::setMinValue(float value)
{
    m_minValue = value;
    setMinimum(LBarScale::toPosition(value, m_factor));
}

void TLBar::setMaxValue(float value)
{
    m_maxValue = value;
    setMaximum(LBarScale::toPosition(value, m_factor));
}

void TLBar::SetValue(float value)
{
    if (value < m_minValue)
        value = m_minValue;
    m_value = value;
    setValue(LBarScale::toPosition(value, m_factor));  // a changed position runs valueUpdate()
    if (OnValueChange)
        OnValueChange(this);
}

void TLBar::valueUpdate()
{
    m_value = static_cast<float>(LBarScale::valueOf(value(), m_factor, maximum()));
    if (m_valueLabel) {
        m_valueLabel->setText(LBarScale::labelText(m_value, m_prec, m_unit));
        m_valueLabel->adjustSize();
        placeLabels();
    }
    if (OnValueChange)
        OnValueChange(this);
}

void TLBar::placeLabels()
{
    if (!m_caption || !m_valueLabel)
        return;
    const QRect bar = geometry();
    const int top = bar.top() + bar.height() / 2 - m_caption->height() / 2;
    m_caption->move(bar.left() - m_caption->width() - m_labelSpacing, top);
    m_valueLabel->move(bar.left() + bar.width() + m_labelSpacing, top);
}

bool TLBar::event(QEvent* event)
{
    if (event->type() == QEvent::ParentChange && m_caption && m_valueLabel) {
        m_caption->setParent(parentWidget());
        m_valueLabel->setParent(parentWidget());
        if (parentWidget()) {
            m_caption->show();
            m_valueLabel->show();
        }
        placeLabels();
    }
    return TTBar::event(event);
}

void TLBar::moveEvent(QMoveEvent* event)
{
    TTBar::moveEvent(event);
    placeLabels();
}

void TLBar::resizeEvent(QResizeEvent* event)
{
    TTBar::resizeEvent(event);
    placeLabels();
}

}  // namespace controls
