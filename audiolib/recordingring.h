// The captured audio between the capture callback and its reader: a ring of 16-bit stereo frames
// that the callback overwrites freely and the reader follows, jumping ahead when it fell behind.
// The capture callback side (write) runs on the device thread: no allocation, no locks.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>

namespace audiolib {

class CaptureRing {
public:
    // capacityFrames must be a power of two.
    explicit CaptureRing(std::uint32_t capacityFrames, std::uint32_t keepAfterOverrunFrames)
        : m_frames(new std::atomic<std::uint32_t>[capacityFrames]),
          m_mask(capacityFrames - 1),
          m_keepAfterOverrun(std::min(keepAfterOverrunFrames, capacityFrames / 2))
    {
        for (std::uint32_t i = 0; i < capacityFrames; ++i)
            m_frames[i].store(0, std::memory_order_relaxed);
    }

    std::uint32_t capacity() const { return m_mask + 1; }

    // Producer (one thread). Frames are packed left | right << 16.
    void write(const std::uint32_t* frames, std::uint32_t count) noexcept
    {
        std::uint64_t w = m_written.load(std::memory_order_relaxed);
        for (std::uint32_t i = 0; i < count; ++i)
            m_frames[(w + i) & m_mask].store(frames[i], std::memory_order_relaxed);
        m_written.store(w + count, std::memory_order_release);
    }

    // Consumer side: callers serialise these among themselves.
    std::uint64_t available() noexcept
    {
        catchUp();
        return m_written.load(std::memory_order_acquire) - m_read;
    }
    // Copies up to maxFrames frames; returns the number copied.
    std::uint32_t read(std::uint32_t* out, std::uint32_t maxFrames) noexcept
    {
        catchUp();
        const std::uint64_t w = m_written.load(std::memory_order_acquire);
        const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(w - m_read, maxFrames));
        for (std::uint32_t i = 0; i < n; ++i)
            out[i] = m_frames[(m_read + i) & m_mask].load(std::memory_order_relaxed);
        m_read += n;
        return n;
    }
    // Forgets everything not yet read.
    void discard() noexcept { m_read = m_written.load(std::memory_order_acquire); }
    std::uint64_t overruns() const noexcept { return m_overruns; }

private:
    // A reader that fell a whole ring behind (it paused while capturing went on) has lost the
    // oldest frames anyway; it resumes near the newest ones, so a live input is heard live, not
    // seconds late.
    void catchUp() noexcept
    {
        const std::uint64_t w = m_written.load(std::memory_order_acquire);
        if (w - m_read > m_mask + 1 - kGuardFrames) {
            m_read = w - m_keepAfterOverrun;
            ++m_overruns;
        }
    }

    static constexpr std::uint32_t kGuardFrames = 1024;  // room for the callback's next block

    std::unique_ptr<std::atomic<std::uint32_t>[]> m_frames;
    std::uint32_t m_mask;
    std::uint32_t m_keepAfterOverrun;
    std::atomic<std::uint64_t> m_written{0};
    std::uint64_t m_read = 0;  // consumer
    std::uint64_t m_overruns = 0;
};

}  // namespace audiolib
