// The list of the features' profile hooks, in load order.
#include "player/profiles/profilehooks.h"

#include "player/form1.h"

#include <array>

namespace player {
namespace {

const std::array kHooks{
    ProfileHook{"sequencing", &TForm1::LoadSequencingProfile, &TForm1::SaveSequencingProfile},
    ProfileHook{"meters", &TForm1::LoadMetersProfile, &TForm1::SaveMetersProfile},
    ProfileHook{"window", &TForm1::LoadWindowProfile, &TForm1::SaveWindowProfile},
};

}  // namespace

std::span<const ProfileHook> profileHooks() { return kHooks; }

}  // namespace player
