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
    // A zero or negative interval would make the spectrum timer spin.
    s.VisUpdateDelay = std::max(1, ini.readInteger("Options", "VisUpdateDelay", s.VisUpdateDelay));
    s.Threshold = ini.readInteger("Options", "Threshold", s.Threshold);
    s.NoCopy = ini.readBool("Options", "NoCopy", s.NoCopy);
    s.ShellExt = ini.readBool("Options", "ShellExt", s.ShellExt);
    return s;
}

}  // namespace player
