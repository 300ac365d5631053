// Beats per minute of a stretch of audio (SoundTouch's beat detection), folded into the range the
// caller expects, and the conversion of a measurement for a tempo change.
#pragma once

#include <memory>

namespace soundtouch {
class BPMDetect;
}

namespace audiolib::dsp {

class BpmDetector {
public:
    static constexpr float kDefaultMinBpm = 60.0f;
    static constexpr float kDefaultMaxBpm = 200.0f;

    // minBpm/maxBpm: the tempo range the result is folded into by doubling or halving
    // (0 or an empty range: 60..200).
    BpmDetector(int sampleRateHz, int channels, float minBpm = 0.0f, float maxBpm = 0.0f);
    ~BpmDetector();
    BpmDetector(const BpmDetector&) = delete;
    BpmDetector& operator=(const BpmDetector&) = delete;

    void putFrames(const float* interleaved, int frames);
    // 0 when no beat was found (silence, too little audio).
    float bpm();

    // A measurement as heard at a tempo change of percents; a stream never measured (bpm 0)
    // stays 0.
    static float convertForTempo(float bpm, float tempoPercent);
    // Doubles or halves bpm into minBpm..maxBpm; as measured when no octave of it lies there.
    static float foldIntoRange(float bpm, float minBpm, float maxBpm);

private:
    std::unique_ptr<soundtouch::BPMDetect> m_detect;
    float m_minBpm;
    float m_maxBpm;
};

}  // namespace audiolib::dsp
