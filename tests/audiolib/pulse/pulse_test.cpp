// The real output path: PortAudio through ALSA's PulseAudio devices into a PulseAudio server with
// a null sink, which each test starts and stops itself; parec on the sink's monitor records what
// was played. Its own executable, so that the library meets the test's server from its first
// reading of the system's outputs.
#include <gtest/gtest.h>

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "audiolib/audiolib.h"
#include "tests/common/pulseserver.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

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

// Samples of the recording well above silence.
long loudSamples(const std::vector<float>& left)
{
    return long(std::count_if(left.begin(), left.end(), [](float v) { return std::fabs(v) > 0.25f; }));
}

// Waits up to limit for done(); the time it took, or -1.
template <typename F>
double secondsUntil(F done, std::chrono::milliseconds limit)
{
    const auto t0 = Clock::now();
    while (!done()) {
        if (Clock::now() - t0 > limit)
            return -1;
        std::this_thread::sleep_for(10ms);
    }
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

int stateOf(int device)
{
    audiolib::DeviceStatus status;
    return audiolib::getDeviceStatus(device, &status) ? status.state : -1;
}

// ALSA's "pulse" device in our numbering, or -1.
int pulseDevice()
{
    for (int n = 2; n < 64; ++n) {
        const std::string name = audiolib::deviceName(n);
        if (name.empty())
            break;
        if (name == "pulse")
            return n;
    }
    return -1;
}

// Whether this system lets a thread of ours have real-time scheduling.
bool realtimeAllowed()
{
    bool allowed = false;
    std::thread([&allowed] {
        sched_param param{};
        param.sched_priority = sched_get_priority_min(SCHED_FIFO);
        allowed = pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
    }).join();
    return allowed;
}

class PulseNullSink : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!server.prepare())
            GTEST_SKIP() << "cannot make a runtime folder for the PulseAudio server";
        std::string why;
        if (startServer && !server.start(&why))
            GTEST_SKIP() << why;
    }
    void TearDown() override
    {
        for (audiolib::Handle h : handles)
            audiolib::streamFree(h);
        for (int device : devices)
            if (audiolib::setDevice(device))
                audiolib::freeDevice();
    }
    audiolib::Handle playTone(double freq, double seconds)
    {
        const audiolib::Handle h =
            audiolib::streamCreateFile(writeSineWav(server.dir() + "/tone" + std::to_string(handles.size()) + ".wav",
                                                    freq, seconds),
                                       0);
        if (h != 0) {
            handles.push_back(h);
            audiolib::play(h, false);
        }
        return h;
    }
    bool open(int device)
    {
        if (!audiolib::initDevice(device, 44100, 0, 0))
            return false;
        devices.push_back(device);
        return true;
    }

    bool startServer = true;
    pulsetest::PulseServer server;
    std::vector<audiolib::Handle> handles;
    std::vector<int> devices;
};

// A station's boot: the player is up before its sound server.
class PulseNullSinkLater : public PulseNullSink {
protected:
    PulseNullSinkLater() { startServer = false; }
};

}  // namespace

TEST_F(PulseNullSink, PlayedToneReachesTheSink)
{
    using namespace audiolib;
    ASSERT_TRUE(open(kDeviceDefault)) << "error " << lastError();
    ASSERT_TRUE(server.record(server.dir() + "/heard.raw")) << "parec (pulseaudio-utils) cannot be started";
    // The server folds extra channels into its stereo sink: no rear pair to leak a pre-listen.
    EXPECT_EQ(streamCreateFile(writeSineWav(server.dir() + "/rear.wav", 500, 0.1), kSpeakerRear), 0u);
    EXPECT_EQ(lastError(), kErrorSpeaker);
    const Handle h = playTone(1000, 1.5);
    ASSERT_NE(h, 0u) << lastError();
    for (int i = 0; i < 40 && isActive(h) != kStopped; ++i)
        std::this_thread::sleep_for(100ms);
    EXPECT_EQ(isActive(h), kStopped) << "played to its end in real time";
    std::this_thread::sleep_for(600ms);  // the position follows the speaker, behind the mixer
    EXPECT_GE(getPosition(h), getLength(h) - 4 * 4096);
    DeviceStatus status;
    ASSERT_TRUE(getDeviceStatus(kDeviceDefault, &status));
    if (realtimeAllowed()) {
        EXPECT_TRUE(status.realtime) << "the output thread asks for real-time scheduling where it may";
    }
    std::this_thread::sleep_for(300ms);
    server.stopRecording();

    const std::vector<float> left = server.recordedLeft();
    ASSERT_GT(left.size(), 44100u) << "parec recorded nothing";
    // The tone's frequency from the median distance between rising zero crossings: a dropout on
    // a machine loaded by parallel tests must not read as a pitch.
    long previous = -1;
    std::vector<long> periods;
    for (std::size_t i = 1; i < left.size(); ++i) {
        if (left[i - 1] < 0 && left[i] >= 0 && left[i] - left[i - 1] > 0.03f) {
            if (previous >= 0)
                periods.push_back(long(i) - previous);
            previous = long(i);
        }
    }
    ASSERT_GT(periods.size(), 500u) << "no tone in what the sink heard";
    std::nth_element(periods.begin(), periods.begin() + long(periods.size() / 2), periods.end());
    EXPECT_NEAR(44100.0 / double(periods[periods.size() / 2]), 1000.0, 25.0);  // 44 or 45 frames per period
    EXPECT_GT(loudSamples(left), 44100 / 2);
}

