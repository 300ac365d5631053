// Helpers of the player tests: a temporary folder that removes itself, WAV files made in memory,
// playlist rows.
#pragma once

#include "controls/vqrowlist.h"
#include "platform/process.h"
#include "player/link/linkprograms.h"

#include <QTemporaryDir>

#include <cstdint>
#include <filesystem>
#include <fstream>
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

inline controls::TVirtualItem row(const QString& name, const QString& duration, const QString& path)
{
    controls::TVirtualItem r;
    r.SubItems[1] = name;
    r.SubItems[2] = duration;
    r.SubItems[3] = path;
    return r;
}

}  // namespace playertest
