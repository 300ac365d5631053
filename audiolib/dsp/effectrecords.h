// Parameter records of the channel effects, laid out as the deck fills them and as presets and
// profiles store them (the raw little-endian bytes as hexadecimal text): field order and sizes
// are fixed.
#pragma once

#include <cstdint>
#include <type_traits>

namespace audiolib::dsp {

// Compressor (kind 1). The deck only changes gainDb; it reads the current record first and sends it
// back, so the other fields always carry the effect's own values. gainDb is a make-up gain applied
// after the gain computer, so it moves the output by exactly its dB at any level (also as mute).
struct CompressorParams {
    float gainDb;       // -60 .. 60
    float thresholdDb;  // -60 .. 0, dBFS
    float ratio;        // 1 .. 20
    float attackMs;     // 0.01 .. 500
    float releaseMs;    // 1 .. 5000
    float kneeDb;       // 0 .. 24, width of the soft knee
};

// Echo (kind 3).
struct EchoParams {
    float wetDryPercent;    // 0 .. 100: share of the echo in the output
    float feedbackPercent;  // 0 .. 100
    float leftDelayMs;      // 1 .. 2000
    float rightDelayMs;     // 1 .. 2000
    std::int32_t swapDelays;  // non-zero (the deck writes -1): echoes alternate between the sides
};

// Peaking equaliser band (kind 5), one effect per band.
struct PeakEqParams {
    std::int32_t band;        // band index, carried for the caller
    std::int32_t sampleRate;  // the channel's rate as the caller saw it; informative only
    float bandwidth;          // semitones between the band edges, used when q is 0
    float q;                  // quality factor; 0 = use bandwidth
    float centerHz;
    float gainDb;  // -24 .. 24
};

// Reverb (kind 8).
struct ReverbParams {
    float inputGainDb;  // -96 .. 0
    float reverbMixDb;  // -96 .. 0: level of the reverberation against the dry signal
    float reverbTimeMs;  // 0.001 .. 3000: time for the tail to fall by 60 dB
    float hfTimeRatio;   // 0.001 .. 0.999: high-frequency decay time relative to reverbTimeMs
};

// Flanger (kind 9).
struct FlangerParams {
    float delayMs;             // 1.1 .. 3.1: shortest delay of the sweep
    std::int32_t sampleRate;   // written by the deck from the channel; informative only
    float beatsPerMinute;      // 1 .. 350: sweeps per minute
    float wetDry;              // 1 .. 10: ratio of the delayed signal to the dry one
};

// Second echo (kind 13): a single delay line with signed mixes.
struct Echo2Params {
    float dryMix;       // -2 .. 2
    float wetMix;       // -2 .. 2
    float feedback;     // -1 .. 1
    float delaySeconds;  // 0.02 .. 6
};

static_assert(sizeof(float) == 4);
static_assert(sizeof(CompressorParams) == 24);
static_assert(sizeof(EchoParams) == 20);
static_assert(sizeof(PeakEqParams) == 24);
static_assert(sizeof(ReverbParams) == 16);
static_assert(sizeof(FlangerParams) == 16);
static_assert(sizeof(Echo2Params) == 16);
static_assert(std::is_trivially_copyable_v<CompressorParams> && std::is_trivially_copyable_v<EchoParams> &&
              std::is_trivially_copyable_v<PeakEqParams> && std::is_trivially_copyable_v<ReverbParams> &&
              std::is_trivially_copyable_v<FlangerParams> && std::is_trivially_copyable_v<Echo2Params>);

}  // namespace audiolib::dsp
