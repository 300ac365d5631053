// Tempo stream source over a decode stream.
#include "audiolib/temposource.h"

#include <algorithm>
#include <cmath>

#include "audiolib/channel.h"

namespace audiolib {

namespace {
constexpr int kFeedFrames = 2048;
}

TempoSource::TempoSource(std::shared_ptr<Channel> input)
    : m_input(std::move(input)),
      m_rate(m_input->sourceRate()),
      m_channels(m_input->sourceChannels()),
      m_length(m_input->lengthFrames()),
      m_proc(m_rate, m_channels)
{
    m_in.resize(std::size_t(kFeedFrames) * m_channels);
    std::lock_guard lk(m_input->sourceMutex());
    m_fed = m_input->source()->position();
    m_lastPos = m_fed;
    m_outPos = double(m_fed);
}

int TempoSource::read(float* out, int maxFrames, std::int64_t* positions)
{
    std::lock_guard lk(m_mutex);
    int got = 0;
    while (got < maxFrames) {
        const int ready = m_proc.receiveFrames(out + std::size_t(got) * m_channels, maxFrames - got);
        if (ready > 0) {
            // The output runs through the input at the processor's speed: output frame k since
            // the last seek is input frame base + k * speed (the processor delays, it does not
            // shift the content).
            const double speed = m_proc.speedPercent() / 100.0;
            const std::int64_t last = m_length >= 0 ? std::max<std::int64_t>(m_length - 1, 0) : INT64_MAX;
            for (int i = 0; i < ready; ++i) {
                const std::int64_t pos = std::min<std::int64_t>(std::int64_t(m_outPos + double(i) * speed), last);
                if (positions)
                    positions[got + i] = pos;
                m_lastPos = pos + 1;
            }
            m_outPos += double(ready) * speed;
            got += ready;
            continue;
        }
        if (m_inputEnded)
            break;
        int n;
        {
            std::lock_guard in(m_input->sourceMutex());
            n = m_input->source()->read(m_in.data(), kFeedFrames, nullptr);
            m_fed = m_input->source()->position();
        }
        if (n <= 0) {
            m_inputEnded = true;
            m_proc.flush();
            // What flush() adds beyond the input is silence: stop at the input's end.
            continue;
        }
        m_proc.putFrames(m_in.data(), n);
    }
    return got;
}

bool TempoSource::seek(std::int64_t frame)
{
    std::lock_guard lk(m_mutex);
    {
        std::lock_guard in(m_input->sourceMutex());
        if (!m_input->source()->seek(frame))
            return false;
        m_fed = m_input->source()->position();
    }
    m_proc.clear();
    m_inputEnded = false;
    m_lastPos = m_fed;
    m_outPos = double(m_fed);
    return true;
}

void TempoSource::set(float tempoPercent, int rateHz, float pitchSemitones)
{
    std::lock_guard lk(m_mutex);
    m_proc.set(tempoPercent, rateHz, pitchSemitones);
}

void TempoSource::get(float* tempoPercent, int* rateHz, float* pitchSemitones) const
{
    std::lock_guard lk(m_mutex);
    if (tempoPercent)
        *tempoPercent = m_proc.tempoPercent();
    if (rateHz)
        *rateHz = m_proc.rateHz();
    if (pitchSemitones)
        *pitchSemitones = m_proc.pitchSemitones();
}

float TempoSource::speedPercent() const
{
    std::lock_guard lk(m_mutex);
    return m_proc.speedPercent();
}

}  // namespace audiolib
