// The silence scan over 16-bit PCM, apart from any stream so that it can be tested on buffers.
#include "engine/silencescan.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace engine {

namespace {

std::int64_t leadingSilenceBytes(PcmReader& reader, double threshold)
{
    std::vector<std::int16_t> block(kLeadBlockBytes / 2);
    std::int64_t s = 0;
    while (reader.isActive()) {
        const int got = reader.read(block.data(), kLeadBlockBytes);
        if (got <= 0)
            break;  // an "active" reader that delivers nothing would loop for ever
        const int samples = std::min(got, kLeadBlockBytes) / 2;
        int i = 0;
        while (i < samples && std::abs(block[i]) <= threshold) {
            ++i;
            s += 2;
        }
        if (i < samples) {
            // Back to where the sound began to rise, but never before this block.
            while (i > 0 && std::abs(block[i]) > threshold / 4) {
                --i;
                s -= 2;
            }
            break;
        }
    }
    return s;
}

std::int64_t soundEndBytes(PcmReader& reader, double threshold, std::int64_t start, std::int64_t length)
{
    std::vector<std::int16_t> window(kTailWindowBytes / 2);
    std::int64_t p = length;
    while (p > start) {
        const std::int64_t windowEnd = p;
        p = p < kTailWindowBytes ? 0 : p - kTailWindowBytes;
        if (!reader.setPosition(p))
            continue;
        const int want = static_cast<int>(windowEnd - p);
        const int got = reader.read(window.data(), want);
        if (got <= 0)
            continue;
        int k = std::min(got, want) / 2;  // 1-based index of the sample looked at
        while (k > 0 && std::abs(window[k - 1]) <= threshold / 2)
            --k;
        if (k > 0)
            return p + 2 * static_cast<std::int64_t>(k);
    }
    return start;
}

std::int32_t toInt32(std::int64_t v)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

TrimResult scanSilence(PcmReader& reader, std::int32_t threshold)
{
    TrimResult r;
    const double t = threshold;
    const std::int64_t start = leadingSilenceBytes(reader, t);
    const std::int64_t length = std::max<std::int64_t>(reader.lengthBytes(), 0);
    // A sample between threshold / 2 and threshold inside the leading silence could put the end
    // before the start; the cut point would then lie behind the playing position and the end
    // would never be notified.
    const std::int64_t end = std::max(soundEndBytes(reader, t, start, length), start);
    const std::int64_t tail = std::max<std::int64_t>(length - end, 0);
    r.startBytes = toInt32(start);
    r.startSeconds = static_cast<float>(reader.bytesToSeconds(start));
    r.tailBytes = toInt32(tail);
    r.tailSeconds = static_cast<float>(reader.bytesToSeconds(tail));
    r.lengthBytes = toInt32(length);
    return r;
}

}  // namespace engine
