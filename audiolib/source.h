// What a stream plays: a producer of float PCM at its own rate (files, CD tracks, user procedures,
// the tempo processor). Sources run on decoding threads only, never on the output callback.
#pragma once

#include <cstdint>

namespace audiolib {

class Source {
public:
    virtual ~Source() = default;
    virtual int rateHz() const = 0;
    virtual int channels() const = 0;  // 1 or 2
    // Exact length in frames, -1 when unknown (user streams).
    virtual std::int64_t lengthFrames() const = 0;
    // Reads up to maxFrames interleaved frames into out; positions (may be null) receives, for each
    // frame, its frame index in the underlying file (the tempo source maps back to its input).
    // Returns the frames read; 0 means the end (or damage that cannot be read past).
    virtual int read(float* out, int maxFrames, std::int64_t* positions) = 0;
    // Moves to a frame index; false when it cannot (the source stays usable).
    virtual bool seek(std::int64_t frame) = 0;
    // After read() gave 0: true when nothing more will come, false when data may come later.
    virtual bool exhausted() const { return true; }
    // A live input (the line input): what was buffered before a pause is stale after it.
    virtual bool live() const { return false; }
    // Index of the next frame read() returns.
    virtual std::int64_t position() const = 0;
};

}  // namespace audiolib
