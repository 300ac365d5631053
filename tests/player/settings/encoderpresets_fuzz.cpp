// Fuzz target: any bytes as "Presets/Encoder.prs". Every whole record is read, and the list written
// back reads again as as many presets, each within its fields.
#include "tests/common/fuzzinput.h"

#include "player/settings/encoderpresets.h"

#include <cstdlib>

namespace {

// A byte of a field is at most one character, which UTF-8 writes in at most three bytes.
bool fits(const player::EncoderPreset& p)
{
    return p.Name.toUtf8().size() <= 3 * 100 && p.Command.toUtf8().size() <= 3 * 255 && p.Ext.toUtf8().size() <= 3 * 8;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzzing::inputFile("Encoder.prs", data, size);
    const auto read = player::readEncoderPresets(path);
    if (!read || read->size() != size / player::kEncoderPresetSize)
        std::abort();
    for (const player::EncoderPreset& p : *read) {
        if (!fits(p))
            std::abort();
    }
    const std::string again = fuzzing::scratchFolder() + "/again.prs";
    if (!player::writeEncoderPresets(again, *read))
        std::abort();
    const auto back = player::readEncoderPresets(again);
    if (!back || back->size() != read->size())
        std::abort();
    return 0;
}
