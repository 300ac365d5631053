// The list of the features' profile hooks, in load order.
#include "player/profiles/profilehooks.h"

#include "player/form1.h"

#include <array>

namespace player {
namespace {

// The order a load applies the profile's sections in; each feature's line goes where its sections
// are applied.
const std::array kHooks{
    ProfileHook{"explorer", &TForm1::LoadExplorerProfile, &TForm1::SaveExplorerProfile},
    ProfileHook{"font", &TForm1::LoadFontProfile, &TForm1::SaveFontProfile},
    ProfileHook{"notes", &TForm1::LoadNotesProfile, &TForm1::SaveNotesProfile},
    // The equaliser, the five effects and the compressor gain, then ApplyEffects; the crossfade
    // preset's name and the mute level.
    ProfileHook{"sound", &TForm1::LoadSoundProfile, &TForm1::SaveSoundProfile},
    ProfileHook{"sequencing", &TForm1::LoadSequencingProfile, &TForm1::SaveSequencingProfile},
    ProfileHook{"jingles", &TForm1::LoadJinglesProfile, &TForm1::SaveJinglesProfile},
    ProfileHook{"meters", &TForm1::LoadMetersProfile, &TForm1::SaveMetersProfile},
    ProfileHook{"columns", &TForm1::LoadColumnsProfile, &TForm1::SaveColumnsProfile},
    ProfileHook{"hotkeys", &TForm1::LoadHotKeysProfile, &TForm1::SaveHotKeysProfile},
    ProfileHook{"monitor", &TForm1::LoadMonitorProfile, &TForm1::SaveMonitorProfile},
    ProfileHook{"window", &TForm1::LoadWindowProfile, &TForm1::SaveWindowProfile},
    ProfileHook{"encoder", &TForm1::LoadEncoderProfile, &TForm1::SaveEncoderProfile},
    ProfileHook{"schedule", &TForm1::LoadScheduleProfile, &TForm1::SaveScheduleProfile},
};

}  // namespace

std::span<const ProfileHook> profileHooks() { return kHooks; }

}  // namespace player
