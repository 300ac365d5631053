// libFuzzer target: the oggvorbis reader over arbitrary file contents.
#include "tests/common/fuzzinput.h"

#include "media/id3v1.h"
#include "media/id3v2.h"
#include "media/mpegaudio.h"
#include "media/oggvorbis.h"
#include "media/tag.h"
#include "media/wavfile.h"
#include "media/wmafile.h"

#include <array>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzzing::inputFile("input.bin", data, size);
    media::TOggVorbis r; if (r.ReadInfo(path)) { (void)r.Valid(); r.Title = "x"; r.Track = 2; r.WriteTag(path); }
    return 0;
}
