// Running the real player on the rendering device and measuring the WAV it wrote.
#include "renderedmix.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>

namespace rendered {

std::string toneWav(double hz, double toneSeconds, double silentSeconds, int rate)
{
    std::string s = playertest::toneWav(hz, toneSeconds + silentSeconds, rate);
    const std::size_t toneBytes = 2 * static_cast<std::size_t>(toneSeconds * rate);
    if (44 + toneBytes < s.size())
        std::fill(s.begin() + static_cast<std::ptrdiff_t>(44 + toneBytes), s.end(), '\0');
    return s;
}

Pcm readWav(const std::string& bytes)
{
    Pcm pcm;
    std::size_t pos = 12;
    while (pos + 8 <= bytes.size()) {
        const std::string id = bytes.substr(pos, 4);
        std::uint32_t size = 0;
        std::memcpy(&size, &bytes[pos + 4], 4);
        if (id == "fmt " && pos + 24 <= bytes.size()) {
            std::uint16_t ch = 0;
            std::uint32_t rate = 0;
            std::memcpy(&ch, &bytes[pos + 10], 2);
            std::memcpy(&rate, &bytes[pos + 12], 4);
            pcm.channels = ch;
            pcm.rate = static_cast<int>(rate);
        }
        if (id == "data") {
            const std::size_t frame = static_cast<std::size_t>(pcm.channels) * 2;
            for (std::size_t p = pos + 8; frame && p + frame <= bytes.size(); p += frame) {
                std::int16_t v = 0;
                std::memcpy(&v, &bytes[p], 2);
                pcm.left.push_back(v / 32768.0f);
            }
            break;
        }
        pos += 8 + size + (size & 1);
    }
    return pcm;
}

double ToneTrack::timeOf(std::size_t window) const
{
    return (static_cast<double>(window * hop) + static_cast<double>(block) / 2.0) / rate;
}

std::size_t ToneTrack::windowAt(double seconds) const
{
    const double i = (seconds * rate - static_cast<double>(block) / 2.0) / static_cast<double>(hop);
    if (amp.empty() || i <= 0)
        return 0;
    return std::min(static_cast<std::size_t>(i), amp.size() - 1);
}

double ToneTrack::peak(std::size_t tone) const
{
    double p = 0;
    for (const auto& a : amp)
        p = std::max(p, a[tone]);
    return p;
}

double ToneTrack::steady(std::size_t tone) const
{
    const double half = peak(tone) / 2;
    std::vector<double> sounding;
    for (const auto& a : amp)
        if (a[tone] > half)
            sounding.push_back(a[tone]);
    if (sounding.empty())
        return 0;
    std::nth_element(sounding.begin(), sounding.begin() + static_cast<std::ptrdiff_t>(sounding.size() / 2), sounding.end());
    return sounding[sounding.size() / 2];
}

ToneTrack trackTones(const Pcm& pcm, const std::vector<double>& tones, double blockMs, double hopMs)
{
    ToneTrack t;
    t.rate = pcm.rate;
    t.tones = tones;
    t.block = static_cast<std::size_t>(pcm.rate * blockMs / 1000.0);
    t.hop = std::max<std::size_t>(1, static_cast<std::size_t>(pcm.rate * hopMs / 1000.0));
    // playertest::toneAmplitude over every window, with its window and phases worked out once:
    // they depend only on the place in the window.
    const std::size_t n = t.block;
    std::vector<std::vector<double>> cosines(tones.size(), std::vector<double>(n));
    std::vector<std::vector<double>> sines(tones.size(), std::vector<double>(n));
    double wsum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n - 1));
        wsum += w;
        for (std::size_t k = 0; k < tones.size(); ++k) {
            const double ph = 2 * std::numbers::pi * tones[k] * static_cast<double>(i) / pcm.rate;
            cosines[k][i] = w * std::cos(ph);
            sines[k][i] = w * std::sin(ph);
        }
    }
    for (std::size_t p = 0; p + n <= pcm.left.size(); p += t.hop) {
        std::vector<double> a;
        const float* x = pcm.left.data() + p;
        for (std::size_t k = 0; k < tones.size(); ++k) {
            double re = 0, im = 0;
            for (std::size_t i = 0; i < n; ++i) {
                re += x[i] * cosines[k][i];
                im += x[i] * sines[k][i];
            }
            a.push_back(2 * std::hypot(re, im) / wsum);
        }
        t.amp.push_back(std::move(a));
    }
    return t;
}

