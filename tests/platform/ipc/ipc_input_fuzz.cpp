// Fuzz target for the bytes other processes hand us: message frames off the socket and window
// records out of the registry folder.
#include "platform/ipc_frame.h"
#include "platform/ipc_registry.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    platform::ipc::FrameAssembler assembler;
    // Split the input in two so that frames cut at any point are exercised too.
    const std::size_t half = size / 2;
    std::uint64_t sum = 0;
    auto onFrame = [&](const platform::ipc::Frame& frame) { sum += frame.window + frame.msg; };
    if (assembler.feed(data, half, onFrame))
        assembler.feed(data + half, size - half, onFrame);

    const auto record = platform::ipc::parseWindowRecord(std::string(reinterpret_cast<const char*>(data), size));
    if (record)
        sum += record->className.size() + record->caption.size();
    return sum == 0x12345 ? 0 : 0;
}
