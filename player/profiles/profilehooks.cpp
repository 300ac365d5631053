// The list of the features' profile hooks, in load order.
#include "player/profiles/profilehooks.h"

#include "player/form1.h"

#include <array>

namespace player {
namespace {

const std::array kHooks{
    ProfileHook{"sequencing", &TForm1::LoadSequencingProfile, &TForm1::SaveSequencingProfile},
    ProfileHook{"jingles", &TForm1::LoadJinglesProfile, &TForm1::SaveJinglesProfile},
    ProfileHook{"meters", &TForm1::LoadMetersProfile, &TForm1::SaveMetersProfile},
    ProfileHook{"hotkeys", &TForm1::LoadHotKeysProfile, &TForm1::SaveHotKeysProfile},
    ProfileHook{"window", &TForm1::LoadWindowProfile, &TForm1::SaveWindowProfile},
    ProfileHook{"schedule", &TForm1::LoadScheduleProfile, &TForm1::SaveScheduleProfile},
};

}  // namespace

std::span<const ProfileHook> profileHooks() { return kHooks; }

}  // namespace player
