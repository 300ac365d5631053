// Compressor: peak envelope (attack/release), soft-knee gain computer evaluated once per small
// block and ramped across it, which keeps the cost per frame low, then the make-up gain.
// process() runs on the audio thread: no allocation, no locks.
#include "audiolib/dsp/compressor.h"

#include "audiolib/dsp/dspmath.h"

#include <algorithm>
#include <cmath>

namespace audiolib::dsp {

namespace {
constexpr int kControlBlock = 16;
constexpr float kMakeupGainGlideMs = 5.0f;  // time constant of make-up gain changes

// One-pole smoothing coefficient for a time constant in ms.
float coefficient(float ms, int sampleRate) { return std::exp(-1.0f / (0.001f * ms * static_cast<float>(sampleRate))); }
}  // namespace

CompressorParams Compressor::defaults()
{
    // A gentle broadcast-style setting: catches peaks above -10 dBFS, fast attack, slow release.
    return CompressorParams{0.0f, -10.0f, 3.0f, 5.0f, 250.0f, 6.0f};
}

Compressor::Compressor() : RecordEffect(defaults()) {}

CompressorParams Compressor::clampRecord(const CompressorParams& r) const
{
    const CompressorParams d = defaults();
    CompressorParams c;
    c.gainDb = clampParam(r.gainDb, -60.0f, 60.0f, d.gainDb);
    // The remaining fields come back as they were read unless a caller filled them itself; a
    // zero where zero is meaningless (ratio, times) takes the default.
    c.thresholdDb = clampParam(r.thresholdDb, -60.0f, 0.0f, d.thresholdDb);
    c.ratio = (std::isfinite(r.ratio) && r.ratio >= 1.0f) ? std::min(r.ratio, 20.0f) : d.ratio;
    c.attackMs = (std::isfinite(r.attackMs) && r.attackMs > 0.0f) ? std::clamp(r.attackMs, 0.01f, 500.0f) : d.attackMs;
    c.releaseMs = (std::isfinite(r.releaseMs) && r.releaseMs > 0.0f) ? std::clamp(r.releaseMs, 1.0f, 5000.0f) : d.releaseMs;
    c.kneeDb = clampParam(r.kneeDb, 0.0f, 24.0f, d.kneeDb);
    return c;
}

CompressorState Compressor::makeState(const CompressorParams& r, int sampleRate) const
{
    CompressorState s;
    s.makeupGain = static_cast<float>(dbToGain(r.gainDb));
    s.thresholdDb = r.thresholdDb;
    s.slope = 1.0f / r.ratio - 1.0f;
    s.kneeDb = r.kneeDb;
    const float glideFrames = 0.001f * kMakeupGainGlideMs * static_cast<float>(sampleRate);
    s.makeupGainCoef = std::exp(-static_cast<float>(kControlBlock) / glideFrames);
    s.attackCoef = std::pow(coefficient(r.attackMs, sampleRate), static_cast<float>(kControlBlock));
    s.releaseCoef = std::pow(coefficient(r.releaseMs, sampleRate), static_cast<float>(kControlBlock));
    return s;
}

float Compressor::gainReductionDb(const CompressorState& s, float levelDb) noexcept
{
    const float over = levelDb - s.thresholdDb;
    const float halfKnee = s.kneeDb / 2.0f;
    if (over <= -halfKnee)
        return 0.0f;
    if (over < halfKnee) {
        const float x = over + halfKnee;
        return s.slope * x * x / (2.0f * s.kneeDb);
    }
    return s.slope * over;
}

void Compressor::render(const CompressorState& s, float* x, int frames, int channels) noexcept
{
    const float kneeStart = std::pow(10.0f, (s.thresholdDb - s.kneeDb / 2.0f) / 20.0f);
    float env = m_envelope;
    float gain = m_gain;
    // A new make-up gain (the deck's mute is a -30 dB step) glides in over a few ms instead of
    // cutting the waveform; the first block after a reset starts at it directly.
    float makeup = m_makeupGain < 0.0f ? s.makeupGain : m_makeupGain;
    for (int start = 0; start < frames; start += kControlBlock) {
        const int n = std::min(kControlBlock, frames - start);
        float* block = x + static_cast<std::ptrdiff_t>(start) * channels;
        float nextMakeup = s.makeupGain + s.makeupGainCoef * (makeup - s.makeupGain);
        if (std::fabs(nextMakeup - s.makeupGain) < 1e-6f * s.makeupGain)
            nextMakeup = s.makeupGain;
        // Envelope: one step per block from the block's peak at the input. The block (16 frames,
        // 0.4 ms) is far shorter than any attack, so the stepped envelope follows the per-frame
        // one closely at a fraction of the cost. The make-up gain stays out of it: applied before
        // the gain computer, part of a cut on loud material would be given back.
        float peak = 0.0f;
        for (int i = 0; i < n * channels; ++i)
            peak = std::max(peak, std::fabs(block[i]));
        if (!(peak == peak))  // NaN input
            peak = 0.0f;
        float coef = peak > env ? s.attackCoef : s.releaseCoef;
        if (n != kControlBlock)
            coef = std::pow(coef, static_cast<float>(n) / kControlBlock);
        env = peak + coef * (env - peak);
        float target = 1.0f;
        if (env > kneeStart)  // quiet passages skip the logarithms
            target = std::pow(10.0f, gainReductionDb(s, 20.0f * std::log10(env)) / 20.0f);
        // Ramp the total gain from the last block's to this one's so gain steps never click.
        float g = gain * makeup;
        const float step = (target * nextMakeup - g) / static_cast<float>(n);
        for (int i = 0; i < n; ++i) {
            g += step;
            for (int c = 0; c < channels; ++c)
                block[i * channels + c] *= g;
        }
        gain = target;
        makeup = nextMakeup;
    }
    m_envelope = std::isfinite(env) ? env : 0.0f;
    m_gain = gain;
    m_makeupGain = makeup;
}

void Compressor::reset() noexcept
{
    m_envelope = 0.0f;
    m_gain = 1.0f;
    m_makeupGain = -1.0f;
}

}  // namespace audiolib::dsp
