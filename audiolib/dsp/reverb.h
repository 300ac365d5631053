// Reverb of our own: per channel, parallel feedback combs with frequency-dependent decay (set from
// the reverb time and the high-frequency time ratio) followed by series allpass diffusers.
#pragma once

#include "audiolib/dsp/effectrecords.h"
#include "audiolib/dsp/recordeffect.h"

#include <array>
#include <vector>

namespace audiolib::dsp {

constexpr int kReverbCombs = 8;
constexpr int kReverbAllpasses = 4;

struct ReverbState {
    float inputGain = 1.0f;
    float wetGain = 0.0f;
    // Per comb: loop gain at low frequencies and the pole of its loop low-pass.
    std::array<float, kReverbCombs> combGain{};
    std::array<float, kReverbCombs> combDamp{};
};

class Reverb final : public RecordEffect<ReverbParams, ReverbState> {
public:
    Reverb();
    void reset() noexcept override;

    // Comb lengths in frames at a sample rate (the same for makeState and allocate).
    static int combLength(int index, int channel, int sampleRate);
    static int allpassLength(int index, int channel, int sampleRate);

protected:
    ReverbParams clampRecord(const ReverbParams& r) const override;
    ReverbState makeState(const ReverbParams& r, int sampleRate) const override;
    void allocate(int sampleRate, int channels) override;
    void render(const ReverbState& s, float* interleaved, int frames, int channels) noexcept override;

private:
    struct Comb {
        std::vector<float> buffer;
        int pos = 0;
        float lowpass = 0.0f;
    };
    struct Allpass {
        std::vector<float> buffer;
        int pos = 0;
    };
    struct Channel {
        std::array<Comb, kReverbCombs> combs;
        std::array<Allpass, kReverbAllpasses> allpasses;
    };
    std::vector<Channel> m_channels;
};

}  // namespace audiolib::dsp
