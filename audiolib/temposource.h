// The tempo stream's source: reads a decode stream, changes tempo, pitch and rate, and maps every
// frame it makes back to the input frame it came from (so positions count the input).
// Runs on the decoding thread (or inline under the manual clock).
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "audiolib/dsp/tempoprocessor.h"
#include "audiolib/source.h"

namespace audiolib {

class Channel;

class TempoSource : public Source {
public:
    explicit TempoSource(std::shared_ptr<Channel> input);

    int rateHz() const override { return m_rate; }
    int channels() const override { return m_channels; }
    std::int64_t lengthFrames() const override { return m_length; }
    int read(float* out, int maxFrames, std::int64_t* positions) override;
    bool seek(std::int64_t frame) override;
    std::int64_t position() const override { return m_lastPos; }

    // Settings come from control threads; the processor itself is only touched under m_mutex.
    void set(float tempoPercent, int rateHz, float pitchSemitones);
    void get(float* tempoPercent, int* rateHz, float* pitchSemitones) const;
    float speedPercent() const;

private:
    std::shared_ptr<Channel> m_input;
    int m_rate;
    int m_channels;
    std::int64_t m_length;
    mutable std::mutex m_mutex;
    dsp::TempoProcessor m_proc;
    std::vector<float> m_in;
    bool m_inputEnded = false;
    std::int64_t m_fed = 0;      // next input frame index to be fed
    std::int64_t m_lastPos = 0;  // input frame of the last frame delivered (+1)
    double m_outPos = 0.0;       // input frame of the next frame delivered
};

}  // namespace audiolib
