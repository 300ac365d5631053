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
    for (std::size_t p = 0; p + t.block <= pcm.left.size(); p += t.hop) {
        std::vector<double> a;
        for (double hz : tones)
            a.push_back(playertest::toneAmplitude(pcm.left, p, t.block, hz, pcm.rate));
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
