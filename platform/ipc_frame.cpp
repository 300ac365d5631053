// Encoding and checking of the 40-byte window-message frames.
#include "platform/ipc_frame.h"

namespace platform::ipc {

namespace {

void put(std::uint8_t* out, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint64_t get(const std::uint8_t* in, int bytes)
{
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value |= static_cast<std::uint64_t>(in[i]) << (8 * i);
    return value;
}

}  // namespace

// Layout: magic u32 @0, kind u8 @4, status u8 @5, reserved u16 @6, requestId u64 @8,
// window u32 @16, msg u32 @20, wParam i64 @24, lParam i64 @32.
std::array<std::uint8_t, kFrameSize> encodeFrame(const Frame& frame)
{
    std::array<std::uint8_t, kFrameSize> out{};
    put(&out[0], kFrameMagic, 4);
    out[4] = static_cast<std::uint8_t>(frame.kind);
    out[5] = static_cast<std::uint8_t>(frame.status);
    put(&out[8], frame.requestId, 8);
    put(&out[16], frame.window, 4);
    put(&out[20], frame.msg, 4);
    put(&out[24], static_cast<std::uint64_t>(frame.wParam), 8);
    put(&out[32], static_cast<std::uint64_t>(frame.lParam), 8);
    return out;
}

bool decodeFrame(const std::uint8_t* data, std::size_t size, Frame* frame)
{
    if (!data || size < kFrameSize || get(&data[0], 4) != kFrameMagic || get(&data[6], 2) != 0)
        return false;
    const std::uint8_t kind = data[4];
    const std::uint8_t status = data[5];
    if (kind < static_cast<std::uint8_t>(FrameKind::Post) || kind > static_cast<std::uint8_t>(FrameKind::Reply))
        return false;
    if (status > static_cast<std::uint8_t>(ReplyStatus::NoWindow))
        return false;
    frame->kind = static_cast<FrameKind>(kind);
    frame->status = static_cast<ReplyStatus>(status);
    frame->requestId = get(&data[8], 8);
    frame->window = static_cast<std::uint32_t>(get(&data[16], 4));
    frame->msg = static_cast<std::uint32_t>(get(&data[20], 4));
    frame->wParam = static_cast<std::int64_t>(get(&data[24], 8));
    frame->lParam = static_cast<std::int64_t>(get(&data[32], 8));
    return true;
}

}  // namespace platform::ipc
