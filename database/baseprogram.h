// The database program's life from its window's creation to its end, apart from main() so that
// tests can run it the way the program does.
#pragma once

#include <string>
#include <vector>

namespace database {

// Creates the main window (shown unless started as the hidden search server), runs the message
// loop until the window has closed for good, and returns the exit code. Needs a QApplication.
int runBaseProgram(const std::vector<std::string>& args);

}  // namespace database
