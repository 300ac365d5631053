// Reading a rendered mix: the first channel of a 16-bit WAV file (playerfixtures.h measures the
// level of a tone in it).
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace playertest {

struct WavChannel {
    int rate = 0;
    std::vector<float> samples;  // the first channel, -1..1
};

// Reads up to the end of the bytes whatever the header says (the writer may not have finished it).
inline WavChannel firstChannel(const std::string& bytes)
{
    WavChannel out;
    int channels = 0;
    std::size_t pos = 12;
    while (pos + 8 <= bytes.size()) {
        std::uint32_t size = 0;
        std::memcpy(&size, &bytes[pos + 4], 4);
        const std::string id = bytes.substr(pos, 4);
        if (id == "fmt " && pos + 16 <= bytes.size()) {
            std::uint16_t ch = 0;
            std::uint32_t rate = 0;
            std::memcpy(&ch, &bytes[pos + 10], 2);
            std::memcpy(&rate, &bytes[pos + 12], 4);
            channels = ch;
            out.rate = static_cast<int>(rate);
        } else if (id == "data" && channels > 0) {
            const std::size_t frame = static_cast<std::size_t>(channels) * 2;
            for (std::size_t p = pos + 8; p + frame <= bytes.size(); p += frame) {
                std::int16_t v = 0;
                std::memcpy(&v, &bytes[p], 2);
                out.samples.push_back(static_cast<float>(v) / 32768.0f);
            }
            break;
        }
        pos += 8 + size + (size & 1);
    }
    return out;
}

}  // namespace playertest
