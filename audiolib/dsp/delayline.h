// A circular delay line of floats, sized on the control thread, read and written on the audio
// thread without allocation.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

namespace audiolib::dsp {

class DelayLine {
public:
    // Room for delays up to maxDelay samples (control thread).
    void resize(int maxDelay)
    {
        m_buffer.assign(static_cast<std::size_t>(std::max(maxDelay, 1)) + 2, 0.0f);
        m_write = 0;
    }
    void clear() noexcept { std::fill(m_buffer.begin(), m_buffer.end(), 0.0f); }
    int capacity() const noexcept { return static_cast<int>(m_buffer.size()) - 2; }

    // The sample written `delay` pushes ago (1 .. capacity()).
    float read(int delay) const noexcept
    {
        const int size = static_cast<int>(m_buffer.size());
        delay = std::clamp(delay, 1, size - 2);
        int idx = m_write - delay;
        if (idx < 0)
            idx += size;
        return m_buffer[static_cast<std::size_t>(idx)];
    }
    // Linear interpolation between whole delays, for swept delays.
    float readFractional(float delay) const noexcept
    {
        delay = std::clamp(delay, 1.0f, static_cast<float>(capacity() - 1));
        const int whole = static_cast<int>(delay);
        const float frac = delay - static_cast<float>(whole);
        return read(whole) + frac * (read(whole + 1) - read(whole));
    }
    // Non-finite input is stored as silence: with feedback it would otherwise circulate for ever.
    void push(float v) noexcept
    {
        if (!std::isfinite(v))
            v = 0.0f;
        m_buffer[static_cast<std::size_t>(m_write)] = v;
        if (++m_write == static_cast<int>(m_buffer.size()))
            m_write = 0;
    }

private:
    std::vector<float> m_buffer{0.0f, 0.0f, 0.0f};
    int m_write = 0;
};

}  // namespace audiolib::dsp
