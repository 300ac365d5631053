// Parsing the database program's command line.
#include "database/commandline.h"

#include <charconv>

namespace database {

CommandLine parseCommandLine(const std::vector<std::string>& args)
{
    CommandLine c;
    const std::string first = args.empty() ? std::string() : args[0];
    if (first == "hidden" || first == "fromplayer") {
        c.mode = first == "hidden" ? StartMode::Hidden : StartMode::FromPlayer;
        // A missing path leaves no base rather than an empty name.
        c.BFName = args.size() > 2 && !args[2].empty() ? args[2] : std::string("---");
        c.baseOnCommandLine = true;
    } else if (!first.empty()) {
        c.BFName = first;
        c.baseOnCommandLine = true;
    }
    if (args.size() > 1) {
        c.handleText = args[1];
        std::uint32_t value = 0;
        const char* b = args[1].data();
        const char* e = b + args[1].size();
        const auto [p, ec] = std::from_chars(b, e, value);
        c.PlayerWindow = (ec == std::errc() && p == e) ? value : 0;
    }
    return c;
}

}  // namespace database
