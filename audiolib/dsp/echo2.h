// Second echo: one delay line per channel with signed dry, wet and feedback gains.
#pragma once

#include "audiolib/dsp/delayline.h"
#include "audiolib/dsp/effectrecords.h"
#include "audiolib/dsp/recordeffect.h"

#include <vector>

namespace audiolib::dsp {

struct Echo2State {
    float dry = 1.0f;
    float wet = 0.0f;
    float feedback = 0.0f;
    int delay = 1;  // frames
};

class Echo2 final : public RecordEffect<Echo2Params, Echo2State> {
public:
    static constexpr float kMaxDelaySeconds = 6.0f;

    Echo2();
    void reset() noexcept override;

protected:
    Echo2Params clampRecord(const Echo2Params& r) const override;
    Echo2State makeState(const Echo2Params& r, int sampleRate) const override;
    void allocate(int sampleRate, int channels) override;
    void render(const Echo2State& s, float* interleaved, int frames, int channels) noexcept override;

private:
    std::vector<DelayLine> m_lines;
};

}  // namespace audiolib::dsp
