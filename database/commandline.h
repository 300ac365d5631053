// The database program's command line: a database path alone; "hidden" handle path (the player's
// search server); "fromplayer" handle path.
#pragma once

#include "platform/window.h"

#include <string>
#include <vector>

namespace database {

enum class StartMode { User, Hidden, FromPlayer };

struct CommandLine {
    StartMode mode = StartMode::User;
    std::string BFName = "---";
    bool baseOnCommandLine = false;
    std::string handleText;  // argument 2 as given (the hidden caption carries it unchanged)
    platform::WindowHandle PlayerWindow = 0;
};

// args without the program name.
CommandLine parseCommandLine(const std::vector<std::string>& args);

}  // namespace database
