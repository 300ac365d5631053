// The length of an MPEG audio layer III file found from its frame headers alone, never decoding:
// the same number of samples as the audio library's stream counts by reading every packet, with
// the encoder delay and padding of a LAME or Lavc info frame taken off as that stream takes them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace media {

struct MpegLength {
    std::int64_t samples = 0;  // per channel
    int rateHz = 0;
};

// Only a plain file is answered: an optional ID3v2 tag, then layer III frames of one version and
// sample rate back to back up to the end or to an ID3v1 tag, with at most a Xing or Info frame in
// front. Anything else (damage, junk between frames, other tags, free format, a VBRI frame, a
// header size that does not agree with the file) gives nullopt, and the caller measures the
// file through the audio library.
std::optional<MpegLength> MpegLengthFromHeaders(const std::string& fileName);

}  // namespace media
