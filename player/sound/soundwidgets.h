// Small widget makers shared by the sound page and the effects window.
#pragma once

#include <QString>

class QToolButton;
class QWidget;

namespace player {

// A tool button with its design name and caption; checkable ones are on/off switches.
QToolButton* makeSoundButton(QWidget* parent, const char* name, const QString& text, bool checkable = false);

}  // namespace player
