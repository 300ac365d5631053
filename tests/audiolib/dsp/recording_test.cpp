// Recording: the silent input a machine without a capture device gets, the input list and
// switching, error numbers, quiet start-up; and the capture ring between callback and reader.
#include "audiolib/audiolib.h"
#include "audiolib/errors.h"
#include "audiolib/recordingring.h"
#include "pulseserver.h"
#include "signal.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

using namespace audiolib;

namespace {

class SilentRecording : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("QUORVALEN_NOSOUND", "1", 1);
        ASSERT_TRUE(recordInit(0));
    }
    void TearDown() override
    {
        recordFree();
        ::unsetenv("QUORVALEN_NOSOUND");
    }
};

TEST_F(SilentRecording, DeliversZeroBytesInRealTime)
{
    using Clock = std::chrono::steady_clock;
    constexpr double kBytesPerSecond = 44100.0 * 4;
    auto secondsSince = [](Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); };
    const auto started = Clock::now();
    const Handle capture = recordStart(44100, 0);
    ASSERT_NE(capture, 0u);
    EXPECT_EQ(lastError(), kOk);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const std::int32_t available = recordAvailable(capture);
    // As many bytes as time has passed: at least the 200 ms slept, never more than the time since
    // the start (a loaded machine may sleep longer, which only moves the upper bound).
    EXPECT_GE(available, 0.2 * kBytesPerSecond - 4 * 441);
    EXPECT_LE(available, secondsSince(started) * kBytesPerSecond + 4 * 441);
    EXPECT_EQ(available % 4, 0);

    std::vector<unsigned char> buffer(available + 7, 0xAB);
    const auto read = Clock::now();
    const std::int32_t got = recordRead(capture, buffer.data() + 1, static_cast<std::uint32_t>(available + 6));
    ASSERT_GE(got, available);  // more may have arrived meanwhile; whole frames only
    EXPECT_EQ(got % 4, 0);
    for (std::int32_t i = 0; i < got; ++i)
        ASSERT_EQ(buffer[static_cast<std::size_t>(i) + 1], 0) << i;
    EXPECT_EQ(buffer[0], 0xAB);  // nothing written before the buffer
    // What was read is gone: only what arrived since.
    EXPECT_LE(recordAvailable(capture), secondsSince(read) * kBytesPerSecond + 4 * 441);
    EXPECT_TRUE(recordStop(capture));
    EXPECT_EQ(recordAvailable(capture), -1);
    EXPECT_EQ(lastError(), kErrorHandle);
}

TEST_F(SilentRecording, TheOnlyInputIsALineInputThatSwitches)
{
    const std::int32_t state = recordGetInput(0);
    ASSERT_NE(state, -1);
    EXPECT_EQ(static_cast<std::uint32_t>(state) & kInputTypeMask, kInputTypeLine);
    EXPECT_EQ(state & kInputOffBit, 0);  // the initialised input is on
    EXPECT_EQ(state & 0xFFFF, 100);
    EXPECT_FALSE(recordGetInputName(0).empty());
    EXPECT_EQ(recordGetInput(1), -1);
    EXPECT_EQ(lastError(), kErrorParameter);

    // What a line-in deck does: every input off, then the line input on with its volume.
    EXPECT_TRUE(recordSetInput(0, kInputOff));
    EXPECT_NE(recordGetInput(0) & kInputOffBit, 0);
    EXPECT_FALSE(recordSetInput(1, kInputOff));
    EXPECT_TRUE(recordSetInput(0, kInputOn | 70));
    EXPECT_EQ(recordGetInput(0) & kInputOffBit, 0);
    EXPECT_EQ(recordGetInput(0) & 0xFFFF, 70);
    EXPECT_FALSE(recordSetInput(0, kInputOn | kInputOff));
    EXPECT_FALSE(recordSetInput(0, kInputOn | 101));

    // An input switched off while capturing still gives silence, never a stall.
    const Handle capture = recordStart(44100, 0);
    ASSERT_NE(capture, 0u);
    EXPECT_TRUE(recordSetInput(0, kInputOff));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_GT(recordAvailable(capture), 0);
}

