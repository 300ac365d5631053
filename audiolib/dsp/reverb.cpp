// Comb/allpass reverb. The loop gain of each comb follows from its length and the reverb time
// (60 dB of decay per reverb time); its loop low-pass makes high frequencies die away in
// reverb time x ratio. process() runs on the audio thread: no allocation, no locks.
#include "audiolib/dsp/reverb.h"

#include "audiolib/dsp/dspmath.h"

#include <algorithm>
#include <cmath>

namespace audiolib::dsp {

namespace {
// Lengths in frames at 44100 Hz: mutually prime, spread over 25..36 ms for the combs.
constexpr int kCombBase[kReverbCombs] = {1103, 1171, 1237, 1303, 1373, 1433, 1493, 1559};
constexpr int kAllpassBase[kReverbAllpasses] = {557, 443, 347, 227};
constexpr int kStereoSpread = 23;  // the odd channels' lines are this much longer: decorrelated sides
constexpr float kAllpassGain = 0.5f;
// Scales the comb bank's input: at 0 dB of mix a one-second reverb of broadband sound sits about
// 7 dB under the dry signal, a three-second one about 3 dB under it.
constexpr float kCombInputGain = 0.1f;

int scaled(int base, int channel, int sampleRate)
{
    const int len = base + (channel % 2 ? kStereoSpread : 0);
    return std::max(1, static_cast<int>(std::lround(static_cast<double>(len) * sampleRate / 44100.0)));
}
}  // namespace

Reverb::Reverb() : RecordEffect(ReverbParams{0.0f, -96.0f, 1000.0f, 0.5f}) {}

int Reverb::combLength(int index, int channel, int sampleRate) { return scaled(kCombBase[index], channel, sampleRate); }
int Reverb::allpassLength(int index, int channel, int sampleRate) { return scaled(kAllpassBase[index], channel, sampleRate); }

ReverbParams Reverb::clampRecord(const ReverbParams& r) const
{
    ReverbParams c;
    c.inputGainDb = clampParam(r.inputGainDb, -96.0f, 0.0f, 0.0f);
    c.reverbMixDb = clampParam(r.reverbMixDb, -96.0f, 0.0f, -96.0f);
    c.reverbTimeMs = clampParam(r.reverbTimeMs, 0.001f, 10000.0f, 1000.0f);
    c.hfTimeRatio = clampParam(r.hfTimeRatio, 0.001f, 0.999f, 0.5f);
    return c;
}

ReverbState Reverb::makeState(const ReverbParams& r, int sampleRate) const
{
    ReverbState s;
    s.inputGain = static_cast<float>(dbToGain(r.inputGainDb));
    s.wetGain = r.reverbMixDb <= -96.0f ? 0.0f : static_cast<float>(dbToGain(r.reverbMixDb));
    const double timeFrames = r.reverbTimeMs * 0.001 * sampleRate;
    for (int k = 0; k < kReverbCombs; ++k) {
        // Channel 0's length; the spread channels differ by under 2 %, close enough for the decay.
        const double len = combLength(k, 0, sampleRate);
        const double gLow = std::pow(10.0, -3.0 * len / timeFrames);
        const double gHigh = std::pow(10.0, -3.0 * len / (timeFrames * r.hfTimeRatio));
        // Loop filter g(1-d)/(1 - d z^-1): gain gLow at DC, gHigh at Nyquist.
        s.combGain[k] = static_cast<float>(gLow);
        s.combDamp[k] = gLow + gHigh > 0.0 ? static_cast<float>((gLow - gHigh) / (gLow + gHigh)) : 0.0f;
    }
    return s;
}

void Reverb::allocate(int sampleRate, int channels)
{
    m_channels.assign(static_cast<std::size_t>(channels), Channel{});
    for (int c = 0; c < channels; ++c) {
        Channel& ch = m_channels[static_cast<std::size_t>(c)];
        for (int k = 0; k < kReverbCombs; ++k)
            ch.combs[k].buffer.assign(static_cast<std::size_t>(combLength(k, c, sampleRate)), 0.0f);
        for (int k = 0; k < kReverbAllpasses; ++k)
            ch.allpasses[k].buffer.assign(static_cast<std::size_t>(allpassLength(k, c, sampleRate)), 0.0f);
    }
}

void Reverb::render(const ReverbState& s, float* x, int frames, int channels) noexcept
{
    for (int c = 0; c < channels; ++c) {
        Channel& ch = m_channels[static_cast<std::size_t>(c)];
        float* p = x + c;
        for (int i = 0; i < frames; ++i, p += channels) {
            float in = *p * s.inputGain;
            if (!std::isfinite(in))
                in = 0.0f;
            const float feed = in * kCombInputGain;
            float acc = 0.0f;
            for (int k = 0; k < kReverbCombs; ++k) {
                Comb& comb = ch.combs[k];
                const float out = comb.buffer[static_cast<std::size_t>(comb.pos)];
                const float g = s.combGain[k];
                const float d = s.combDamp[k];
                comb.lowpass = g * (1.0f - d) * out + d * comb.lowpass;
                comb.buffer[static_cast<std::size_t>(comb.pos)] = feed + comb.lowpass;
                if (++comb.pos == static_cast<int>(comb.buffer.size()))
                    comb.pos = 0;
                acc += out;
            }
            for (Allpass& ap : ch.allpasses) {
                const float buffered = ap.buffer[static_cast<std::size_t>(ap.pos)];
                const float out = buffered - kAllpassGain * acc;
                ap.buffer[static_cast<std::size_t>(ap.pos)] = acc + kAllpassGain * out;
                if (++ap.pos == static_cast<int>(ap.buffer.size()))
                    ap.pos = 0;
                acc = out;
            }
            *p = in + s.wetGain * acc;
        }
        // Let very quiet tails reach true zero instead of lingering as denormals.
        for (Comb& comb : ch.combs)
            comb.lowpass = sanitizeState(comb.lowpass);
    }
}

void Reverb::reset() noexcept
{
    for (Channel& ch : m_channels) {
        for (Comb& comb : ch.combs) {
            std::fill(comb.buffer.begin(), comb.buffer.end(), 0.0f);
            comb.lowpass = 0.0f;
        }
        for (Allpass& ap : ch.allpasses)
            std::fill(ap.buffer.begin(), ap.buffer.end(), 0.0f);
    }
}

}  // namespace audiolib::dsp
