// Decode-only streams of a deck's file: the BPM measurement's and the silence scan's.
#pragma once

#include <cstdint>
#include <string>

#include "audiolib/audiolib.h"
#include "engine/silencescan.h"

namespace engine {

// A decode stream of the file, opened as a WMA stream when the plain open fails; 0 when neither
// opens.
audiolib::Handle openDecodeStream(const std::string& fileName);

// The silence cut of the file at threshold; zeros when it cannot be decoded. Reads the file:
// any thread but the audio library's.
TrimResult scanFileSilence(const std::string& fileName, std::int32_t threshold);

}  // namespace engine
