// The effects a channel can carry (compressor, echo, reverb, peaking equaliser band, flanger,
// second echo), each processing interleaved float samples in place on the mixing thread.
#pragma once

#include <cstddef>
#include <memory>

namespace audiolib::dsp {

// Effect kinds as callers number them.
constexpr int kEffectCompressor = 1;
constexpr int kEffectEcho = 3;
constexpr int kEffectPeakEq = 5;
constexpr int kEffectReverb = 8;
constexpr int kEffectFlanger = 9;
constexpr int kEffectEcho2 = 13;

// Threads: setParameters/getParameters/prepare come from a control thread (the user interface or
// the fade-out timer), process/reset from the audio thread, possibly at the same time. process()
// never allocates, never blocks and never does I/O; parameter changes reach it without a lock held
// across processing (an implementation publishes a new state the audio thread picks up).
class Effect {
public:
    virtual ~Effect() = default;
    // Sample format of what process() will get; may allocate. Called before the first process().
    virtual void prepare(int sampleRate, int channels) = 0;
    // The caller's parameter record (the layout of that kind's record); values out of their usable
    // range (zero records, NaN) are clamped. False when size does not match the record.
    virtual bool setParameters(const void* record, std::size_t size) = 0;
    virtual bool getParameters(void* record, std::size_t size) const = 0;
    virtual void process(float* interleaved, int frames) noexcept = 0;
    virtual void reset() noexcept = 0;  // clears delay lines and filter memories
};

// nullptr for an unknown kind.
std::unique_ptr<Effect> createEffect(int kind);

}  // namespace audiolib::dsp
