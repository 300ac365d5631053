// Hands small parameter states from control threads to the audio thread without a lock on the
// audio side: a triple buffer whose reader never waits and never allocates.
#pragma once

#include <atomic>
#include <mutex>

namespace audiolib::dsp {

// T must be cheap to copy (a few dozen bytes of coefficients). publish() may be called from any
// number of control threads; read() only from the one audio thread.
template <typename T>
class ParamMailbox {
public:
    explicit ParamMailbox(const T& initial = T{}) : m_slots{initial, initial, initial} {}

    void publish(const T& value)
    {
        std::lock_guard lock(m_writerMutex);  // writers only; the reader never takes it
        m_slots[m_back] = value;
        m_back = m_middle.exchange(m_back | kFresh, std::memory_order_acq_rel) & kIndexMask;
    }

    // The newest published state; stays valid until the next read() on the same thread.
    const T& read() noexcept
    {
        if (m_middle.load(std::memory_order_relaxed) & kFresh)
            m_front = m_middle.exchange(m_front, std::memory_order_acq_rel) & kIndexMask;
        return m_slots[m_front];
    }

private:
    static constexpr unsigned kFresh = 4;
    static constexpr unsigned kIndexMask = 3;

    T m_slots[3];
    std::atomic<unsigned> m_middle{1};
    unsigned m_front = 0;  // audio thread
    unsigned m_back = 2;   // writers, under m_writerMutex
    std::mutex m_writerMutex;
};

}  // namespace audiolib::dsp