TEST_F(PulseNullSink, AnOutputLostWithItsServerGoesOnWhereItWasHeardOnceTheServerIsBack)
{
    using namespace audiolib;
    constexpr std::int64_t kSecond = 4 * 44100;  // bytes of the 16-bit stereo source
    ASSERT_TRUE(server.record(server.dir() + "/before.raw"));
    ASSERT_TRUE(open(kDeviceDefault)) << "error " << lastError();
    const Handle h = playTone(1000, 30);
    ASSERT_NE(h, 0u) << lastError();
    ASSERT_GE(secondsUntil([h] { return getPosition(h) > kSecond; }, 5000ms), 0) << "never heard";
    ASSERT_EQ(stateOf(kDeviceDefault), kDeviceOpen);

    server.stopRecording();
    server.stop();
    const double noticed = secondsUntil([] { return stateOf(kDeviceDefault) == kDeviceLost; }, 3000ms);
    ASSERT_GE(noticed, 0) << "the stop of the output was never noticed";
    EXPECT_LT(noticed, 1.0);
    const std::int64_t heard = getPosition(h);
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(getPosition(h), heard) << "nothing is heard, nothing moves";

    std::string why;
    ASSERT_TRUE(server.start(&why)) << why;
    const auto back = Clock::now();
    ASSERT_TRUE(server.record(server.dir() + "/after.raw"));
    ASSERT_GE(secondsUntil([] { return stateOf(kDeviceDefault) == kDeviceOpen; }, 5000ms), 0)
        << "the device was not opened again";
    const std::int64_t resumed = getPosition(h);
    EXPECT_GE(resumed, heard) << "the item goes on, not from its start";
    EXPECT_LT(resumed, heard + kSecond / 2) << "and not from what was only mixed";
    ASSERT_GE(secondsUntil([&] { return getPosition(h) > resumed + kSecond / 10; }, 5000ms), 0)
        << "its position never moved again";
    EXPECT_GE(secondsUntil([this] { return loudSamples(server.recordedLeft()) > 44100 / 10; }, 3000ms), 0)
        << "the sink never heard the item again";
    const double toSound = std::chrono::duration<double>(Clock::now() - back).count();
    std::printf("stop noticed after %.0f ms; heard again %.2f s after the server came back\n", noticed * 1000,
                toSound);
}

TEST_F(PulseNullSinkLater, ADeviceThatIsNotUpYetPlaysOnAClockAndSoundsOnceItIs)
{
    using namespace audiolib;
    ASSERT_TRUE(open(kDeviceDefault)) << "not a failure: error " << lastError();
    DeviceStatus status;
    ASSERT_TRUE(getDeviceStatus(kDeviceDefault, &status));
    EXPECT_EQ(status.state, kDeviceStandIn);
    EXPECT_FALSE(status.why.empty());
    const Handle h = playTone(1000, 30);
    ASSERT_NE(h, 0u) << "a file on a device that cannot be opened is no bad file: " << lastError();
    std::this_thread::sleep_for(300ms);
    EXPECT_GT(getPosition(h), 0) << "the clock consumes the mix meanwhile";

    std::string why;
    ASSERT_TRUE(server.start(&why)) << why;
    ASSERT_TRUE(server.record(server.dir() + "/later.raw"));
    ASSERT_GE(secondsUntil([] { return stateOf(kDeviceDefault) == kDeviceOpen; }, 5000ms), 0)
        << "the device was never opened";
    // The clock's positions went on, so the sound itself is waited for.
    EXPECT_GE(secondsUntil([this] { return loudSamples(server.recordedLeft()) > 44100 / 4; }, 5000ms), 0)
        << "the sink never heard the item";
}

TEST_F(PulseNullSink, ASecondNameOfTheOpenOutputIsRefused)
{
    using namespace audiolib;
    ASSERT_TRUE(open(kDeviceDefault)) << "error " << lastError();
    const int pulse = pulseDevice();
    if (pulse < 0)
        GTEST_SKIP() << "PortAudio lists no \"pulse\" output beside the default (libasound2-plugins?)";
    // "default" is the server's default sink, and so is "pulse": a pre-listen there is on air.
    EXPECT_FALSE(open(pulse));
    EXPECT_EQ(lastError(), kErrorSameOutput);
}
