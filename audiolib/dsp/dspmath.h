// Small numeric helpers shared by the effects: decibels and clamping of untrusted parameters.
#pragma once

#include <algorithm>
#include <cmath>

namespace audiolib::dsp {

constexpr double kPi = 3.14159265358979323846;

inline double dbToGain(double db) { return std::pow(10.0, db / 20.0); }

// value limited to lo..hi; NaN (and infinities, which have no usable meaning in a parameter
// record) become fallback.
inline float clampParam(float value, float lo, float hi, float fallback)
{
    if (!std::isfinite(value))
        return fallback;
    return std::clamp(value, lo, hi);
}

// Keeps denormals and runaway values out of recursive filters' memories.
inline float sanitizeState(float v) { return (std::isfinite(v) && std::fabs(v) > 1e-20f) ? v : 0.0f; }

}  // namespace audiolib::dsp
