// Fuzz target: any bytes as a schedule file. What is read and what is kept unread is written back
// and read again: no entry is lost and every entry read has a date, a time and a file.
#include "tests/common/fuzzinput.h"

#include "player/schedule/schedulefile.h"

#include <cstdio>
#include <cstdlib>

namespace {

std::size_t entriesOf(const player::ScheduleFile& file)
{
    for (const player::ScheduleEntry& e : file.entries) {
        if (!e.date.isValid() || !e.time.isValid() || e.path.isEmpty())
            std::abort();
    }
    return file.entries.size() + file.rest.unread.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzzing::inputFile("in.sdl", data, size);
    const player::ScheduleFile read = player::readScheduleFile(path);
    const std::size_t held = entriesOf(read);
    player::unreadScheduleEntriesText(path, read.rest);
    const std::string again = fuzzing::scratchFolder() + "/again.sdl";
    std::remove(again.c_str());
    if (!player::writeScheduleFile(again, read.entries, read.rest))
        std::abort();
    if (entriesOf(player::readScheduleFile(again)) != held)
        std::abort();
    return 0;
}
