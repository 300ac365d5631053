// Tempo, pitch and playback-rate change of interleaved float audio (SoundTouch underneath), for
// the tempo stream: the source's frames go in, the changed frames come out.
#pragma once

#include <cstddef>
#include <memory>

namespace soundtouch {
class SoundTouch;
}

namespace audiolib::dsp {

// Not thread-safe: one worker thread feeds and drains it; settings from another thread go through
// the owner's lock. put/receive allocate nothing beyond SoundTouch's own internal buffers.
class TempoProcessor {
public:
    // Values that leave a setting as it is in set().
    static constexpr float kTempoUnchanged = -100.0f;  // a change of -100 % would stop time
    static constexpr int kRateUnchanged = -1;           // any rate <= 0 is taken as unchanged too
    static constexpr float kPitchUnchanged = -100.0f;   // -1 is a real pitch change of one semitone

    static constexpr float kMinTempoPercent = -95.0f;
    static constexpr float kMaxTempoPercent = 5000.0f;
    static constexpr float kMaxPitchSemitones = 60.0f;

    TempoProcessor(int sourceRateHz, int channels);
    ~TempoProcessor();
    TempoProcessor(const TempoProcessor&) = delete;
    TempoProcessor& operator=(const TempoProcessor&) = delete;

    // tempoPercent: 0 = unchanged, 10 = 10 % faster at the same pitch (clamped to -95..5000).
    // rateHz: the rate the source plays at (speed and pitch together), relative to the source's own
    // rate; 0 means the source's own rate. pitchSemitones: -60..60. NaN leaves a value unchanged.
    void set(float tempoPercent, int rateHz, float pitchSemitones);
    void setTempoPercent(float percent) { set(percent, kRateUnchanged, kPitchUnchanged); }
    void setRateHz(int rateHz) { set(kTempoUnchanged, rateHz, kPitchUnchanged); }
    void setPitchSemitones(float semitones) { set(kTempoUnchanged, kRateUnchanged, semitones); }

    float tempoPercent() const { return m_tempoPercent; }
    int rateHz() const { return m_rateHz; }  // the source's rate while unchanged
    float pitchSemitones() const { return m_pitchSemitones; }
    // How fast the output runs through the source: 100 = real time, 110 = 10 % faster.
    float speedPercent() const;

    int sourceRateHz() const { return m_sourceRateHz; }
    int channels() const { return m_channels; }

    void putFrames(const float* interleaved, int frames);
    // Moves up to maxFrames changed frames into out; returns the frames written.
    int receiveFrames(float* interleaved, int maxFrames);
    int framesReady() const;
    // The source has ended: pushes what is still held inside through (adds a little silence).
    void flush();
    // Forgets everything held (a seek).
    void clear();
    // Source frames taken in before the first frame comes out.
    int latencyFrames() const;

private:
    std::unique_ptr<soundtouch::SoundTouch> m_touch;
    int m_sourceRateHz;
    int m_channels;
    float m_tempoPercent = 0.0f;
    int m_rateHz;
    float m_pitchSemitones = 0.0f;
};

}  // namespace audiolib::dsp
