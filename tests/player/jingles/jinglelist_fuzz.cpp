// Fuzz target: any bytes as a jingle list file (".lst"). The nine paths read are written back and
// read again the same, each path that the ini format can hold as it is.
#include "tests/common/fuzzinput.h"

#include "player/jingles/jingleslots.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Blanks and quotes around a value are the ini format's, not the value's, and a line ends at a
// line break.
bool keptAsItIs(const QString& path)
{
    const auto plain = [](QChar c) {
        return c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('"') && c != QLatin1Char('\'');
    };
    return path.isEmpty() || (plain(path.front()) && plain(path.back()) && !path.contains(QLatin1Char('\r')));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzzing::inputFile("in.lst", data, size);
    const std::array<QString, 9> read = player::readJingleList(path);
    const std::string again = fuzzing::scratchFolder() + "/again.lst";
    std::remove(again.c_str());
    if (!player::writeJingleList(again, read))
        std::abort();
    const std::array<QString, 9> back = player::readJingleList(again);
    for (std::size_t k = 0; k < read.size(); ++k) {
        if (keptAsItIs(read[k]) && back[k] != read[k])
            std::abort();
    }
    return 0;
}
