// Second echo: out = dry x + wet d, where d is the line's output and the line takes x + feedback d.
// The mixes are taken as given (a record of zeros mutes, as its values say); only feedback is kept
// below unity so the loop cannot grow. process() runs on the audio thread.
#include "audiolib/dsp/echo2.h"

#include "audiolib/dsp/dspmath.h"

#include <cmath>

namespace audiolib::dsp {

namespace {
constexpr float kMaxFeedback = 0.98f;
constexpr float kMinDelaySeconds = 0.001f;
}  // namespace

Echo2::Echo2() : RecordEffect(Echo2Params{1.0f, 0.0f, 0.0f, 0.02f}) {}

Echo2Params Echo2::clampRecord(const Echo2Params& r) const
{
    Echo2Params c;
    c.dryMix = clampParam(r.dryMix, -2.0f, 2.0f, 1.0f);
    c.wetMix = clampParam(r.wetMix, -2.0f, 2.0f, 0.0f);
    c.feedback = clampParam(r.feedback, -1.0f, 1.0f, 0.0f);
    c.delaySeconds = clampParam(r.delaySeconds, kMinDelaySeconds, kMaxDelaySeconds, 0.02f);
    return c;
}

Echo2State Echo2::makeState(const Echo2Params& r, int sampleRate) const
{
    Echo2State s;
    s.dry = r.dryMix;
    s.wet = r.wetMix;
    s.feedback = std::clamp(r.feedback, -kMaxFeedback, kMaxFeedback);
    s.delay = std::max(1, static_cast<int>(std::lround(r.delaySeconds * static_cast<double>(sampleRate))));
    return s;
}

void Echo2::allocate(int sampleRate, int channels)
{
    m_lines.resize(static_cast<std::size_t>(channels));
    const int maxDelay = static_cast<int>(std::ceil(kMaxDelaySeconds * sampleRate)) + 1;
    for (DelayLine& line : m_lines)
        line.resize(maxDelay);
}

void Echo2::render(const Echo2State& s, float* x, int frames, int channels) noexcept
{
    for (int c = 0; c < channels; ++c) {
        DelayLine& line = m_lines[c];
        float* p = x + c;
        for (int i = 0; i < frames; ++i, p += channels) {
            const float d = line.read(s.delay);
            line.push(*p + s.feedback * d);
            *p = s.dry * *p + s.wet * d;
        }
    }
}

void Echo2::reset() noexcept
{
    for (DelayLine& line : m_lines)
        line.clear();
}

}  // namespace audiolib::dsp
