// Common frame of the effects: keeps the caller's parameter record (clamped), turns it into a
// processing state on the control thread and hands that state to the audio thread.
#pragma once

#include "audiolib/dsp/effect.h"
#include "audiolib/dsp/parammailbox.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace audiolib::dsp {

constexpr int kMaxChannels = 8;
constexpr int kDefaultSampleRate = 44100;

// Record: the caller's parameter record. State: what render() needs per block, small and
// trivially copyable. prepare() sizes delay lines and must not run while process() does (the
// channel prepares an effect before attaching it); setParameters may run at any time.
template <typename Record, typename State>
class RecordEffect : public Effect {
public:
    void prepare(int sampleRate, int channels) override
    {
        std::lock_guard lock(m_controlMutex);
        m_sampleRate = std::clamp(sampleRate > 0 ? sampleRate : kDefaultSampleRate, 1000, 768000);
        m_channels = std::clamp(channels, 1, kMaxChannels);
        allocate(m_sampleRate, m_channels);
        m_mailbox.publish(makeState(m_record, m_sampleRate));
        m_prepared.store(true, std::memory_order_release);
    }

    bool setParameters(const void* record, std::size_t size) override
    {
        if (!record || size != sizeof(Record))
            return false;
        Record r;
        std::memcpy(&r, record, sizeof r);
        std::lock_guard lock(m_controlMutex);
        m_record = clampRecord(r);
        m_mailbox.publish(makeState(m_record, m_sampleRate));
        return true;
    }

    bool getParameters(void* record, std::size_t size) const override
    {
        if (!record || size != sizeof(Record))
            return false;
        std::lock_guard lock(m_controlMutex);
        std::memcpy(record, &m_record, sizeof m_record);
        return true;
    }

    // Audio thread. Unprepared effects pass the signal through.
    void process(float* interleaved, int frames) noexcept final
    {
        const State& state = m_mailbox.read();
        if (!m_prepared.load(std::memory_order_acquire) || !interleaved || frames <= 0)
            return;
#if defined(__SSE__)
        // Decaying tails and filter memories reach denormal values, which are many times slower
        // to compute with; flush them to zero while this effect runs.
        const unsigned csr = _mm_getcsr();
        _mm_setcsr(csr | 0x8040);  // flush-to-zero and denormals-are-zero
        render(state, interleaved, frames, m_channels);
        _mm_setcsr(csr);
#else
        render(state, interleaved, frames, m_channels);
#endif
    }

protected:
    explicit RecordEffect(const Record& initial) : m_record(initial) {}

    virtual Record clampRecord(const Record& r) const = 0;
    virtual State makeState(const Record& r, int sampleRate) const = 0;
    // Sizes the delay lines and filter memories for this format (control thread).
    virtual void allocate(int sampleRate, int channels) = 0;
    // Audio thread: no allocation, no locks, no I/O.
    virtual void render(const State& state, float* interleaved, int frames, int channels) noexcept = 0;

private:
    mutable std::mutex m_controlMutex;  // control threads only
    Record m_record;
    int m_sampleRate = kDefaultSampleRate;
    int m_channels = 2;
    std::atomic<bool> m_prepared{false};
    ParamMailbox<State> m_mailbox;
};

}  // namespace audiolib::dsp
