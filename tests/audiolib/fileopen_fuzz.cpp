// libFuzzer target of the file-opening path: any bytes as a file either fail to open with an error
// number or decode to an end within the length the stream reports.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "audiolib/audiolib.h"
#include "tests/common/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzzing::inputFile("input.bin", data, size);
    const audiolib::Handle h = audiolib::streamCreateFile(path, audiolib::kStreamDecode);
    if (h == 0) {
        if (audiolib::lastError() == audiolib::kOk)
            std::abort();  // a failure must name its error
        return 0;
    }
    const std::int64_t length = audiolib::getLength(h);
    static std::vector<char> buf(65536);  // one for the run: zeroing it per input costs more than most decodes
    std::int64_t total = 0;
    for (int i = 0; i < 100000 && audiolib::isActive(h) == audiolib::kPlaying; ++i) {
        const int got = audiolib::getData(h, buf.data(), std::uint32_t(buf.size()));
        if (got <= 0)
            break;
        total += got;
    }
    if (total > length || audiolib::isActive(h) != audiolib::kStopped)
        std::abort();
    audiolib::streamFree(h);
    return 0;
}
