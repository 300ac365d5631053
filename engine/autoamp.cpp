// The automatic level control's per-sample arithmetic. Runs on the audio library's mixing
// thread: no allocation, no locks, no I/O here.
#include "engine/autoamp.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace engine {

namespace {

constexpr double kProductLimit = 1.0e12;

}  // namespace

void AutoAmpState::reset(const AutoAmpSettings& settings)
{
    target.store(settings.target, std::memory_order_relaxed);
    quiet.store(settings.quiet, std::memory_order_relaxed);
    rate.store(settings.rate, std::memory_order_relaxed);
    delay.store(settings.delay, std::memory_order_relaxed);
    gain.store(1.0f, std::memory_order_relaxed);
    counter.store(0, std::memory_order_relaxed);
    peak.store(0, std::memory_order_relaxed);
    quietRun.store(0, std::memory_order_relaxed);
    resetPending.store(true, std::memory_order_release);
}

void autoAmpProcess(std::int16_t* samples, std::size_t count, AutoAmpState& state) noexcept
{
    const std::int32_t target = state.target.load(std::memory_order_relaxed);
    const double rate = state.rate.load(std::memory_order_relaxed);
    // Fresh profiles hold all-zero settings: there is no level to approach, and every step
    // below would divide by it. A rate that is no number comes only from a damaged preset.
    if (target <= 0 || count == 0 || !std::isfinite(rate))
        return;

    float gain;
    std::int32_t counter;
    std::int32_t peak;
    std::int32_t quietRun;
    if (state.resetPending.exchange(false, std::memory_order_acq_rel)) {
        gain = 1.0f;
        counter = peak = quietRun = 0;
    } else {
        gain = state.gain.load(std::memory_order_relaxed);
        counter = state.counter.load(std::memory_order_relaxed);
        peak = state.peak.load(std::memory_order_relaxed);
        quietRun = state.quietRun.load(std::memory_order_relaxed);
    }
    const std::int32_t window = state.window.load(std::memory_order_relaxed);
    const std::int32_t quiet = state.quiet.load(std::memory_order_relaxed);

    for (std::size_t i = 0; i < count; ++i) {
        const std::int32_t s = samples[i];
        if (!(gain >= 0.0f))  // a negative gain would invert the signal (and NaN is no gain)
            gain = 0.0f;
        // 64 bits, and bounded before the conversion: a gain ridden absurdly high must not
        // overflow.
        double product = std::nearbyint(static_cast<double>(s) * gain);
        if (std::isnan(product))
            product = 0;
        std::int64_t out = static_cast<std::int64_t>(std::clamp(product, -kProductLimit, kProductLimit));
        const std::int64_t m = out < 0 ? -out : out;

        if (std::abs(s) < quiet) {
            if (quietRun < std::numeric_limits<std::int32_t>::max())
                ++quietRun;
        } else {
            quietRun = 0;
        }

        if (m < target) {
            if (m > peak)
                peak = static_cast<std::int32_t>(m);
            // With no window (a delay of 0) the count never meets it; hours of quiet line input
            // must not run it past the top.
            if (counter < std::numeric_limits<std::int32_t>::max())
                ++counter;
            if (counter == window) {
                if (quietRun > window)
                    gain = static_cast<float>(gain + 10.0 * rate * (1.0 - gain));
                else if (peak != 0)
                    gain = static_cast<float>(gain + static_cast<double>(target) * rate / peak);
                peak = 0;
                counter = 0;
            }
        } else {
            gain = static_cast<float>(gain - 2.0 * rate * static_cast<double>(m) / target);
            peak = 0;
            counter = 0;
        }
        // A target above full scale lets the quiet branch produce values that do not fit either.
        if (out > 32767)
            out = 32767;
        else if (out < -32768)
            out = -32768;
        samples[i] = static_cast<std::int16_t>(out);
    }

    // A reset that arrived while this block ran wins: its values stay and the next block starts
    // from them.
    if (state.resetPending.load(std::memory_order_acquire))
        return;
    state.gain.store(gain, std::memory_order_relaxed);
    state.counter.store(counter, std::memory_order_relaxed);
    state.peak.store(peak, std::memory_order_relaxed);
    state.quietRun.store(quietRun, std::memory_order_relaxed);
}

void AutoAmpProc(std::uint32_t /*handle*/, std::uint32_t /*channel*/, void* buffer, std::uint32_t lengthBytes,
                 void* user) noexcept
{
    if (!buffer || !user)
        return;
    autoAmpProcess(static_cast<std::int16_t*>(buffer), lengthBytes / 2, *static_cast<AutoAmpState*>(user));
}

}  // namespace engine
