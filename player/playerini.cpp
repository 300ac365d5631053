// Reads "player.ini".
#include "player/playerini.h"

#include "platform/inifile.h"

#include <algorithm>

namespace player {

PlayerIni ReadPlayerIni(const std::string& path)
{
    const platform::IniFile ini(path);
    PlayerIni s;
    s.Comment = ini.readBool("Options", "Comment", s.Comment);
    s.AllowSort = ini.readBool("Options", "AllowSort", s.AllowSort);
    s.FadeSign = ini.readString("Options", "FadeSign", s.FadeSign);
    // A zero or negative interval would make the spectrum timer spin; one of more than a second
    // is no display.
    s.VisUpdateDelay = std::clamp(ini.readInteger("Options", "VisUpdateDelay", s.VisUpdateDelay), 1, kMaxVisUpdateDelay);
    // A 16-bit amplitude.
    s.Threshold = std::clamp(ini.readInteger("Options", "Threshold", s.Threshold), 0, kMaxThreshold);
    s.NoCopy = ini.readBool("Options", "NoCopy", s.NoCopy);
    s.ShellExt = ini.readBool("Options", "ShellExt", s.ShellExt);
    return s;
}

}  // namespace player
