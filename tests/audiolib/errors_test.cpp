// Every call sets the calling thread's error: a success clears what an earlier failure left.
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "audiolib/audiolib.h"
#include "audiotest.h"

using namespace audiolib;

TEST(LastError, SuccessClearsAStaleErrorAndErrorsArePerThread)
{
    setManualClock(true);
    EXPECT_EQ(streamCreateFile("/no/such/file.mp3", kStreamDecode), 0u);
    EXPECT_EQ(lastError(), kErrorFileOpen);
    int otherThread = -1;
    std::thread([&otherThread] { otherThread = lastError(); }).join();
    EXPECT_EQ(otherThread, kOk) << "another thread's failure is not ours";
    EXPECT_EQ(getVersion() & 0xFFFF, 1u);
    EXPECT_EQ(lastError(), kOk);
    EXPECT_FALSE(pause(12345));
    EXPECT_EQ(lastError(), kErrorHandle);
    ASSERT_TRUE(initDevice(kDeviceNoSound, 44100, 0, 0));
    EXPECT_EQ(lastError(), kOk);
    EXPECT_FALSE(initDevice(kDeviceNoSound, 44100, 0, 0));
    EXPECT_EQ(lastError(), kErrorAlreadyInitialised);
    const auto path = audiotest::writeWav("err.wav", audiotest::sine(440, 0.1, 44100, 2), 44100, 2);
    const Handle h = streamCreateFile(path, 0);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(lastError(), kOk);
    EXPECT_FALSE(setAttributes(h, kRateUnchanged, 500, kPanUnchanged));
    ASSERT_TRUE(play(h, false));
    EXPECT_EQ(lastError(), kOk) << "the player reads the error after a successful start";
    EXPECT_STRNE(errorText(kErrorSpeaker), "");
    streamFree(h);
    EXPECT_TRUE(freeDevice());
    EXPECT_FALSE(freeDevice());
    EXPECT_EQ(lastError(), kErrorNotInitialised);
}

TEST(Devices, SelectionIsPerThreadAndUnknownDevicesPlayOnAClockUntilTheyAnswer)
{
    setManualClock(true);
    {
        audiotest::ScopedEnv realDevices("QUORVALEN_NOSOUND", nullptr);
        EXPECT_FALSE(initDevice(-1, 44100, 0, 0));
        EXPECT_EQ(lastError(), kErrorDevice);
        // Not a failure of what is played: the device is tried again while a clock consumes its
        // mix in real time, the manual clock notwithstanding.
        ASSERT_TRUE(initDevice(250, 44100, 0, 0)) << lastError();
        DeviceStatus status;
        ASSERT_TRUE(getDeviceStatus(250, &status));
        EXPECT_EQ(status.state, kDeviceStandIn);
        EXPECT_EQ(status.why, "the system lists no output device 250");
        const Handle h = streamCreateFile(audiotest::writeWav("standin.wav", audiotest::sine(440, 2, 44100, 2), 44100, 2), 0);
        ASSERT_NE(h, 0u) << lastError();
        ASSERT_TRUE(play(h, false));
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        EXPECT_GT(getPosition(h), 0);
        streamFree(h);
        EXPECT_TRUE(freeDevice());
    }
    ASSERT_TRUE(initDevice(kDeviceNoSound, 44100, 0, 0));
    EXPECT_EQ(getDevice(), kDeviceNoSound);
    int seen = -2;
    std::thread([&seen] {
        setDevice(7);  // not initialised: this thread's choice only
        seen = getDevice();
    }).join();
    EXPECT_EQ(seen, -1);
    EXPECT_EQ(getDevice(), kDeviceNoSound);
    DeviceInfo info;
    ASSERT_TRUE(getDeviceInfo(&info));
    EXPECT_EQ(info.speakers, 2);
    EXPECT_EQ(info.currentRateHz, 44100);
    EXPECT_EQ(deviceName(kDeviceNoSound), "No sound");
    EXPECT_TRUE(freeDevice());
}
