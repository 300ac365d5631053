// The procedure-fed stream.
#include "audiolib/usersource.h"

#include <cstring>

namespace audiolib {

UserSource::UserSource(int rateHz, int channels, std::uint32_t flags, StreamProc proc, void* user)
    : m_rate(rateHz),
      m_channels(channels),
      m_sampleBytes((flags & kSampleFloat) ? 4 : (flags & kSample8Bits) ? 1 : 2),
      m_proc(proc),
      m_user(user)
{
}

int UserSource::read(float* out, int maxFrames, std::int64_t* positions)
{
    if (m_ended || maxFrames <= 0)
        return 0;
    const std::uint32_t frameBytes = std::uint32_t(m_sampleBytes * m_channels);
    const std::uint32_t want = std::uint32_t(maxFrames) * frameBytes;
    m_bytes.resize(want);
    std::uint32_t got = m_proc(m_handle.load(), m_bytes.data(), want, m_user);
    if (got & kStreamProcEnd) {
        m_ended = true;
        got &= ~kStreamProcEnd;
    }
    if (got > want)
        got = want;  // a procedure claiming more than it was given room for
    const int frames = int(got / frameBytes);
    const int samples = frames * m_channels;
    const unsigned char* p = m_bytes.data();
    for (int i = 0; i < samples; ++i) {
        if (m_sampleBytes == 2) {
            std::int16_t s;
            std::memcpy(&s, p + i * 2, 2);
            out[i] = float(s) / 32768.0f;
        } else if (m_sampleBytes == 4) {
            std::memcpy(&out[i], p + i * 4, 4);
        } else {
            out[i] = (float(p[i]) - 128.0f) / 128.0f;
        }
    }
    if (positions)
        for (int i = 0; i < frames; ++i)
            positions[i] = m_pos + i;
    m_pos += frames;
    return frames;
}

}  // namespace audiolib
