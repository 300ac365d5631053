// WAV rendering of a mix (the "no sound" device's file output).
#include "audiolib/wavwriter.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace audiolib {

namespace {
void put16(std::uint8_t* p, std::uint32_t v) { p[0] = std::uint8_t(v); p[1] = std::uint8_t(v >> 8); }
void put32(std::uint8_t* p, std::uint32_t v)
{
    put16(p, v & 0xFFFF);
    put16(p + 2, v >> 16);
}
}  // namespace

WavWriter::~WavWriter() { close(); }

bool WavWriter::open(const std::string& path, int rateHz, int channels)
{
    close();
    m_file = std::fopen(path.c_str(), "wb");
    if (!m_file)
        return false;
    m_rate = rateHz;
    m_channels = channels;
    m_dataBytes = 0;
    m_sinceHeader = 0;
    updateHeader();
    return true;
}

void WavWriter::updateHeader()
{
    if (!m_file)
        return;
    // A WAV cannot describe more than 4 GB; the data keeps going but the header says the most.
    const std::uint32_t data = std::uint32_t(std::min<std::uint64_t>(m_dataBytes, 0xFFFFFFFFull - 36));
    std::uint8_t h[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    put32(h + 4, 36 + data);
    put32(h + 16, 16);
    put16(h + 20, 1);
    put16(h + 22, std::uint32_t(m_channels));
    put32(h + 24, std::uint32_t(m_rate));
    put32(h + 28, std::uint32_t(m_rate * m_channels * 2));
    put16(h + 32, std::uint32_t(m_channels * 2));
    put16(h + 34, 16);
    h[36] = 'd';
    h[37] = 'a';
    h[38] = 't';
    h[39] = 'a';
    put32(h + 40, data);
    const long here = std::ftell(m_file);
    std::fseek(m_file, 0, SEEK_SET);
    std::fwrite(h, 1, sizeof h, m_file);
    std::fseek(m_file, std::max(here, 44L), SEEK_SET);
    std::fflush(m_file);
    m_sinceHeader = 0;
}

void WavWriter::write(const float* interleaved, int frames)
{
    if (!m_file || frames <= 0)
        return;
    const std::size_t samples = std::size_t(frames) * std::size_t(m_channels);
    std::vector<std::uint8_t> bytes(samples * 2);
    for (std::size_t i = 0; i < samples; ++i) {
        const auto s = std::int16_t(std::lrint(std::clamp(interleaved[i], -1.0f, 1.0f) * 32767.0f));
        put16(bytes.data() + i * 2, std::uint16_t(s));
    }
    std::fwrite(bytes.data(), 1, bytes.size(), m_file);
    m_dataBytes += bytes.size();
    m_sinceHeader += bytes.size();
    if (m_sinceHeader >= std::uint64_t(m_rate) * m_channels * 2)
        updateHeader();
}

void WavWriter::close()
{
    if (!m_file)
        return;
    updateHeader();
    std::fclose(m_file);
    m_file = nullptr;
}

}  // namespace audiolib
