// The list of the features' profile hooks, in load order.
#include "player/profiles/profilehooks.h"

#include "player/form1.h"

#include <array>

namespace player {
namespace {

// The order a load applies the profile's sections in; each feature's line goes where its sections
// are applied. The pass-through comes first, so that a feature's own value always wins the save.
const std::array kHooks{
    ProfileHook{"pass-through", &TForm1::LoadPassThroughProfile, &TForm1::SavePassThroughProfile},
    ProfileHook{"explorer", &TForm1::LoadExplorerProfile, &TForm1::SaveExplorerProfile},
    ProfileHook{"font", &TForm1::LoadFontProfile, &TForm1::SaveFontProfile},
    // Sound: the equaliser, the five effects and the compressor gain, then ApplyEffects.
    ProfileHook{"sequencing", &TForm1::LoadSequencingProfile, &TForm1::SaveSequencingProfile},
    // Jingles.
    ProfileHook{"meters", &TForm1::LoadMetersProfile, &TForm1::SaveMetersProfile},
    ProfileHook{"columns", &TForm1::LoadColumnsProfile, &TForm1::SaveColumnsProfile},
    // Hot keys.
    ProfileHook{"window", &TForm1::LoadWindowProfile, &TForm1::SaveWindowProfile},
    // Encoder; then the schedule (TimeTable, and the schedule file named after the profile).
};

}  // namespace

std::span<const ProfileHook> profileHooks() { return kHooks; }

}  // namespace player
