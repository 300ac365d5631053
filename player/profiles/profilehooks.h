// The features' shares of a profile: each feature that keeps settings in a profile has one load
// and one save function on TForm1 and one entry in the list of profileHooks(), in the order a
// load applies them. A feature adds its entry there; LoadProfile and SaveProfile stay as they are.
#pragma once

#include <span>
#include <string>

namespace platform {
class IniFile;
}

namespace player {

class TForm1;

// What a load knows besides the file's values.
struct ProfileLoad {
    std::string path;          // the profile file as given
    bool defaultProfile = false;  // its file name is "default.prf" in any case (setsMasterVolume)
};

struct ProfileHook {
    const char* name;  // the feature, for messages and tests
    void (TForm1::*load)(const platform::IniFile& ini, const ProfileLoad& how);
    // Writes the feature's keys; where they land in the file is the layout's business
    // (profilelayout.h), so a save may write them in any order.
    void (TForm1::*save)(platform::IniFile& ini);
};

// In load order; a save runs them in the same order.
std::span<const ProfileHook> profileHooks();

}  // namespace player
