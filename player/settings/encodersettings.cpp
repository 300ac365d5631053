// The Encoder section of a profile, and TForm1's hook for it.
#include "player/settings/encodersettings.h"

#include "platform/inifile.h"
#include "platform/programfolder.h"
#include "player/form1.h"
#include "player/profiles/profilehooks.h"
#include "player/settings/encoderpresets.h"

#include <algorithm>

namespace player {

EncoderSettings readEncoderSettings(const platform::IniFile& ini)
{
    EncoderSettings s;
    s.OutDir = ini.readString("Encoder", "OutDir", platform::programPath("Temp"));
    s.Ext = ini.readString("Encoder", "Ext", "");
    s.Command = ini.readString("Encoder", "Command", "");
    // -1: none chosen.
    s.PresetIndex = std::clamp(ini.readInteger("Encoder", "PresetIndex", 0), -1, kMaxEncoderPresets - 1);
    s.PresetName = ini.readString("Encoder", "PresetName", "");
    s.ShowParam = ini.readBool("Encoder", "ShowParam", true);
    return s;
}

void writeEncoderSettings(platform::IniFile& ini, const EncoderSettings& s)
{
    ini.writeString("Encoder", "OutDir", s.OutDir);
    ini.writeString("Encoder", "Ext", s.Ext);
    ini.writeString("Encoder", "Command", s.Command);
    ini.writeInteger("Encoder", "PresetIndex", s.PresetIndex);
    ini.writeString("Encoder", "PresetName", s.PresetName);
    ini.writeBool("Encoder", "ShowParam", s.ShowParam);
}

void TForm1::LoadEncoderProfile(const platform::IniFile& ini, const ProfileLoad&)
{
    Encoder = readEncoderSettings(ini);
}

void TForm1::SaveEncoderProfile(platform::IniFile& ini)
{
    writeEncoderSettings(ini, Encoder);
}

}  // namespace player
