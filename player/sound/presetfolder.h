// Named presets: one small ini file per preset in a sub-folder of the program folder's "Presets",
// holding one record as hexadecimal text under [section] Settings. Shared by the equaliser, the
// crossfade and the five effects.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace player {

// A name that can only mean a file inside the folder: not empty, not "." or "..", and without
// "/", "\" or control characters.
bool isValidPresetName(const std::string& name);

// The box shown when a save or delete is refused for its name, in the language in force.
std::string invalidPresetNameText(const std::string& name);
// The box shown when a save cannot write its file.
std::string unableToWriteText(const std::string& path);

class PresetFolder {
public:
    // folder: below "Presets" ("Equalizer", "Crossfade", "Reverb", ...); extension without the dot.
    PresetFolder(std::string folder, std::string extension, std::string section);

    // The folder's full path, ending with "/".
    std::string path() const;
    // The names of its presets, sorted without regard to case.
    std::vector<std::string> names() const;
    // The existing file of a valid name, found without regard to case; empty when there is none.
    std::string find(const std::string& name) const;
    // Reads the first size bytes of the preset's record into dst, leaving the rest of dst alone;
    // the number of bytes read, or -1 when the preset has no file.
    long load(const std::string& name, void* dst, std::size_t size) const;
    // Writes the record (creating the folder, keeping other keys of an existing file); the file
    // it wrote or tried to write goes to written. False when the name is not valid or the file
    // could not be written.
    bool save(const std::string& name, const void* src, std::size_t size, std::string& written) const;
    // Deletes the preset's file; a name without a file changes nothing. False for an invalid name.
    bool remove(const std::string& name) const;

private:
    std::string m_folder;
    std::string m_extension;
    std::string m_section;
};

// "Presets/Equalizer", ".eqp" files, [Equalizer] Settings: 48 bytes of band gains.
PresetFolder equalizerPresets();
// "Presets/Crossfade", ".crp" files, [Crossfade] Settings: the 60-byte crossfade table.
PresetFolder crossfadePresets();

}  // namespace player
