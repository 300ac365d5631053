// Test signals and measurements for the effect tests: generated tones, clicks and noise; RMS,
// peak and the level of one frequency.
#pragma once

#include <vector>

#include "audiolib/dsp/effect.h"

namespace dsptest {

constexpr int kRate = 44100;

// Interleaved frames of a sine of amplitude amp on every channel.
std::vector<float> sine(double hz, double seconds, int channels = 2, double amp = 0.5, int rate = kRate);
std::vector<float> silence(double seconds, int channels = 2, int rate = kRate);
std::vector<float> noise(double seconds, int channels = 2, double amp = 0.3, unsigned seed = 1, int rate = kRate);

// Measurements over frames [from, to) of one channel (to < 0: to the end).
double rms(const std::vector<float>& x, int channels, int channel, int from = 0, int to = -1);
double peak(const std::vector<float>& x, int channels, int channel, int from = 0, int to = -1);
// Amplitude of the component at hz (Goertzel), in the same unit as the samples.
double toneAmplitude(const std::vector<float>& x, int channels, int channel, double hz, int from = 0, int to = -1,
                     int rate = kRate);
// Frequency of a clean tone from its zero crossings (upward) over the given frames.
double zeroCrossingHz(const std::vector<float>& x, int channels, int channel, int from = 0, int to = -1,
                      int rate = kRate);
double db(double ratio);
// Runs the buffer through the effect in blocks, as a mixer would.
void processInBlocks(audiolib::dsp::Effect& fx, std::vector<float>& x, int channels, int block = 512);
bool allFinite(const std::vector<float>& x);

}  // namespace dsptest
