// Widget makers of the sound controls.
#include "player/sound/soundwidgets.h"

#include <QAbstractSlider>
#include <QToolButton>

#include <algorithm>

namespace player {

QToolButton* makeSoundButton(QWidget* parent, const char* name, const QString& text, bool checkable)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setCheckable(checkable);
    return button;
}

int positionOfGain(const QAbstractSlider& bar, std::int32_t gain)
{
    return -std::clamp(gain, -bar.maximum(), -bar.minimum());
}

}  // namespace player
