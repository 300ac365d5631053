// Finding where a track's sound really starts and ends: the leading silence is walked block by
// block, the trailing silence sampled in windows from the end.
#pragma once

#include <cstdint>

namespace engine {

// The silence cut of the file on a deck.
struct TrimResult {
    float startSeconds = 0;
    float tailSeconds = 0;
    std::int32_t startBytes = 0;
    std::int32_t tailBytes = 0;
    std::int32_t lengthBytes = 0;
};

// Signed 16-bit PCM read from a decoded file (or from a buffer in tests).
class PcmReader {
public:
    virtual ~PcmReader() = default;
    // False once the data is used up.
    virtual bool isActive() = 0;
    // Up to bytes bytes at the read position; the count read, 0 or less at the end or on error.
    virtual int read(void* buffer, int bytes) = 0;
    virtual bool setPosition(std::int64_t bytes) = 0;
    virtual std::int64_t lengthBytes() = 0;
    virtual double bytesToSeconds(std::int64_t bytes) = 0;
};

constexpr int kLeadBlockBytes = 20000;
constexpr int kTailWindowBytes = 50000;

// Start: the first sample above threshold, moved back to the last one at or below threshold / 4
// inside the same block. End: windows of kTailWindowBytes back to back from the very end, each
// walked back to its last sample above threshold / 2. The windows leave no gap: sound in a gap
// (or in the last bytes) would be cut off the air as if it were silence.
TrimResult scanSilence(PcmReader& reader, std::int32_t threshold);

}  // namespace engine
