// Wire format of window messages between processes: fixed 40-byte little-endian frames, and the
// reassembly of frames from a byte stream that may arrive in pieces or carry garbage.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace platform::ipc {

enum class FrameKind : std::uint8_t { Post = 1, Send = 2, Reply = 3 };

// The answer a Reply carries: the handler ran, or the window did not exist (any more).
enum class ReplyStatus : std::uint8_t { Answered = 0, NoWindow = 1 };

struct Frame {
    FrameKind kind = FrameKind::Post;
    ReplyStatus status = ReplyStatus::Answered;  // Reply only
    std::uint64_t requestId = 0;                 // Send and Reply
    std::uint32_t window = 0;
    std::uint32_t msg = 0;
    std::int64_t wParam = 0;  // a Reply's result travels here
    std::int64_t lParam = 0;
};

constexpr std::size_t kFrameSize = 40;
constexpr std::uint32_t kFrameMagic = 0x31575651;  // "QVW1"

std::array<std::uint8_t, kFrameSize> encodeFrame(const Frame& frame);
// False for a wrong magic, an unknown kind or status, or non-zero reserved bytes.
bool decodeFrame(const std::uint8_t* data, std::size_t size, Frame* frame);

// Collects bytes of one connection into frames. A frame cut off by the end of the connection
// stays incomplete and is never delivered.
class FrameAssembler {
public:
    // Appends bytes; calls onFrame(const Frame&) for each complete frame. Returns false at the
    // first malformed frame: the connection is then out of step and must be closed.
    template <typename OnFrame>
    bool feed(const std::uint8_t* data, std::size_t size, OnFrame&& onFrame)
    {
        while (size > 0) {
            const std::size_t take = std::min(size, kFrameSize - m_fill);
            for (std::size_t i = 0; i < take; ++i)
                m_buffer[m_fill + i] = data[i];
            m_fill += take;
            data += take;
            size -= take;
            if (m_fill < kFrameSize)
                break;
            m_fill = 0;
            Frame frame;
            if (!decodeFrame(m_buffer.data(), kFrameSize, &frame))
                return false;
            onFrame(frame);
        }
        return true;
    }
    bool hasPartialFrame() const { return m_fill != 0; }

private:
    std::array<std::uint8_t, kFrameSize> m_buffer{};
    std::size_t m_fill = 0;
};

}  // namespace platform::ipc
