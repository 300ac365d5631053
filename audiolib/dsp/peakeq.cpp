// Peaking equaliser band. Bandwidth is in semitones between the band edges: twelve bands at close
// centres (12, 14, 16 kHz...) must not pile up into one broad boost.
// process() runs on the audio thread: no allocation, no locks.
#include "audiolib/dsp/peakeq.h"

#include "audiolib/dsp/dspmath.h"

#include <algorithm>
#include <cmath>

namespace audiolib::dsp {

namespace {
constexpr float kDefaultBandwidthSemitones = 2.5f;
constexpr float kMaxGainDb = 24.0f;
}  // namespace

PeakEq::PeakEq() : RecordEffect(PeakEqParams{0, kDefaultSampleRate, kDefaultBandwidthSemitones, 0.0f, 1000.0f, 0.0f}) {}

PeakEqParams PeakEq::clampRecord(const PeakEqParams& r) const
{
    PeakEqParams c = r;
    // A bandwidth of 0 (a record never filled) means the usual band width, not an infinitely
    // narrow notch.
    c.bandwidth = (std::isfinite(r.bandwidth) && r.bandwidth > 0.0f) ? std::min(r.bandwidth, 48.0f)
                                                                      : kDefaultBandwidthSemitones;
    c.q = (std::isfinite(r.q) && r.q > 0.0f) ? std::clamp(r.q, 0.05f, 50.0f) : 0.0f;
    c.centerHz = clampParam(r.centerHz, 0.0f, 100000.0f, 0.0f);
    c.gainDb = clampParam(r.gainDb, -kMaxGainDb, kMaxGainDb, 0.0f);
    return c;
}

PeakEqState PeakEq::coefficients(const PeakEqParams& p, int sampleRate)
{
    PeakEqState s;
    const double fs = sampleRate;
    if (p.gainDb == 0.0f || p.centerHz < 1.0f || p.centerHz >= 0.49 * fs)
        return s;  // flat
    const double a = std::pow(10.0, p.gainDb / 40.0);
    const double w0 = 2.0 * kPi * p.centerHz / fs;
    const double sinW = std::sin(w0);
    const double cosW = std::cos(w0);
    double alpha;
    if (p.q > 0.0f) {
        alpha = sinW / (2.0 * p.q);
    } else {
        const double octaves = p.bandwidth / 12.0;
        alpha = sinW * std::sinh(std::log(2.0) / 2.0 * octaves * w0 / sinW);
    }
    const double a0 = 1.0 + alpha / a;
    s.active = true;
    s.b0 = (1.0 + alpha * a) / a0;
    s.b1 = -2.0 * cosW / a0;
    s.b2 = (1.0 - alpha * a) / a0;
    s.a1 = -2.0 * cosW / a0;
    s.a2 = (1.0 - alpha / a) / a0;
    return s;
}

PeakEqState PeakEq::makeState(const PeakEqParams& r, int sampleRate) const { return coefficients(r, sampleRate); }

void PeakEq::allocate(int, int channels) { m_z.assign(static_cast<std::size_t>(std::max(channels, 2)) * 4, 0.0); }

void PeakEq::render(const PeakEqState& s, float* x, int frames, int channels) noexcept
{
    if (!s.active) {
        // A flat band passes the signal untouched; it restarts from clean memories when raised.
        std::fill(m_z.begin(), m_z.end(), 0.0);
        return;
    }
    if (channels == 2) {
        // The usual stereo case: left and right side by side in one pair of doubles, so each
        // multiply-add serves both sides; direct form I keeps a single multiply-add on the
        // recursive path (the other terms are ready ahead of it).
        using Pair = double __attribute__((vector_size(16)));
        Pair x1 = {m_z[0], m_z[4]}, x2 = {m_z[1], m_z[5]};
        Pair y1 = {m_z[2], m_z[6]}, y2 = {m_z[3], m_z[7]};
        const Pair b0 = {s.b0, s.b0}, b1 = {s.b1, s.b1}, b2 = {s.b2, s.b2};
        const Pair a1 = {s.a1, s.a1}, a2 = {s.a2, s.a2};
        for (int i = 0; i < frames; ++i) {
            const Pair in = {x[2 * i], x[2 * i + 1]};
            const Pair ahead = b0 * in + b1 * x1 + b2 * x2 - a2 * y2;
            const Pair out = ahead - a1 * y1;
            x2 = x1;
            x1 = in;
            y2 = y1;
            y1 = out;
            x[2 * i] = static_cast<float>(out[0]);
            x[2 * i + 1] = static_cast<float>(out[1]);
        }
        const double z[8] = {x1[0], x2[0], y1[0], y2[0], x1[1], x2[1], y1[1], y2[1]};
        for (int k = 0; k < 8; ++k)
            m_z[static_cast<std::size_t>(k)] = std::isfinite(z[k]) ? z[k] : 0.0;
        return;
    }
    for (int c = 0; c < channels; ++c) {
        double z1 = m_z[2 * c];
        double z2 = m_z[2 * c + 1];
        float* p = x + c;
        for (int i = 0; i < frames; ++i, p += channels) {
            const double in = *p;
            const double out = s.b0 * in + z1;
            z1 = s.b1 * in - s.a1 * out + z2;
            z2 = s.b2 * in - s.a2 * out;
            *p = static_cast<float>(out);
        }
        // A NaN sample from upstream must not poison the band for the rest of the track.
        m_z[2 * c] = std::isfinite(z1) ? z1 : 0.0;
        m_z[2 * c + 1] = std::isfinite(z2) ? z2 : 0.0;
    }
}

void PeakEq::reset() noexcept { std::fill(m_z.begin(), m_z.end(), 0.0); }

}  // namespace audiolib::dsp