TEST_F(SilentRecording, MisuseFailsWithItsErrorNumber)
{
    EXPECT_FALSE(recordInit(0));
    EXPECT_EQ(lastError(), kErrorAlreadyInitialised);
    EXPECT_EQ(recordStart(1000, 0), 0u);
    EXPECT_EQ(lastError(), kErrorParameter);
    const Handle capture = recordStart(0, 0);  // 0 = the usual 44100 Hz
    ASSERT_NE(capture, 0u);
    EXPECT_EQ(recordStart(44100, 0), 0u);  // one capture at a time
    EXPECT_EQ(lastError(), kErrorRecording);
    char byte;
    EXPECT_EQ(recordRead(capture + 1, &byte, 1), -1);
    EXPECT_EQ(lastError(), kErrorHandle);
    EXPECT_EQ(recordRead(capture, nullptr, 4), -1);
    EXPECT_EQ(recordRead(capture, &byte, 3), 0);  // less than a frame
    EXPECT_TRUE(recordFree());
    EXPECT_EQ(recordAvailable(capture), -1);
    EXPECT_FALSE(recordFree());
    EXPECT_FALSE(recordSetInput(0, kInputOn));
    EXPECT_EQ(lastError(), kErrorRecording);
    ASSERT_TRUE(recordInit(0));  // for TearDown
}

