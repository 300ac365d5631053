// Durations measured through the audio library's decode-only streams.
#include "mediafixtures.h"

#include "audiolib/audiolib.h"
#include "media/tag.h"

#include <gtest/gtest.h>

using namespace mediatest;

class FileDuration : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(audiolib::initDevice(audiolib::kDeviceNoSound, 44100, 0, 0)); }
    void TearDown() override { audiolib::freeDevice(); }
    TempDir dir;
};

TEST_F(FileDuration, WavFilesOfKnownLength)
{
    // 2.25 s of 16-bit stereo at 44100 Hz, and 0.5 s of mono at 8000 Hz under an upper-case name.
    EXPECT_EQ(media::GetFileDurationMs(dir.write("a.wav", wavFile(2, 44100, 16, 44100 * 4 * 9 / 4))), 2250);
    EXPECT_EQ(media::GetFileDurationMs(dir.write("B.WAV", wavFile(1, 8000, 16, 8000))), 500);
}

TEST_F(FileDuration, WhatCannotBeMeasuredIsZero)
{
    EXPECT_EQ(media::GetFileDurationMs(dir.path() + "/missing.mp3"), 0);
    EXPECT_EQ(media::GetFileDurationMs(dir.write("text.mp3", std::string(3000, 't'))), 0);
    EXPECT_EQ(media::GetFileDurationMs(dir.write("empty.wma", "")), 0);
    EXPECT_EQ(media::GetFileDurationMs(dir.path() + "/Track01.cda"), 0);
}
