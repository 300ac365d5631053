// The real player in real time on the "no sound" device with its mix written to a WAV: three
// tones with a 1.0 s mix point and a 0.5 s fade, analysed for where each starts and how the old
// one falls away.
#include "tests/player/playerfixtures.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>

using playertest::TempDir;

namespace {

struct Pcm {
    int rate = 0;
    int channels = 0;
    std::vector<float> left;
};

// The first channel of a 16-bit WAV, read up to the end of the file whatever its header says (the
// writer may not have finished it).
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

}  // namespace

TEST(CrossfadeInRealTime, EachToneStartsAtTheMixPointAndTheOldOneFades)
{
#if defined(__SANITIZE_ADDRESS__)
    const double tolerance = 0.25;
#else
    const double tolerance = 0.075;
#endif
    TempDir dir;
    const int rate = 44100;
    const std::string wavOut = dir.path() + "/mix.wav";
    dir.write("system.ini", "[Device]\nMainDev=0\n");
    std::filesystem::create_directories(dir.path() + "/Profile");
    // Music: mix point 1.0 s (float 3F800000), fade point 0.5 s (3F000000), both on.
    dir.write("Profile/Default.prf", "[Crossfade]\nSettings=000000000000000000000000"
                                     "0000803F0000003F01010000\n");
    std::string m3u = "#EXTM3U\r\n";
    for (const double hz : {440.0, 660.0, 880.0}) {
        const std::string name = "tone" + std::to_string(static_cast<int>(hz)) + ".wav";
        m3u += "#EXTINF:3," + name + "\r\n" + dir.write(name, playertest::toneWav(hz, 2.5, rate)) + "\r\n";
    }
    const std::string list = dir.write("tones.m3u", m3u);

    QProcess player;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUORVALEN_PROGRAM_DIR", QString::fromStdString(dir.path()));
    env.insert("QUORVALEN_NOSOUND_WAV", QString::fromStdString(wavOut));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    player.setProcessEnvironment(env);
    player.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    player.start(QStringLiteral(QV_BIN_DIR "/player"), {"list", QString::fromStdString(list)});
    ASSERT_TRUE(player.waitForStarted(5000));
    QThread::msleep(8000);  // 1.5 + 1.5 + 2.5 s of playing, and the start
    ::kill(static_cast<pid_t>(player.processId()), SIGTERM);
    ASSERT_TRUE(player.waitForFinished(10000));

    const Pcm pcm = readWav(dir.read(wavOut));
    ASSERT_GT(pcm.rate, 0);
    ASSERT_GT(pcm.left.size(), static_cast<std::size_t>(pcm.rate) * 5);
    const std::size_t block = static_cast<std::size_t>(pcm.rate) / 50;  // 20 ms
    const std::size_t hop = static_cast<std::size_t>(pcm.rate) / 200;   // 5 ms
    const double tones[3] = {440, 660, 880};
    std::vector<std::array<double, 3>> amp;
    const auto at = [&pcm, block](std::size_t p, double hz) {
        return playertest::toneAmplitude(pcm.left, p, block, hz, pcm.rate);
    };
    for (std::size_t p = 0; p + block <= pcm.left.size(); p += hop)
        amp.push_back({at(p, tones[0]), at(p, tones[1]), at(p, tones[2])});
    auto timeOf = [&](std::size_t i) { return (static_cast<double>(i * hop) + block / 2.0) / pcm.rate; };
    double onset[3] = {-1, -1, -1};
    double end[3] = {-1, -1, -1};
    double peak[3] = {0, 0, 0};
    for (int t = 0; t < 3; ++t)
        for (const auto& a : amp)
            peak[t] = std::max(peak[t], a[static_cast<std::size_t>(t)]);
    for (int t = 0; t < 3; ++t) {
        ASSERT_GT(peak[t], 0.1) << "tone " << tones[t] << " never sounded";
        for (std::size_t i = 0; i < amp.size(); ++i) {
            if (amp[i][static_cast<std::size_t>(t)] > 0.5 * peak[t]) {
                if (onset[t] < 0)
                    onset[t] = timeOf(i);
            }
            // The end: the first fall below 5 % from 2 s after the onset on (a later tone's start
            // splashes a short burst into every band, so the last crossing would mislead).
            if (onset[t] >= 0 && end[t] < 0 && timeOf(i) > onset[t] + 2.0 &&
                amp[i][static_cast<std::size_t>(t)] < 0.05 * peak[t])
                end[t] = timeOf(i);
        }
    }
    SCOPED_TRACE(::testing::Message() << "onsets " << onset[0] << " " << onset[1] << " " << onset[2] << ", ends "
                                      << end[0] << " " << end[1] << " " << end[2]);
    EXPECT_NEAR(onset[1] - onset[0], 1.5, tolerance);
    EXPECT_NEAR(onset[2] - onset[1], 1.5, tolerance);
    // The outgoing tone is faded from 2.0 s on and silent by the end of its 0.5 s fade.
    for (int t = 0; t < 2; ++t) {
        EXPECT_NEAR(end[t] - onset[t], 2.5, tolerance + 0.03) << tones[t];
        const auto at = [&](double sec) {
            const auto i = static_cast<std::size_t>(std::max(0.0, (sec * pcm.rate - block / 2.0) / hop));
            return amp[std::min(i, amp.size() - 1)][static_cast<std::size_t>(t)] / peak[t];
        };
        EXPECT_GT(at(onset[t] + 1.9), 0.8) << tones[t];
        const double mid = at(onset[t] + 2.25);
        EXPECT_GT(mid, 0.15) << tones[t];
        EXPECT_LT(mid, 0.85) << tones[t];
    }
    ASSERT_GT(end[2], 0);
    // No silent gap from the first onset to the last tone's own fade point.
    for (std::size_t i = 0; i < amp.size(); ++i) {
        const double sec = timeOf(i);
        if (sec < onset[0] + 0.05 || sec > onset[2] + 1.9)
            continue;
        const double level = amp[i][0] / peak[0] + amp[i][1] / peak[1] + amp[i][2] / peak[2];
        ASSERT_GT(level, 0.3) << "gap at " << sec << " s";
    }
}
