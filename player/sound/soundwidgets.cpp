// Widget makers of the sound controls.
#include "player/sound/soundwidgets.h"

#include <QToolButton>

namespace player {

QToolButton* makeSoundButton(QWidget* parent, const char* name, const QString& text, bool checkable)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setCheckable(checkable);
    return button;
}

}  // namespace player
