// The "no sound" device's test modes: the mix rendered to a WAV file, and every device number
// opening as "no sound" when the machine has no sound card.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "audiolib/audiolib.h"
#include "audiotest.h"

using namespace audiolib;

namespace {

std::vector<std::int16_t> wavSamples(const std::string& path, std::uint32_t* dataBytes)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<std::int16_t> out;
    if (bytes.size() < 44)
        return out;
    std::memcpy(dataBytes, bytes.data() + 40, 4);
    out.resize((bytes.size() - 44) / 2);
    std::memcpy(out.data(), bytes.data() + 44, out.size() * 2);
    return out;
}

}  // namespace

TEST(RenderFile, TheMixGoesToAWavWithAValidHeader)
{
    setManualClock(true);
    ASSERT_TRUE(initDevice(kDeviceNoSound, 44100, 0, 0));
    const std::string wav = audiotest::tempDir() + "/mix.wav";
    ASSERT_TRUE(setRenderFile(wav));
    const auto tone = audiotest::writeWav("render_in.wav", audiotest::sine(441, 0.5, 44100, 2, 0.5), 44100, 2);
    const Handle h = streamCreateFile(tone, 0);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(setAttributes(h, kRateUnchanged, 50, kPanUnchanged));
    ASSERT_TRUE(play(h, false));
    ASSERT_TRUE(advance(30000));
    ASSERT_TRUE(setRenderFile(""));  // closes the file, header complete
    std::uint32_t dataBytes = 0;
    const auto samples = wavSamples(wav, &dataBytes);
    ASSERT_EQ(samples.size(), 30000u * 2);
    EXPECT_EQ(dataBytes, 30000u * 4);
    for (int i : {0, 25, 1234, 22049}) {
        const double expected = 0.25 * std::sin(2.0 * M_PI * 441.0 * i / 44100.0) * 32767.0;
        EXPECT_NEAR(samples[std::size_t(i) * 2], expected, 3.0) << i;
    }
    EXPECT_EQ(samples[25000 * 2], 0) << "silence after the tone ended";
    streamFree(h);
    freeDevice();
    EXPECT_FALSE(setRenderFile(wav));
    EXPECT_EQ(lastError(), kErrorNotInitialised);
}

TEST(NoSoundEverywhere, AnyDeviceNumberOpensAsNoSound)
{
    setManualClock(true);
    bool opened;
    {
        audiotest::ScopedEnv noSound("QUORVALEN_NOSOUND", "1");
        opened = initDevice(kDeviceDefault, 44100, 0, 0);
    }
    ASSERT_TRUE(opened) << lastError();
    DeviceInfo info;
    ASSERT_TRUE(getDeviceInfo(&info));
    EXPECT_EQ(info.name, "No sound");
    EXPECT_EQ(getDevice(), kDeviceDefault);
    // The manual clock applies to it as to device 0.
    EXPECT_TRUE(advance(100));
    EXPECT_EQ(renderedFrames(), 100);
    EXPECT_TRUE(stopDevice());
    EXPECT_TRUE(advance(100));
    EXPECT_EQ(renderedFrames(), 100) << "a stopped device mixes nothing";
    EXPECT_TRUE(startDevice());
    EXPECT_TRUE(freeDevice());
}

TEST(RenderFile, EnvironmentVariableRendersTheFirstNoSoundDevice)
{
    setManualClock(true);
    const std::string wav = audiotest::tempDir() + "/env_mix.wav";
    {
        audiotest::ScopedEnv render("QUORVALEN_NOSOUND_WAV", wav.c_str());
        ASSERT_TRUE(initDevice(kDeviceNoSound, 48000, 0, 0));
    }
    const auto tone = audiotest::writeWav("env_in.wav", audiotest::sine(480, 0.2, 48000, 2, 0.5), 48000, 2);
    const Handle h = streamCreateFile(tone, 0);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(play(h, false));
    ASSERT_TRUE(advance(4800));
    streamFree(h);
    ASSERT_TRUE(freeDevice());  // completes the header
    std::uint32_t dataBytes = 0;
    const auto samples = wavSamples(wav, &dataBytes);
    ASSERT_EQ(samples.size(), 4800u * 2);
    EXPECT_EQ(dataBytes, 4800u * 4);
    EXPECT_NEAR(samples[25 * 2], 0.5 * 32767.0, 3.0) << "a quarter period of 480 Hz at 48 kHz is the crest";
}
