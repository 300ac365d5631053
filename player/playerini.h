// The player's own settings, "player.ini" [Options], read once before any window exists.
#pragma once

#include <string>

namespace player {

constexpr int kMaxVisUpdateDelay = 1000;  // ms
constexpr int kMaxThreshold = 32767;

struct PlayerIni {
    bool Comment = false;
    bool AllowSort = false;
    std::string FadeSign = "*";
    int VisUpdateDelay = 20;
    int Threshold = 500;
    bool NoCopy = true;
    bool ShellExt = true;
};

// A missing file or key gives the default; numbers are cut to their range (VisUpdateDelay 1 to
// kMaxVisUpdateDelay, Threshold 0 to kMaxThreshold).
PlayerIni ReadPlayerIni(const std::string& path);

}  // namespace player
