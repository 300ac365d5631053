// Soft-knee peak compressor with a make-up gain: loud passages are held down first, then the gain
// (the deck's only control, also its mute) is applied to the output, so that it moves quiet and
// loud material alike by exactly its dB.
#pragma once

#include "audiolib/dsp/effectrecords.h"
#include "audiolib/dsp/recordeffect.h"

namespace audiolib::dsp {

struct CompressorState {
    float makeupGain = 1.0f;
    float makeupGainCoef = 0.0f;  // per control block, for gliding to a new make-up gain
    float thresholdDb = -10.0f;
    float slope = 0.0f;  // 1/ratio - 1: dB of reduction per dB above the threshold
    float kneeDb = 0.0f;
    float attackCoef = 0.0f;   // one-pole coefficients of the envelope, per control block
    float releaseCoef = 0.0f;
};

class Compressor final : public RecordEffect<CompressorParams, CompressorState> {
public:
    Compressor();
    void reset() noexcept override;

    static CompressorParams defaults();
    // Static gain curve in dB (reduction, <= 0) for an input level in dBFS.
    static float gainReductionDb(const CompressorState& s, float levelDb) noexcept;

protected:
    CompressorParams clampRecord(const CompressorParams& r) const override;
    CompressorState makeState(const CompressorParams& r, int sampleRate) const override;
    void allocate(int, int) override {}
    void render(const CompressorState& s, float* interleaved, int frames, int channels) noexcept override;

private:
    float m_envelope = 0.0f;  // linear peak level of the input
    float m_gain = 1.0f;      // linear gain reduction of the last control block
    float m_makeupGain = -1.0f;  // make-up gain reached; negative: none yet
};

}  // namespace audiolib::dsp