std::vector<double> onsets(const ToneTrack& track, std::size_t tone, double holdSeconds)
{
    std::vector<double> result;
    const double half = track.peak(tone) / 2;
    const auto hold = static_cast<std::size_t>(holdSeconds * track.rate / static_cast<double>(track.hop));
    bool sounding = false;
    for (std::size_t i = 0; i < track.amp.size(); ++i) {
        const bool above = track.amp[i][tone] > half;
        if (above && !sounding) {
            std::size_t k = i;
            while (k < track.amp.size() && k < i + hold && track.amp[k][tone] > half)
                ++k;
            if (k >= i + hold) {
                result.push_back(track.timeOf(i));
                sounding = true;
            }
        } else if (!above && sounding && track.amp[i][tone] < half / 5) {
            sounding = false;
        }
    }
    return result;
}

Fall fallAfter(const ToneTrack& track, std::size_t tone, double onset)
{
    const double steady = track.steady(tone);
    // Past the start's own burst.
    std::size_t i = track.windowAt(onset + 0.05);
    while (i < track.amp.size() && track.amp[i][tone] >= 0.9 * steady)
        ++i;
    std::size_t k = i;
    while (k < track.amp.size() && track.amp[k][tone] >= 0.1 * steady)
        ++k;
    if (k >= track.amp.size())
        return {};
    const double seconds = (track.timeOf(k) - track.timeOf(i)) / 0.8;
    return {track.timeOf(i) - 0.1 * seconds, seconds};
}

std::vector<Run> silentRuns(const Pcm& pcm, std::size_t from, std::size_t to, float floor, std::size_t minSamples)
{
    std::vector<Run> runs;
    to = std::min(to, pcm.left.size());
    std::size_t start = from;
    bool in = false;
    for (std::size_t i = from; i < to; ++i) {
        const bool quiet = std::fabs(pcm.left[i]) < floor;
        if (quiet && !in) {
            in = true;
            start = i;
        } else if (!quiet && in) {
            in = false;
            if (i - start >= minSamples)
                runs.push_back({start, i - 1});
        }
    }
    if (in && to - start >= minSamples)
        runs.push_back({start, to - 1});
    return runs;
}

