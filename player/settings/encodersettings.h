// The profile's Encoder section: where encoding puts its files, with which preset, and whether the
// settings dialog opens before each run.
#pragma once

#include <string>

namespace platform {
class IniFile;
}

namespace player {

struct EncoderSettings {
    std::string OutDir;       // as the profile writes it; a relative name lies under the program folder
    std::string Ext;          // the extension the output gets
    std::string Command;      // the preset's plug-in, handed to the encoder under "plugins\"
    int PresetIndex = 0;      // the preset chosen in the settings dialog
    std::string PresetName;   // and its name, shown while encoding
    bool ShowParam = true;    // the settings dialog (Encoder page) opens before encoding
};

// A missing key gives its default; OutDir's is the program folder's "Temp".
EncoderSettings readEncoderSettings(const platform::IniFile& ini);
void writeEncoderSettings(platform::IniFile& ini, const EncoderSettings& settings);

}  // namespace player
