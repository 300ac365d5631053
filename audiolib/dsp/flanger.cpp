// Flanger. The delay sweeps between delayMs and twice that, beatsPerMinute times a minute; wetDry
// is the ratio of the delayed signal to the dry one. The sample rate of the record is informative:
// the rate given to prepare() is the one processed. process() runs on the audio thread.
#include "audiolib/dsp/flanger.h"

#include "audiolib/dsp/dspmath.h"

#include <algorithm>
#include <cmath>

namespace audiolib::dsp {

namespace {
constexpr float kFeedback = 0.4f;  // deepens the notches; well inside stability
}

Flanger::Flanger() : RecordEffect(FlangerParams{1.1f, kDefaultSampleRate, 60.0f, 0.0f}) {}

FlangerParams Flanger::clampRecord(const FlangerParams& r) const
{
    FlangerParams c;
    c.delayMs = clampParam(r.delayMs, 0.1f, kMaxDelayMs / 2.0f, 1.1f);
    c.sampleRate = r.sampleRate;
    c.beatsPerMinute = clampParam(r.beatsPerMinute, 0.0f, 1000.0f, 60.0f);
    c.wetDry = clampParam(r.wetDry, 0.0f, 10.0f, 0.0f);
    return c;
}

FlangerState Flanger::makeState(const FlangerParams& r, int sampleRate) const
{
    FlangerState s;
    s.minDelay = std::max(1.0f, r.delayMs * 0.001f * static_cast<float>(sampleRate));
    s.sweep = s.minDelay;
    s.phaseStep = 2.0 * kPi * (r.beatsPerMinute / 60.0) / sampleRate;
    s.wet = r.wetDry / (1.0f + r.wetDry);
    s.dry = 1.0f - s.wet;
    return s;
}

void Flanger::allocate(int sampleRate, int channels)
{
    m_lines.resize(static_cast<std::size_t>(channels));
    const int maxDelay = static_cast<int>(std::ceil(kMaxDelayMs * 0.001 * sampleRate)) + 4;
    for (DelayLine& line : m_lines)
        line.resize(maxDelay);
}

void Flanger::render(const FlangerState& s, float* x, int frames, int channels) noexcept
{
    // The sweep is at most a few cycles a second: its delay is computed every kSweepStep frames and
    // followed linearly in between, which saves a cosine per frame.
    constexpr int kSweepStep = 32;
    double phase = m_phase;
    auto delayAt = [&s](double ph) {
        return s.minDelay + s.sweep * 0.5f * (1.0f - static_cast<float>(std::cos(ph)));
    };
    float delay = delayAt(phase);
    for (int start = 0; start < frames; start += kSweepStep) {
        const int n = std::min(kSweepStep, frames - start);
        phase += s.phaseStep * n;
        if (phase >= 2.0 * kPi)
            phase -= 2.0 * kPi * std::floor(phase / (2.0 * kPi));
        const float next = delayAt(phase);
        const float step = (next - delay) / static_cast<float>(n);
        for (int i = start; i < start + n; ++i) {
            float* f = x + static_cast<std::ptrdiff_t>(i) * channels;
            for (int c = 0; c < channels; ++c) {
                const float y = m_lines[c].readFractional(delay);
                m_lines[c].push(f[c] + kFeedback * y);
                f[c] = s.dry * f[c] + s.wet * y;
            }
            delay += step;
        }
        delay = next;
    }
    m_phase = phase;
}

void Flanger::reset() noexcept
{
    for (DelayLine& line : m_lines)
        line.clear();
    m_phase = 0.0;
}

}  // namespace audiolib::dsp
