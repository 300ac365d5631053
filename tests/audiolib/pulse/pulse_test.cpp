// The real output path: PortAudio through ALSA's "pulse" device into a PulseAudio server with a
// null sink, which this test starts and stops itself; parec on the sink's monitor records what
// was played. Its own executable, because PortAudio lists devices once per process.
#include <algorithm>
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "audiolib/audiolib.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

pid_t spawn(const std::vector<std::string>& args, const std::string& outFile)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void stopProcess(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(10ms);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

bool exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

std::string writeSineWav(const std::string& path, double freq, double seconds)
{
    std::ofstream f(path, std::ios::binary);
    const std::uint32_t frames = std::uint32_t(seconds * 44100);
    auto u32 = [&f](std::uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&f](std::uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
    f.write("RIFF", 4);
    u32(36 + frames * 4);
    f.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(2);
    u32(44100);
    u32(44100 * 4);
    u16(4);
    u16(16);
    f.write("data", 4);
    u32(frames * 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const auto s = std::int16_t(std::lrint(16000.0 * std::sin(2.0 * M_PI * freq * i / 44100.0)));
        u16(std::uint16_t(s));
        u16(std::uint16_t(s));
    }
    return path;
}

class PulseNullSink : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/qv-pulse-XXXXXX";
        if (!mkdtemp(tmpl))
            GTEST_SKIP() << "cannot make a runtime folder for the PulseAudio server";
        m_dir = tmpl;
        setenv("XDG_RUNTIME_DIR", m_dir.c_str(), 1);
        setenv("PULSE_RUNTIME_PATH", (m_dir + "/pulse").c_str(), 1);
        unsetenv("PULSE_SERVER");
        unsetenv("QUORVALEN_NOSOUND");  // this test is about the real output path
        m_server = spawn({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
                          "--load=module-null-sink sink_name=qvtest", "--load=module-native-protocol-unix"},
                         m_dir + "/pulseaudio.log");
        if (m_server <= 0)
            GTEST_SKIP() << "the pulseaudio program cannot be started (package pulseaudio missing?)";
        for (int i = 0; i < 100 && !exists(m_dir + "/pulse/native"); ++i) {
            if (waitpid(m_server, nullptr, WNOHANG) == m_server) {
                m_server = -1;
                GTEST_SKIP() << "the PulseAudio server exited at start on this machine";
            }
            std::this_thread::sleep_for(50ms);
        }
        if (!exists(m_dir + "/pulse/native"))
            GTEST_SKIP() << "the PulseAudio server did not open its socket within 5 s";
    }
    void TearDown() override
    {
        stopProcess(m_recorder);
        stopProcess(m_server);
        if (!m_dir.empty())
            std::system(("rm -rf '" + m_dir + "'").c_str());
    }

    std::string m_dir;
    pid_t m_server = -1;
    pid_t m_recorder = -1;
};

}  // namespace

TEST_F(PulseNullSink, PlayedToneReachesTheSink)
{
    using namespace audiolib;
    // Find the output that goes to the server: ALSA's "pulse" device, else the default one.
    int device = kDeviceDefault;
    for (int n = 1; n < 64; ++n) {
        const std::string name = deviceName(n);
        if (name.empty())
            break;
        if (name == "pulse") {
            device = n;
            break;
        }
    }
    if (deviceName(device).empty())
        GTEST_SKIP() << "PortAudio lists no output with the PulseAudio server running (libasound2-plugins?)";
    const std::string raw = m_dir + "/heard.raw";
    m_recorder = spawn({"parec", "-d", "qvtest.monitor", "--raw", "--format=s16le", "--rate=44100", "--channels=2"},
                       raw);
    ASSERT_GT(m_recorder, 0) << "parec (pulseaudio-utils) cannot be started";
    std::this_thread::sleep_for(300ms);

    ASSERT_TRUE(initDevice(device, 44100, 0, 0)) << "error " << lastError();
    // The server folds extra channels into its stereo sink: no rear pair to leak a pre-listen.
    EXPECT_EQ(streamCreateFile(writeSineWav(m_dir + "/rear.wav", 500, 0.1), kSpeakerRear), 0u);
    EXPECT_EQ(lastError(), kErrorSpeaker);
    const Handle h = streamCreateFile(writeSineWav(m_dir + "/tone.wav", 1000, 1.5), 0);
    ASSERT_NE(h, 0u) << lastError();
    ASSERT_TRUE(play(h, false));
    for (int i = 0; i < 40 && isActive(h) != kStopped; ++i)
        std::this_thread::sleep_for(100ms);
    EXPECT_EQ(isActive(h), kStopped) << "played to its end in real time";
    std::this_thread::sleep_for(600ms);  // the position follows the speaker, behind the mixer
    EXPECT_GE(getPosition(h), getLength(h) - 4 * 4096);
    streamFree(h);
    freeDevice();
    std::this_thread::sleep_for(300ms);
    stopProcess(m_recorder);
    m_recorder = -1;

    std::ifstream in(raw, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    ASSERT_GT(samples.size(), 44100u) << "parec recorded nothing";
    // Loud frames, and the tone's frequency from the median distance between rising zero crossings
    // of the left side: a dropout on a machine loaded by parallel tests must not read as a pitch.
    long previous = -1, loud = 0;
    std::vector<long> periods;
    for (std::size_t i = 1; i < samples.size() / 2; ++i) {
        const int a = samples[(i - 1) * 2], b = samples[i * 2];
        if (std::abs(b) > 8000)
            ++loud;
        if (a < 0 && b >= 0 && std::abs(b - a) > 1000) {
            if (previous >= 0)
                periods.push_back(long(i) - previous);
            previous = long(i);
        }
    }
    ASSERT_GT(periods.size(), 500u) << "no tone in what the sink heard";
    std::nth_element(periods.begin(), periods.begin() + periods.size() / 2, periods.end());
    const double period = double(periods[periods.size() / 2]);
    EXPECT_NEAR(44100.0 / period, 1000.0, 25.0);  // 44 or 45 frames per period
    EXPECT_GT(loud, 44100 / 2);
}
