// Writes 16-bit PCM into a WAV file as it comes, keeping the header valid as it grows.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace audiolib {

class WavWriter {
public:
    WavWriter() = default;
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    bool open(const std::string& path, int rateHz, int channels);
    bool isOpen() const { return m_file != nullptr; }
    // Float samples, interleaved, clipped to 16 bits.
    void write(const float* interleaved, int frames);
    // Brings the header up to date with what was written.
    void updateHeader();
    void close();

private:
    std::FILE* m_file = nullptr;
    int m_rate = 0;
    int m_channels = 0;
    std::uint64_t m_dataBytes = 0;
    std::uint64_t m_sinceHeader = 0;
};

}  // namespace audiolib
