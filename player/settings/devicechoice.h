// The output devices by name for the settings dialog, so that a station picks its air and its
// pre-listen device by what the system calls them rather than by number.
#pragma once

class QComboBox;

namespace player {

class PlayerTexts;

// Fills box with "0: No sound", "1: Default", "2: pulse", ... (the first two and the mark of a
// missing one in the operator's language, the others as the system names them) and chooses
// current; a number the system does not list now stays choosable, marked as missing.
void fillDeviceChoice(QComboBox* box, int current, const PlayerTexts& texts);
// The device number of the entry chosen, -1 when none is.
int chosenDevice(const QComboBox* box);

}  // namespace player