double longToneMp3(const std::string& path, double hz, double seconds, bool xing)
{
    // Three stretches encoded without a bit reservoir, so that each frame stands alone; the middle
    // one's frames follow on from themselves.
    const std::string block = path + ".block.mp3";
    // At the level of toneWav's tones.
    const std::string cmd = "ffmpeg -nostdin -v error -y -f lavfi -i \"aevalsrc=0.488*sin(2*PI*" + std::to_string(hz) +
                            "*t):s=44100:d=3.84\" -c:a libmp3lame -b:a 128k -reservoir 0 -write_xing 0 "
                            "-id3v2_version 0 \"" + block + "\" >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0)
        return 0;
    std::ifstream in(block, std::ios::binary);
    const std::string encoded((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove(block);
    std::vector<std::string> frames;
    for (std::size_t p = 0; p + 4 <= encoded.size();) {
        const auto b1 = static_cast<unsigned char>(encoded[p + 1]);
        const auto b2 = static_cast<unsigned char>(encoded[p + 2]);
        if (static_cast<unsigned char>(encoded[p]) != 0xFF || (b1 & 0xE0) != 0xE0)
            return 0;
        static const int kKbits[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
        const std::size_t length = 144 * 1000 * static_cast<std::size_t>(kKbits[b2 >> 4]) / 44100 + ((b2 >> 1) & 1);
        if (length < 4)
            return 0;
        frames.push_back(encoded.substr(p, length));
        p += length;
    }
    constexpr std::size_t kFramesPerStretch = 49;  // 49 * 1152 samples = 1.28 s
    if (frames.size() < 2 * kFramesPerStretch)
        return 0;
    std::string stretch;
    for (std::size_t i = kFramesPerStretch; i < 2 * kFramesPerStretch; ++i)
        stretch += frames[i];
    const auto repeats = static_cast<std::size_t>(std::ceil(seconds / 1.28));
    std::ofstream out(path, std::ios::binary);
    if (xing) {
        // A frame of the same kind without padding: header, mono side information, then the
        // counts of the frames and bytes that follow.
        std::string info(frames[0].substr(0, 4));
        info[2] = static_cast<char>(static_cast<unsigned char>(info[2]) & ~2u);
        info.append(17, '\0');
        const auto be32 = [&info](std::uint32_t v) {
            for (int shift = 24; shift >= 0; shift -= 8)
                info += static_cast<char>((v >> shift) & 0xFF);
        };
        info += "Xing";
        be32(3);
        be32(static_cast<std::uint32_t>(repeats * kFramesPerStretch));
        const std::size_t frameBytes = 144 * 128000 / 44100;
        be32(static_cast<std::uint32_t>(frameBytes + repeats * stretch.size()));
        info.resize(frameBytes, '\0');
        out << info;
    }
    for (std::size_t i = 0; i < repeats; ++i)
        out.write(stretch.data(), static_cast<std::streamsize>(stretch.size()));
    return static_cast<double>(repeats) * 1.28;
}

void randomBytesFile(const std::string& path, std::size_t bytes)
{
    std::ofstream out(path, std::ios::binary);
    std::vector<std::uint64_t> chunk(1 << 16);
    std::uint64_t x = 0x9E3779B97F4A7C15ull;
    for (std::size_t written = 0; written < bytes;) {
        for (std::uint64_t& v : chunk) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            v = x;
        }
        const std::size_t n = std::min(bytes - written, chunk.size() * sizeof(std::uint64_t));
        out.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(n));
        written += n;
    }
}

void PlayerFolder::setUp(const std::string& crossfadeHex, const std::string& profileExtra)
{
    dir.write("system.ini", "[Device]\nMainDev=0\n");
    std::filesystem::create_directories(dir.path() + "/Profile");
    dir.write("Profile/Default.prf", "[Crossfade]\nSettings=" + crossfadeHex + "\n[Options]\n" + profileExtra);
}

namespace {

std::string floatHex(float v)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &v, 4);
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    for (int i = 0; i < 4; ++i) {
        const auto b = static_cast<unsigned>((bits >> (8 * i)) & 0xFF);
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

}  // namespace

std::string crossfadeHex(Points music, Points advert, Points jingle)
{
    const auto record = [](Points p) {
        return floatHex(p.mix) + floatHex(p.fade) + (p.mix > 0 ? "01" : "00") + (p.fade > 0 ? "01" : "00") + "0000";
    };
    const std::string off(24, '0');
    return off + record(music) + record(advert) + record(jingle) + off;
}

std::string musicCrossfadeHex(float mixSeconds, float fadeSeconds) { return crossfadeHex({mixSeconds, fadeSeconds}); }

namespace {

// QV_OTHER_PLAYER names another build's player (to measure one build against another).
QString playerProgram()
{
    const char* other = std::getenv("QV_OTHER_PLAYER");
    return other && *other ? QString::fromLocal8Bit(other) : QStringLiteral(QV_BIN_DIR "/player");
}

}  // namespace

bool runPlayer(const PlayerFolder& folder, const QStringList& args, int ms, int duringMs, const QStringList& during)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUORVALEN_PROGRAM_DIR", QString::fromStdString(folder.dir.path()));
    env.insert("QUORVALEN_NOSOUND_WAV", QString::fromStdString(folder.wavOut()));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    if (folder.slowReadMs > 0) {
        env.insert("LD_PRELOAD", QStringLiteral(QV_TEST_BIN_DIR "/libslowdisk.so"));
        env.insert("QUORVALEN_TEST_SLOW_READ_MS", QString::number(folder.slowReadMs));
        // A sanitizer build wants its own library first; the slow disk has nothing to check.
        env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + QStringLiteral(":verify_asan_link_order=0"));
    }
    QProcess player;
    player.setProcessEnvironment(env);
    player.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    player.start(playerProgram(), args);
    if (!player.waitForStarted(5000))
        return false;
    bool handedOver = true;
    if (duringMs >= 0 && duringMs < ms) {
        QThread::msleep(static_cast<unsigned long>(duringMs));
        QProcess second;
        env.remove("QUORVALEN_NOSOUND_WAV");
        second.setProcessEnvironment(env);
        second.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        second.start(playerProgram(), during);
        handedOver = second.waitForFinished(5000) && second.exitCode() == 0;
        QThread::msleep(static_cast<unsigned long>(std::max(0, ms - duringMs)));
    } else {
        QThread::msleep(static_cast<unsigned long>(ms));
    }
    ::kill(static_cast<pid_t>(player.processId()), SIGTERM);
    return player.waitForFinished(10000) && handedOver;
}

}  // namespace rendered
