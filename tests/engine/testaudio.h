// Helpers of the engine tests: generated WAV files, a window that collects the messages it gets,
// and pumping the Qt event loop until something arrives.
#pragma once

#include "platform/window.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace enginetest {

// 16-bit stereo 44.1 kHz WAV of the given interleaved samples.
void writeWav(const std::string& path, const std::vector<std::int16_t>& interleaved);
// Frames of a sine at amplitude, then frames of silence.
std::vector<std::int16_t> toneThenSilence(int toneFrames, int silenceFrames, int amplitude, double hz = 440.0);

struct Message {
    std::uint32_t msg;
    platform::WParam wParam;
    platform::LParam lParam;
};

class CollectingWindow : public platform::MessageWindow {
public:
    CollectingWindow() : MessageWindow("EngineTestWindow", "engine test") {}
    std::vector<Message> messages;

protected:
    platform::LResult windowProc(std::uint32_t msg, platform::WParam wParam, platform::LParam lParam) override
    {
        messages.push_back({msg, wParam, lParam});
        return 0;
    }
};

// Delivers queued events until pred holds or timeoutMs passed; the last value of pred.
bool pumpUntil(const std::function<bool()>& pred, int timeoutMs = 2000);
void pumpEvents();

}  // namespace enginetest
