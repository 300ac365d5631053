// Output through PortAudio: the system's outputs as device numbers 1 (default) and 2.. (others).
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "audiolib/device.h"

namespace audiolib {

struct PaOutputInfo {
    int paIndex = -1;
    std::string name;
    // What it plays to (audiolib/alsaendpoint.h): two outputs with one endpoint are one output.
    std::string endpoint;
    int maxChannels = 0;
    double defaultRate = 0;
    int latencyMs = 0;
};

// PortAudio is not thread-safe: every call into it holds this lock. Stream callbacks never take it.
std::recursive_mutex& portAudioLock();
// Initialises PortAudio once (its and ALSA's start-up chatter kept off the terminal). False when
// PortAudio cannot start.
bool portAudioReady();
// Reads the system's outputs again (PortAudio ends and starts anew), so that a device plugged in or
// a sound server started since the last reading is listed. Only while none of our output streams
// is open, as ending PortAudio would close them; false when one is, or PortAudio cannot start.
bool portAudioReread();
// Outputs in our numbering: [0] is device 1 (the default output), then the others.
std::vector<PaOutputInfo> portAudioOutputs();
// An output that pulls device's mix from the PortAudio callback; it opens on open() or start().
std::unique_ptr<Output> makePortAudioOutput(Device* device, const PaOutputInfo& info);

}  // namespace audiolib
