// Flanger: each channel mixed with a copy of itself whose short delay sweeps slowly up and down.
#pragma once

#include "audiolib/dsp/delayline.h"
#include "audiolib/dsp/effectrecords.h"
#include "audiolib/dsp/recordeffect.h"

#include <vector>

namespace audiolib::dsp {

struct FlangerState {
    float minDelay = 1.0f;   // frames
    float sweep = 1.0f;      // frames added at the top of the sweep
    double phaseStep = 0.0;  // radians per frame
    float wet = 0.0f;
    float dry = 1.0f;
};

class Flanger final : public RecordEffect<FlangerParams, FlangerState> {
public:
    static constexpr float kMaxDelayMs = 10.0f;

    Flanger();
    void reset() noexcept override;

protected:
    FlangerParams clampRecord(const FlangerParams& r) const override;
    FlangerState makeState(const FlangerParams& r, int sampleRate) const override;
    void allocate(int sampleRate, int channels) override;
    void render(const FlangerState& s, float* interleaved, int frames, int channels) noexcept override;

private:
    std::vector<DelayLine> m_lines;
    double m_phase = 0.0;
};

}  // namespace audiolib::dsp
