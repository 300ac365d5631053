// A label with its design name, for the About and diagnostics windows.
#pragma once

#include <QLabel>

namespace player {

inline QLabel* namedLabel(QWidget* parent, const char* name, const QString& text = {})
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

}  // namespace player
