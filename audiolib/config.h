// Process-wide options of the library (buffer length, global stream volume, volume curve).
#pragma once

#include <atomic>

namespace audiolib {

struct Config {
    std::atomic<int> bufferMs{500};
    std::atomic<int> streamVolume{100};
    std::atomic<int> logCurve{0};
};

Config& config();

}  // namespace audiolib
