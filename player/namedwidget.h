// Widgets the design names: the name becomes the widget's objectName, by which the language
// files and the tests find it.
#pragma once

#include <QPushButton>
#include <QString>

namespace player {

template <class Widget>
Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A dialog's push button that does not become the default one just by having the focus.
inline QPushButton* namedButton(QWidget* parent, const char* name, const QString& text)
{
    auto* button = named(new QPushButton(text, parent), name);
    button->setAutoDefault(false);
    return button;
}

}  // namespace player
