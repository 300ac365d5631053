// Helpers of the player tests: a temporary folder that removes itself, WAV files made in memory,
// playlist rows.
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

// A 16-bit PCM WAV that sounds throughout (a 440 Hz sine at a quarter of full scale): the decks
// cut silence, so a silent file would have nothing left to play.
inline std::string soundWavFile(int channels, int rate, int frames)
{
    std::string s = wavFile(channels, rate, frames);
    for (int i = 0; i < frames; ++i) {
        const auto v = static_cast<std::int16_t>(8000 * std::sin(2 * 3.14159265358979 * 440.0 * i / rate));
        for (int c = 0; c < channels; ++c) {
            const std::size_t at = 44 + 2 * (static_cast<std::size_t>(i) * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c));
            s[at] = static_cast<char>(v & 0xFF);
            s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
        }
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
