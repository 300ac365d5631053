// The automatic level control: a gain ridden per sample so that a deck's output approaches a
// target level, recovers slowly to unity after quiet stretches and drops at once on loud peaks.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace engine {

// Set by the owner and stored in presets and profiles byte for byte (16 bytes).
struct AutoAmpSettings {
    std::int32_t target;  // level the output should approach, 16-bit amplitude
    std::int32_t quiet;   // samples below this count as quiet
    float rate;           // how fast the gain moves
    float delay;          // seconds per adjustment window
};
static_assert(sizeof(AutoAmpSettings) == 16 && std::is_trivially_copyable_v<AutoAmpSettings>);

// Working record of one deck. The audio thread runs AutoAmpProc over it while the user-interface
// thread reads the gain and counters, resets it and sets the window: every field is atomic.
struct AutoAmpState {
    std::atomic<float> gain{1.0f};
    std::atomic<std::int32_t> window{0};  // samples between adjustments (set at every start)
    std::atomic<std::int32_t> counter{0};
    std::atomic<std::int32_t> peak{0};
    std::atomic<std::int32_t> quietRun{0};
    std::atomic<std::int32_t> target{0};
    std::atomic<std::int32_t> quiet{0};
    std::atomic<float> rate{0.0f};
    std::atomic<float> delay{0.0f};
    // Set by reset(); the audio thread starts its next block from the reset values and does not
    // write back a block it was processing while the reset happened.
    std::atomic<bool> resetPending{false};

    // Gain 1.0, counters 0, target/quiet/rate/delay from the settings.
    void reset(const AutoAmpSettings& settings);
};

// Processes count signed 16-bit samples in place. A target of 0 or less leaves them untouched.
// Real-time: no allocation, no locks, one pass over the block.
void autoAmpProcess(std::int16_t* samples, std::size_t count, AutoAmpState& state) noexcept;

// The DSP procedure the library calls with each block of a deck's 16-bit samples (lengthBytes
// bytes); user is the deck's AutoAmpState.
void AutoAmpProc(std::uint32_t handle, std::uint32_t channel, void* buffer, std::uint32_t lengthBytes,
                 void* user) noexcept;

}  // namespace engine
