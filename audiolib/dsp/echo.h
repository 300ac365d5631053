// Stereo echo: a delay line per side with feedback; with swap the echoes cross sides each repeat
// (ping-pong).
#pragma once

#include "audiolib/dsp/delayline.h"
#include "audiolib/dsp/effectrecords.h"
#include "audiolib/dsp/recordeffect.h"

#include <vector>

namespace audiolib::dsp {

struct EchoState {
    float wet = 0.0f;
    float dry = 1.0f;
    float feedback = 0.0f;
    int leftDelay = 1;  // frames
    int rightDelay = 1;
    bool swap = false;
};

class Echo final : public RecordEffect<EchoParams, EchoState> {
public:
    static constexpr float kMaxDelayMs = 2000.0f;

    Echo();
    void reset() noexcept override;

protected:
    EchoParams clampRecord(const EchoParams& r) const override;
    EchoState makeState(const EchoParams& r, int sampleRate) const override;
    void allocate(int sampleRate, int channels) override;
    void render(const EchoState& s, float* interleaved, int frames, int channels) noexcept override;

private:
    std::vector<DelayLine> m_lines;  // one per channel; even channels take the left delay
};

}  // namespace audiolib::dsp
