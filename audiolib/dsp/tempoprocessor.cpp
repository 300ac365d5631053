// Tempo, pitch and rate change through SoundTouch (float samples).
#include "audiolib/dsp/tempoprocessor.h"

#include <soundtouch/SoundTouch.h>

#include <algorithm>
#include <cmath>

namespace audiolib::dsp {

static_assert(std::is_same_v<soundtouch::SAMPLETYPE, float>, "SoundTouch must be built for float samples");

TempoProcessor::TempoProcessor(int sourceRateHz, int channels)
    : m_touch(std::make_unique<soundtouch::SoundTouch>()),
      m_sourceRateHz(std::clamp(sourceRateHz, 1000, 768000)),
      m_channels(std::clamp(channels, 1, 16)),
      m_rateHz(m_sourceRateHz)
{
    m_touch->setSampleRate(static_cast<unsigned>(m_sourceRateHz));
    m_touch->setChannels(static_cast<unsigned>(m_channels));
    m_touch->setTempoChange(0.0);
    m_touch->setRate(1.0);
    m_touch->setPitchSemiTones(0.0);
}

TempoProcessor::~TempoProcessor() = default;

void TempoProcessor::set(float tempoPercent, int rateHz, float pitchSemitones)
{
    if (std::isfinite(tempoPercent) && tempoPercent != kTempoUnchanged) {
        m_tempoPercent = std::clamp(tempoPercent, kMinTempoPercent, kMaxTempoPercent);
        m_touch->setTempoChange(m_tempoPercent);
    }
    if (rateHz != kRateUnchanged && rateHz >= 0) {
        // A twentieth to twenty times the source rate keeps the transposer within a sane range.
        m_rateHz = rateHz == 0 ? m_sourceRateHz : std::clamp(rateHz, m_sourceRateHz / 20, m_sourceRateHz * 20);
        m_touch->setRate(static_cast<double>(m_rateHz) / m_sourceRateHz);
    }
    if (std::isfinite(pitchSemitones) && pitchSemitones != kPitchUnchanged) {
        m_pitchSemitones = std::clamp(pitchSemitones, -kMaxPitchSemitones, kMaxPitchSemitones);
        m_touch->setPitchSemiTones(m_pitchSemitones);
    }
}

float TempoProcessor::speedPercent() const
{
    return (100.0f + m_tempoPercent) * static_cast<float>(m_rateHz) / static_cast<float>(m_sourceRateHz);
}

void TempoProcessor::putFrames(const float* interleaved, int frames)
{
    if (interleaved && frames > 0)
        m_touch->putSamples(interleaved, static_cast<unsigned>(frames));
}

int TempoProcessor::receiveFrames(float* interleaved, int maxFrames)
{
    if (!interleaved || maxFrames <= 0)
        return 0;
    return static_cast<int>(m_touch->receiveSamples(interleaved, static_cast<unsigned>(maxFrames)));
}

int TempoProcessor::framesReady() const { return static_cast<int>(m_touch->numSamples()); }

void TempoProcessor::flush() { m_touch->flush(); }

void TempoProcessor::clear() { m_touch->clear(); }

int TempoProcessor::latencyFrames() const
{
    return m_touch->getSetting(SETTING_INITIAL_LATENCY);
}

}  // namespace audiolib::dsp
