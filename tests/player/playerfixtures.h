// Helpers of the player tests: a temporary folder that removes itself, WAV files made in memory,
// playlist rows.
#pragma once

#include "controls/vqrowlist.h"
#include "platform/process.h"
#include "player/link/linkprograms.h"

#include <QTemporaryDir>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <string_view>
#include <vector>

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

#ifdef QV_BIN_DIR
// A temporary program folder with the build's other programs in it, as an installed system has
// them beside the player; its launcher starts them from there (a test's own executable has no
// Base beside it), so that the player's search server and generator really start.
class ProgramFolder : public TempDir {
public:
    ProgramFolder()
    {
        for (const char* program : {"Base", "Sorbelt"}) {
            std::error_code ec;
            std::filesystem::create_symlink(std::string(QV_BIN_DIR "/") + program, path() + "/" + program, ec);
        }
    }
    player::ProgramLauncher launcher() const
    {
        return [folder = path()](std::string_view program, const std::vector<std::string>& args) {
            return platform::startProgram(folder + "/" + std::string(program), args).has_value();
        };
    }
};
#endif

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

// A 16-bit mono WAV of a sine with the given peak (in 16-bit steps).
inline std::string toneWav(double hz, double seconds, int rate, double peak = 16000)
{
    const int frames = static_cast<int>(seconds * rate);
    std::string s = wavFile(1, rate, frames);
    for (int i = 0; i < frames; ++i) {
        const auto v = static_cast<std::int16_t>(peak * std::sin(2 * std::numbers::pi * hz * i / rate));
        std::memcpy(&s[44 + 2 * static_cast<std::size_t>(i)], &v, 2);
    }
    return s;
}

// Peak amplitude of one frequency in n samples of x from `from`, through a Hann window.
inline double toneAmplitude(const std::vector<float>& x, std::size_t from, std::size_t n, double hz, int rate)
{
    double re = 0, im = 0, wsum = 0;
    for (std::size_t i = 0; i < n && from + i < x.size(); ++i) {
        const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n - 1));
        const double ph = 2 * std::numbers::pi * hz * static_cast<double>(i) / rate;
        re += w * x[from + i] * std::cos(ph);
        im += w * x[from + i] * std::sin(ph);
        wsum += w;
    }
    return 2 * std::hypot(re, im) / wsum;
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
