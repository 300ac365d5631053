// Shared helpers of the audio library tests and benchmarks: fixture files made with ffmpeg in a
// temporary folder, WAV writing and signal measurements.
#pragma once

#include <cstdint>
#include <string>
#include <vector>


namespace audiotest {

// A folder that lives as long as the test process.
const std::string& tempDir();

// Runs ffmpeg with a lavfi input description ("sine=frequency=1000:duration=2") and encoder
// arguments, writing tempDir()/name once per process; returns the path, "" on failure.
std::string makeFile(const std::string& name, const std::string& lavfi, const std::string& encoderArgs);
// Decodes with the ffmpeg tool to float stereo at the file's own rate: the reference decoding.
std::vector<float> referenceDecode(const std::string& path);

// 16-bit WAV from interleaved float samples.
std::string writeWav(const std::string& name, const std::vector<float>& interleaved, int rateHz, int channels);
std::vector<float> sine(double freqHz, double seconds, int rateHz, int channels, double amplitude = 1.0);

// Peak absolute value over a range of interleaved samples of one channel.
float peak(const std::vector<float>& stereo, int channel, std::size_t fromFrame, std::size_t toFrame);
// RMS of one channel over frames.
double rms(const std::vector<float>& stereo, int channel, std::size_t fromFrame, std::size_t toFrame);
// Frequency from rising zero crossings of one channel.
double zeroCrossingHz(const std::vector<float>& stereo, int channel, std::size_t fromFrame, std::size_t toFrame,
                      int rateHz);

// Sets (value) or removes (nullptr) an environment variable for a scope, then restores it.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::string m_saved;
    bool m_had = false;
};

}  // namespace audiotest
