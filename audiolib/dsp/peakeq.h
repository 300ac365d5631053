// One band of the graphic equaliser: a peaking biquad (RBJ cookbook) on every channel.
#pragma once

#include "audiolib/dsp/effectrecords.h"
#include "audiolib/dsp/recordeffect.h"

#include <vector>

namespace audiolib::dsp {

struct PeakEqState {
    bool active = false;  // false: the band is flat (0 dB, no frequency, or above Nyquist)
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
};

class PeakEq final : public RecordEffect<PeakEqParams, PeakEqState> {
public:
    PeakEq();
    void reset() noexcept override;

    static PeakEqState coefficients(const PeakEqParams& p, int sampleRate);

protected:
    PeakEqParams clampRecord(const PeakEqParams& r) const override;
    PeakEqState makeState(const PeakEqParams& r, int sampleRate) const override;
    void allocate(int sampleRate, int channels) override;
    void render(const PeakEqState& s, float* interleaved, int frames, int channels) noexcept override;

private:
    // Filter memories in double, which keeps narrow low bands clean: stereo runs in direct form I
    // (four per side), other channel counts in transposed direct form II (two per channel).
    std::vector<double> m_z;
};

}  // namespace audiolib::dsp
