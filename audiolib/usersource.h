// A stream fed by a caller's procedure (the line input): PCM in the stream's sample format,
// converted to float. Called on the decoding thread (or inline under the manual clock).
#pragma once

#include <atomic>
#include <vector>

#include "audiolib/audiolib.h"
#include "audiolib/source.h"

namespace audiolib {

class UserSource : public Source {
public:
    UserSource(int rateHz, int channels, std::uint32_t flags, StreamProc proc, void* user);

    void setHandle(Handle handle) { m_handle.store(handle); }
    int rateHz() const override { return m_rate; }
    int channels() const override { return m_channels; }
    std::int64_t lengthFrames() const override { return -1; }
    int read(float* out, int maxFrames, std::int64_t* positions) override;
    bool seek(std::int64_t frame) override { return frame == m_pos; }
    std::int64_t position() const override { return m_pos; }
    bool exhausted() const override { return m_ended; }
    bool live() const override { return true; }

private:
    std::atomic<Handle> m_handle{0};
    int m_rate;
    int m_channels;
    int m_sampleBytes;
    StreamProc m_proc;
    void* m_user;
    bool m_ended = false;
    std::int64_t m_pos = 0;
    std::vector<unsigned char> m_bytes;
};

}  // namespace audiolib
