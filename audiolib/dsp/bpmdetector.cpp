// BPM measurement through SoundTouch's BPMDetect (float samples).
#include "audiolib/dsp/bpmdetector.h"

#include <soundtouch/BPMDetect.h>

#include <algorithm>
#include <cmath>

namespace audiolib::dsp {

BpmDetector::BpmDetector(int sampleRateHz, int channels, float minBpm, float maxBpm)
    : m_detect(std::make_unique<soundtouch::BPMDetect>(std::clamp(channels, 1, 16),
                                                        std::clamp(sampleRateHz, 1000, 768000)))
{
    const bool valid = std::isfinite(minBpm) && std::isfinite(maxBpm) && minBpm > 0.0f && maxBpm > minBpm;
    m_minBpm = valid ? minBpm : kDefaultMinBpm;
    m_maxBpm = valid ? maxBpm : kDefaultMaxBpm;
}

BpmDetector::~BpmDetector() = default;

void BpmDetector::putFrames(const float* interleaved, int frames)
{
    if (interleaved && frames > 0)
        m_detect->inputSamples(interleaved, frames);
}

float BpmDetector::bpm()
{
    const float raw = m_detect->getBpm();
    if (!std::isfinite(raw) || raw <= 0.0f)
        return 0.0f;
    return foldIntoRange(raw, m_minBpm, m_maxBpm);
}

float BpmDetector::foldIntoRange(float bpm, float minBpm, float maxBpm)
{
    if (!(bpm > 0.0f) || !std::isfinite(bpm) || !(minBpm > 0.0f) || !(maxBpm >= minBpm))
        return bpm;
    float folded = bpm;
    while (folded < minBpm)
        folded *= 2.0f;
    while (folded > maxBpm)
        folded /= 2.0f;
    return folded >= minBpm ? folded : bpm;
}

float BpmDetector::convertForTempo(float bpm, float tempoPercent)
{
    if (!(bpm > 0.0f) || !std::isfinite(bpm) || !std::isfinite(tempoPercent))
        return 0.0f;
    return std::max(0.0f, bpm * (100.0f + tempoPercent) / 100.0f);
}

}  // namespace audiolib::dsp
