// The player's own settings, "player.ini" [Options], read once before any window exists.
#pragma once

#include <string>

namespace player {

struct PlayerIni {
    bool Comment = false;
    bool AllowSort = false;
    std::string FadeSign = "*";
    int VisUpdateDelay = 20;
    int Threshold = 500;
    bool NoCopy = true;
    bool ShellExt = true;
};

// A missing file or key gives the default.
PlayerIni ReadPlayerIni(const std::string& path);

}  // namespace player
