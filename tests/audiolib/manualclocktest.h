// The fixture of the tests that run on device 0 under the manual clock, at 44100 Hz.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "audiolib/audiolib.h"
#include "audiotest.h"

namespace audiotest {

class ManualClockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        audiolib::setManualClock(true);
        ASSERT_TRUE(audiolib::initDevice(audiolib::kDeviceNoSound, 44100, 0, 0)) << audiolib::lastError();
        audiolib::setConfig(audiolib::kOptionStreamVolume, 100);
        audiolib::setConfig(audiolib::kOptionLogCurve, 0);
        audiolib::setConfig(audiolib::kOptionBufferMs, 500);
    }
    void TearDown() override
    {
        audiolib::setDevice(audiolib::kDeviceNoSound);
        audiolib::freeDevice();
    }
    // Advances the device and returns the mix (stereo float).
    std::vector<float> render(std::uint32_t frames)
    {
        std::vector<float> out(std::size_t(frames) * 2);
        EXPECT_TRUE(audiolib::advance(frames, out.data()));
        return out;
    }
};

}  // namespace audiotest
