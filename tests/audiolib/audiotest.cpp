// Helpers of the audio library tests.
#include "audiotest.h"

#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace audiotest {

const std::string& tempDir()
{
    static QTemporaryDir* dir = new QTemporaryDir();
    static std::string path = dir->path().toStdString();
    return path;
}

std::string makeFile(const std::string& name, const std::string& lavfi, const std::string& encoderArgs)
{
    const std::string path = tempDir() + "/" + name;
    if (FILE* existing = std::fopen(path.c_str(), "rb")) {  // made already by an earlier test
        std::fclose(existing);
        return path;
    }
    const std::string cmd = "ffmpeg -nostdin -v error -y -f lavfi -i \"" + lavfi + "\" " + encoderArgs + " \"" +
                            path + "\" >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0)
        return {};
    return path;
}

std::vector<float> referenceDecode(const std::string& path)
{
    const std::string raw = path + ".f32";
    const std::string cmd = "ffmpeg -nostdin -v error -y -i \"" + path + "\" -f f32le -ac 2 \"" + raw +
                            "\" >/dev/null 2>&1";
    std::vector<float> out;
    if (std::system(cmd.c_str()) != 0)
        return out;
    std::ifstream in(raw, std::ios::binary | std::ios::ate);
    const auto size = std::size_t(in.tellg());
    out.resize(size / sizeof(float));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(out.data()), std::streamsize(out.size() * sizeof(float)));
    std::remove(raw.c_str());
    return out;
}

std::string writeWav(const std::string& name, const std::vector<float>& interleaved, int rateHz, int channels)
{
    const std::string path = tempDir() + "/" + name;
    std::ofstream f(path, std::ios::binary);
    auto u32 = [&f](std::uint32_t v) {
        const char b[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
        f.write(b, 4);
    };
    auto u16 = [&f](std::uint16_t v) {
        const char b[2] = {char(v), char(v >> 8)};
        f.write(b, 2);
    };
    const std::uint32_t data = std::uint32_t(interleaved.size() * 2);
    f.write("RIFF", 4);
    u32(36 + data);
    f.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(std::uint16_t(channels));
    u32(std::uint32_t(rateHz));
    u32(std::uint32_t(rateHz * channels * 2));
    u16(std::uint16_t(channels * 2));
    u16(16);
    f.write("data", 4);
    u32(data);
    for (float v : interleaved) {
        const long s = std::lround(std::fmax(-1.0, std::fmin(1.0, double(v))) * 32767.0);
        u16(std::uint16_t(std::int16_t(s)));
    }
    return path;
}

std::vector<float> sine(double freqHz, double seconds, int rateHz, int channels, double amplitude)
{
    const std::size_t frames = std::size_t(seconds * rateHz);
    std::vector<float> out(frames * std::size_t(channels));
    for (std::size_t i = 0; i < frames; ++i) {
        const float v = float(amplitude * std::sin(2.0 * M_PI * freqHz * double(i) / rateHz));
        for (int c = 0; c < channels; ++c)
            out[i * std::size_t(channels) + std::size_t(c)] = v;
    }
    return out;
}

float peak(const std::vector<float>& stereo, int channel, std::size_t fromFrame, std::size_t toFrame)
{
    float p = 0;
    for (std::size_t i = fromFrame; i < toFrame && i * 2 + 1 < stereo.size(); ++i)
        p = std::fmax(p, std::fabs(stereo[i * 2 + std::size_t(channel)]));
    return p;
}

double rms(const std::vector<float>& stereo, int channel, std::size_t fromFrame, std::size_t toFrame)
{
    double sum = 0;
    std::size_t n = 0;
    for (std::size_t i = fromFrame; i < toFrame && i * 2 + 1 < stereo.size(); ++i, ++n)
        sum += double(stereo[i * 2 + std::size_t(channel)]) * stereo[i * 2 + std::size_t(channel)];
    return n ? std::sqrt(sum / double(n)) : 0.0;
}

double zeroCrossingHz(const std::vector<float>& stereo, int channel, std::size_t fromFrame, std::size_t toFrame,
                      int rateHz)
{
    long first = -1, last = -1, count = 0;
    for (std::size_t i = fromFrame + 1; i < toFrame && i * 2 + 1 < stereo.size(); ++i) {
        if (stereo[(i - 1) * 2 + std::size_t(channel)] < 0 && stereo[i * 2 + std::size_t(channel)] >= 0) {
            if (first < 0)
                first = long(i);
            else
                ++count;
            last = long(i);
        }
    }
    if (count == 0)
        return 0.0;
    return double(count) * rateHz / double(last - first);
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : m_name(name)
{
    if (const char* old = std::getenv(name)) {
        m_had = true;
        m_saved = old;
    }
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

ScopedEnv::~ScopedEnv()
{
    if (m_had)
        setenv(m_name.c_str(), m_saved.c_str(), 1);
    else
        unsetenv(m_name.c_str());
}

}  // namespace audiotest
