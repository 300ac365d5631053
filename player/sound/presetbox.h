// The preset boxes of the sound controls and the effects window: editable combo boxes whose text
// names a preset, filled from a preset folder, with the save and delete that every box shares.
#pragma once

#include "player/sound/presetfolder.h"

#include <QString>

#include <cstddef>
#include <functional>

class QComboBox;
class QObject;
class QWidget;

namespace player {

// An editable box that neither completes nor inserts what is typed: every letter is a name tried.
QComboBox* makePresetBox(QWidget* parent, const char* name);
// Runs load when the operator types in the box (each letter: a name is tried as it is typed) or
// chooses from its list, also the name the box already shows: a choice always loads. Text that
// code sets loads nothing.
void onPresetTypedOrChosen(QComboBox* box, QObject* context, const std::function<void()>& load);
// The box's text, as the name of a preset.
std::string presetBoxName(const QComboBox* box);
// Sets the text without running the box's change handler.
void setPresetBoxText(QComboBox* box, const QString& text);
// Refills the list from the folder; the text stays and no change handler runs.
void fillPresetBox(QComboBox* box, const PresetFolder& folder);

// Saves the record under the box's name and refills the list; a name that is refused, or a file
// that cannot be written, is told in a message box and leaves the list as it was.
bool savePresetFromBox(QComboBox* box, const PresetFolder& folder, const void* record, std::size_t size);
// Deletes the box's preset without asking, refills the list and empties the text; a refused name
// is told in a message box and deletes nothing.
void deletePresetOfBox(QComboBox* box, const PresetFolder& folder);

}  // namespace player
