// Spectrum of what is heard, for the spectrum display.
#include "audiolib/fftanalyzer.h"

#include <cmath>
#include <mutex>

#include <kiss_fftr.h>

namespace audiolib {

void spectrum256(const float* stereo, float* out)
{
    // One plan for the process; kiss_fftr is re-entrant given separate buffers.
    static kiss_fftr_cfg cfg = kiss_fftr_alloc(kSpectrumFrames, 0, nullptr, nullptr);
    static float window[kSpectrumFrames];
    static std::once_flag once;
    std::call_once(once, [] {
        for (int i = 0; i < kSpectrumFrames; ++i)
            window[i] = 0.5f - 0.5f * std::cos(2.0f * float(M_PI) * float(i) / float(kSpectrumFrames));
    });
    kiss_fft_scalar in[kSpectrumFrames];
    kiss_fft_cpx bins[kSpectrumFrames / 2 + 1];
    for (int i = 0; i < kSpectrumFrames; ++i)
        in[i] = 0.5f * (stereo[i * 2] + stereo[i * 2 + 1]) * window[i];
    kiss_fftr(cfg, in, bins);
    // A Hann-windowed sine of amplitude A gives A * N / 4 at its bin.
    const float scale = 4.0f / float(kSpectrumFrames);
    for (int k = 0; k < 256; ++k)
        out[k] = std::sqrt(bins[k].r * bins[k].r + bins[k].i * bins[k].i) * scale;
}

}  // namespace audiolib
