// Stereo echo with feedback. process() runs on the audio thread: no allocation, no locks.
#include "audiolib/dsp/echo.h"

#include "audiolib/dsp/dspmath.h"

#include <cmath>

namespace audiolib::dsp {

namespace {
// Full feedback would let the echoes pile up without end.
constexpr float kMaxFeedback = 0.98f;
}  // namespace

Echo::Echo() : RecordEffect(EchoParams{0.0f, 0.0f, 333.0f, 333.0f, 0}) {}

EchoParams Echo::clampRecord(const EchoParams& r) const
{
    EchoParams c;
    c.wetDryPercent = clampParam(r.wetDryPercent, 0.0f, 100.0f, 0.0f);
    c.feedbackPercent = clampParam(r.feedbackPercent, 0.0f, 100.0f, 0.0f);
    c.leftDelayMs = clampParam(r.leftDelayMs, 1.0f, kMaxDelayMs, 1.0f);
    c.rightDelayMs = clampParam(r.rightDelayMs, 1.0f, kMaxDelayMs, 1.0f);
    c.swapDelays = r.swapDelays != 0 ? -1 : 0;
    return c;
}

EchoState Echo::makeState(const EchoParams& r, int sampleRate) const
{
    EchoState s;
    s.wet = r.wetDryPercent / 100.0f;
    s.dry = 1.0f - s.wet;
    s.feedback = std::min(r.feedbackPercent / 100.0f, kMaxFeedback);
    s.leftDelay = std::max(1, static_cast<int>(std::lround(r.leftDelayMs * 0.001 * sampleRate)));
    s.rightDelay = std::max(1, static_cast<int>(std::lround(r.rightDelayMs * 0.001 * sampleRate)));
    s.swap = r.swapDelays != 0;
    return s;
}

void Echo::allocate(int sampleRate, int channels)
{
    m_lines.resize(static_cast<std::size_t>(channels));
    const int maxDelay = static_cast<int>(std::ceil(kMaxDelayMs * 0.001 * sampleRate)) + 1;
    for (DelayLine& line : m_lines)
        line.resize(maxDelay);
}

void Echo::render(const EchoState& s, float* x, int frames, int channels) noexcept
{
    for (int i = 0; i < frames; ++i) {
        float* f = x + static_cast<std::ptrdiff_t>(i) * channels;
        if (channels >= 2 && s.swap) {
            // Ping-pong on the first pair: each side's repeat is fed into the other side's line.
            const float yl = m_lines[0].read(s.leftDelay);
            const float yr = m_lines[1].read(s.rightDelay);
            m_lines[0].push(f[0] + s.feedback * yr);
            m_lines[1].push(f[1] + s.feedback * yl);
            f[0] = s.dry * f[0] + s.wet * yl;
            f[1] = s.dry * f[1] + s.wet * yr;
            for (int c = 2; c < channels; ++c) {
                const float y = m_lines[c].read(c % 2 ? s.rightDelay : s.leftDelay);
                m_lines[c].push(f[c] + s.feedback * y);
                f[c] = s.dry * f[c] + s.wet * y;
            }
            continue;
        }
        for (int c = 0; c < channels; ++c) {
            const float y = m_lines[c].read(c % 2 ? s.rightDelay : s.leftDelay);
            m_lines[c].push(f[c] + s.feedback * y);
            f[c] = s.dry * f[c] + s.wet * y;
        }
    }
}

void Echo::reset() noexcept
{
    for (DelayLine& line : m_lines)
        line.clear();
}

}  // namespace audiolib::dsp
