// BPM measurement of generated click tracks, the range folding and the tempo conversion.
#include "audiolib/dsp/bpmdetector.h"
#include "signal.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace audiolib::dsp;
using namespace dsptest;

namespace {

// Stereo clicks: a 30 ms decaying 1 kHz burst every beat.
std::vector<float> clickTrack(double bpm, double seconds)
{
    std::vector<float> x = silence(seconds, 2);
    const double beat = 60.0 / bpm;
    const int clickFrames = kRate * 30 / 1000;
    for (double t = 0; t < seconds; t += beat) {
        const int start = static_cast<int>(t * kRate);
        for (int i = 0; i < clickFrames && start + i < static_cast<int>(x.size() / 2); ++i) {
            const float v = static_cast<float>(0.8 * std::exp(-i / (0.005 * kRate)) * std::sin(2 * M_PI * 1000 * i / kRate));
            x[static_cast<std::size_t>(start + i) * 2] = v;
            x[static_cast<std::size_t>(start + i) * 2 + 1] = v;
        }
    }
    return x;
}

float measure(const std::vector<float>& x, float minBpm = 0, float maxBpm = 0)
{
    BpmDetector d(kRate, 2, minBpm, maxBpm);
    for (std::size_t i = 0; i < x.size() / 2; i += 4096)
        d.putFrames(x.data() + i * 2, static_cast<int>(std::min<std::size_t>(4096, x.size() / 2 - i)));
    return d.bpm();
}

TEST(BpmMeasure, ClickTracksReadTheirTempo)
{
    EXPECT_NEAR(measure(clickTrack(120, 30)), 120.0f, 1.0f);
    EXPECT_NEAR(measure(clickTrack(93, 30)), 93.0f, 1.0f);
}

TEST(BpmMeasure, SilenceAndTooLittleAudioGiveZero)
{
    EXPECT_EQ(measure(silence(10)), 0.0f);
    EXPECT_EQ(measure(std::vector<float>()), 0.0f);
}

TEST(BpmMeasure, ResultIsFoldedIntoTheCallersRange)
{
    EXPECT_NEAR(measure(clickTrack(120, 30), 150, 300), 240.0f, 2.0f);
    EXPECT_FLOAT_EQ(BpmDetector::foldIntoRange(50, 60, 200), 100);
    EXPECT_FLOAT_EQ(BpmDetector::foldIntoRange(410, 60, 200), 102.5f);
    EXPECT_FLOAT_EQ(BpmDetector::foldIntoRange(50, 60, 100), 100);
    EXPECT_FLOAT_EQ(BpmDetector::foldIntoRange(50, 60, 90), 50);  // no octave in range: as measured
}

TEST(BpmMeasure, ConversionForTempo)
{
    EXPECT_FLOAT_EQ(BpmDetector::convertForTempo(120, 10), 132);
    EXPECT_FLOAT_EQ(BpmDetector::convertForTempo(120, -50), 60);
    EXPECT_EQ(BpmDetector::convertForTempo(0, 25), 0);  // never measured
    EXPECT_EQ(BpmDetector::convertForTempo(NAN, 25), 0);
    EXPECT_EQ(BpmDetector::convertForTempo(120, -200), 0);
}

}  // namespace
