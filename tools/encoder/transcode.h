// Encoding one audio file into another with FFmpeg's encoders and muxers, as a plug-in says,
// reporting its progress in steps and stopping when the progress callback asks it to.
#pragma once

#include "tools/encoder/plugin.h"

#include <cstdint>
#include <functional>
#include <string>

namespace encoder {

enum class EncodeResult { Done, Aborted, Failed };

struct EncodeProgress {
    // Once, before the first step, with the number of steps to come; false stops.
    std::function<bool(std::int64_t steps)> started;
    // After each step with the steps done; false stops.
    std::function<bool(std::int64_t done)> step;
};

// Decodes source and writes the encoded result to output (which must not exist or is replaced).
// On Aborted or Failed the output may hold a part: the caller removes it. *error tells a failure.
EncodeResult encodeFile(const std::string& source, const std::string& output, const EncoderPlugin& plugin,
                        const EncodeProgress& progress, std::string* error);

// The number of source frames one step covers: small files in steps of 4096 frames, long ones in at
// most about 2000 steps.
std::int64_t framesPerStep(std::int64_t lengthFrames);

}  // namespace encoder
