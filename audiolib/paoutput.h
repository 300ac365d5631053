// Output through PortAudio: the system's outputs as device numbers 1 (default) and 2.. (others).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "audiolib/device.h"

namespace audiolib {

struct PaOutputInfo {
    int paIndex = -1;
    std::string name;
    int maxChannels = 0;
    double defaultRate = 0;
    int latencyMs = 0;
};

// Initialises PortAudio once (its and ALSA's start-up chatter kept off the terminal). False when
// PortAudio cannot start.
bool portAudioReady();
// Outputs in our numbering: [0] is device 1 (the default output), then the others.
std::vector<PaOutputInfo> portAudioOutputs();
// An output that pulls device's mix from the PortAudio callback; nullptr when it cannot open.
std::unique_ptr<Output> openPortAudioOutput(Device* device, const PaOutputInfo& info);

}  // namespace audiolib
