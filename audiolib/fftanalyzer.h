// The 256-band spectrum of the last frames heard (KISS FFT), scaled so that a full-scale sine
// centred on a band reads about 1.0 and silence reads 0.
#pragma once

namespace audiolib {

constexpr int kSpectrumFrames = 512;

// stereo: kSpectrumFrames interleaved stereo frames, oldest first; out: 256 magnitudes, band k
// centred on k * rate / 512.
void spectrum256(const float* stereo, float* out);

}  // namespace audiolib