TEST(RecordingDevices, StartUpIsQuietAndInputZeroIsTheLineInput)
{
    // Whatever this machine has (no card, a PulseAudio server, a real card), PortAudio's probing
    // must not reach the terminal and the first input is the line input.
    ::unsetenv("QUORVALEN_NOSOUND");
    ::testing::internal::CaptureStderr();
    const bool initialised = recordInit(0);
    const std::int32_t state = recordGetInput(0);
    const Handle capture = recordStart(44100, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::int32_t available = recordAvailable(capture);
    recordFree();
    const std::string chatter = ::testing::internal::GetCapturedStderr();
    ASSERT_TRUE(initialised);
    EXPECT_EQ(static_cast<std::uint32_t>(state) & kInputTypeMask, kInputTypeLine);
    EXPECT_NE(capture, 0u);
    EXPECT_GE(available, 0);
    EXPECT_EQ(chatter, "");
}

// The real capture path: PortAudio's default input is a private PulseAudio server's null-sink
// monitor; a tone played into the sink must come out of recordRead.
TEST(RecordingDevices, CapturesWhatAPulseAudioServerPlays)
{
    dsptest::PulseServer server;
    QString whyNot;
    if (!server.start(&whyNot))
        GTEST_SKIP() << "no PulseAudio server for the capture test: " << whyNot.toStdString();
    ::unsetenv("QUORVALEN_NOSOUND");
    ::setenv("PULSE_SERVER", server.address().toLocal8Bit().constData(), 1);
    ASSERT_TRUE(recordInit(0));
    struct Cleanup {
        ~Cleanup()
        {
            recordFree();
            ::unsetenv("PULSE_SERVER");
        }
    } cleanup;
    EXPECT_FALSE(recordGetInputName(0).empty());
    const Handle capture = recordStart(44100, 0);
    ASSERT_NE(capture, 0u);

    // A one-second 1 kHz tone at half scale, as a 16-bit stereo WAV.
    QTemporaryDir dir;
    const QString wav = dir.path() + "/tone.wav";
    {
        const std::vector<float> tone = dsptest::sine(1000, 1.0, 2, 0.5);
        QFile f(wav);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        auto u32 = [&](std::uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
        auto u16 = [&](std::uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
        const auto bytes = static_cast<std::uint32_t>(tone.size() * 2);
        f.write("RIFF");
        u32(36 + bytes);
        f.write("WAVEfmt ");
        u32(16);
        u16(1);
        u16(2);
        u32(44100);
        u32(44100 * 4);
        u16(4);
        u16(16);
        f.write("data");
        u32(bytes);
        for (float v : tone)
            u16(static_cast<std::uint16_t>(static_cast<std::int16_t>(v * 32767)));
    }
    std::vector<float> heard;
    std::vector<std::int16_t> block(8192);
    auto drain = [&] {
        std::int32_t got;
        while ((got = recordRead(capture, block.data(), static_cast<std::uint32_t>(block.size() * 2))) > 0)
            for (std::int32_t i = 0; i < got / 2; ++i)
                heard.push_back(block[static_cast<std::size_t>(i)] / 32768.0f);
    };
    // Read while it plays, as the line-in stream does, so nothing waits in the ring for long.
    std::atomic<bool> played{false}, playing{true};
    std::thread player([&] {
        played = server.play(wav);
        playing = false;
    });
    while (playing) {
        drain();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    player.join();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    drain();
    ASSERT_TRUE(played);
    ASSERT_GT(heard.size(), 44100u);  // at least half a second of stereo frames
    double best = 0;
    const int frames = static_cast<int>(heard.size() / 2);
    for (int from = 0; from + 4410 <= frames; from += 2205)
        best = std::max(best, dsptest::toneAmplitude(heard, 2, 0, 1000, from, from + 4410));
    EXPECT_GT(best, 0.25);  // the tone, at about its own level
}

TEST(CaptureRingTest, ReaderFollowsWritesAcrossTheWrap)
{
    CaptureRing ring(2048, 256);
    std::vector<std::uint32_t> in(1500), out(1500);
    std::uint32_t next = 1;
    for (int round = 0; round < 5; ++round) {
        for (auto& v : in)
            v = next++;
        ring.write(in.data(), 700);
        EXPECT_EQ(ring.available(), 700u);
        ASSERT_EQ(ring.read(out.data(), 1500), 700u);
        for (int i = 0; i < 700; ++i)
            ASSERT_EQ(out[i], in[i]);
        next -= 800;  // the 800 values not written are reused next round
    }
    EXPECT_EQ(ring.overruns(), 0u);
}

TEST(CaptureRingTest, AReaderThatFellBehindResumesNearTheNewestFrames)
{
    CaptureRing ring(2048, 256);
    std::vector<std::uint32_t> in(5000);
    for (std::uint32_t i = 0; i < in.size(); ++i)
        in[i] = i;
    ring.write(in.data(), 5000);  // more than the ring holds, nobody reading
    EXPECT_EQ(ring.available(), 256u);
    std::vector<std::uint32_t> out(300);
    ASSERT_EQ(ring.read(out.data(), 300), 256u);
    EXPECT_EQ(out[0], 5000u - 256u);
    EXPECT_EQ(out[255], 4999u);
    EXPECT_EQ(ring.overruns(), 1u);
    ring.write(in.data(), 10);
    ring.discard();
    EXPECT_EQ(ring.available(), 0u);
}

TEST(CaptureRingTest, ConcurrentWriterAndReaderSeeFramesInOrder)
{
    CaptureRing ring(1u << 14, 1024);
    constexpr std::uint32_t kTotal = 400000;
    std::thread writer([&] {
        std::uint32_t block[128];
        for (std::uint32_t v = 0; v < kTotal;) {
            for (auto& b : block)
                b = v++;
            ring.write(block, 128);
            if (v % 4096 == 0)
                std::this_thread::yield();
        }
    });
    std::uint32_t last = 0;
    bool ordered = true, first = true;
    std::uint32_t out[512];
    for (int spins = 0; spins < 20000000 && ordered && last + 1 < kTotal; ++spins) {
        const std::uint32_t n = ring.read(out, 512);
        for (std::uint32_t i = 0; i < n; ++i) {
            ordered = ordered && (first || out[i] > last);
            first = false;
            last = out[i];
        }
    }
    writer.join();
    EXPECT_TRUE(ordered);
}

}  // namespace
