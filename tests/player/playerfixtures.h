// Helpers of the player tests: a temporary folder that removes itself, WAV files made in memory
// (silence and tones), playlist rows.
#pragma once

#include "controls/vqrowlist.h"

#include <QTemporaryDir>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>

namespace playertest {

class TempDir {
public:
    std::string path() const { return m_dir.path().toStdString(); }
    std::string write(const std::string& name, const std::string& bytes) const
    {
        const std::string full = path() + "/" + name;
        std::ofstream(full, std::ios::binary) << bytes;
        return full;
    }
    std::string read(const std::string& name) const
    {
        std::ifstream in(name.starts_with("/") ? name : path() + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    QTemporaryDir m_dir;
};

// A 16-bit PCM WAV of silence.
inline std::string wavFile(int channels, int rate, int frames)
{
    auto le = [](std::string& s, std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    const std::uint32_t data = static_cast<std::uint32_t>(frames * channels * 2);
    std::string s = "RIFF";
    le(s, 36 + data, 4);
    s += "WAVEfmt ";
    le(s, 16, 4);
    le(s, 1, 2);
    le(s, static_cast<std::uint32_t>(channels), 2);
    le(s, static_cast<std::uint32_t>(rate), 4);
    le(s, static_cast<std::uint32_t>(rate * channels * 2), 4);
    le(s, static_cast<std::uint32_t>(channels * 2), 2);
    le(s, 16, 2);
    s += "data";
    le(s, data, 4);
    s.append(data, '\0');
    return s;
}

// A 16-bit mono WAV of a sine at hz with the given peak (0..1 of full scale).
inline std::string toneWav(double hz, double seconds, int rate = 44100, double peak = 0.5)
{
    const int frames = static_cast<int>(seconds * rate);
    std::string s = wavFile(1, rate, frames);
    for (int i = 0; i < frames; ++i) {
        const auto v = static_cast<std::int16_t>(std::lround(peak * 32767 * std::sin(2 * M_PI * hz * i / rate)));
        s[44 + 2 * static_cast<std::size_t>(i)] = static_cast<char>(static_cast<std::uint16_t>(v) & 0xFF);
        s[45 + 2 * static_cast<std::size_t>(i)] = static_cast<char>(static_cast<std::uint16_t>(v) >> 8);
    }
    return s;
}

inline controls::TVirtualItem row(const QString& name, const QString& duration, const QString& path)
{
    controls::TVirtualItem r;
    r.SubItems[1] = name;
    r.SubItems[2] = duration;
    r.SubItems[3] = path;
    return r;
}

}  // namespace playertest
