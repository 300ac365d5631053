// Small widget makers shared by the sound page and the effects window.
#pragma once

#include <QString>

#include <cstdint>

class QAbstractSlider;
class QToolButton;
class QWidget;

namespace player {

// A tool button with its design name and caption; checkable ones are on/off switches.
QToolButton* makeSoundButton(QWidget* parent, const char* name, const QString& text, bool checkable = false);

// The position of a bar that shows minus a gain (band and compressor sliders) for a stored gain:
// the gain is first cut to what the bar can show, so that no stored number overflows.
int positionOfGain(const QAbstractSlider& bar, std::int32_t gain);

}  // namespace player
