// The text of a freedesktop .desktop launcher that opens files with one of our programs: the
// command line quoted so that the desktop hands the program exactly the path it was given.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// One argument of an Exec line: "%" doubled, and the argument put in double quotes (with '"',
// '`', '$' and '\' escaped) when it holds a blank, a control character or another character that
// launchers treat specially. The result is still to be escaped as a string value of the file.
std::string quoteExecArgument(std::string_view argument);

// The value of an Exec key for the program, its leading arguments and the opened file ("%f"),
// escaped as a string value of the file. Nothing when a part is not valid UTF-8 or holds a zero.
std::optional<std::string> execValue(std::string_view program, const std::vector<std::string>& arguments);

// The whole launcher: a hidden application entry with this name and command for these MIME
// types, with the icon of that name when one is given. Nothing when the command, the name or the
// icon cannot be written.
std::optional<std::string> desktopEntryText(std::string_view name, std::string_view program,
                                            const std::vector<std::string>& arguments,
                                            const std::vector<std::string>& mimeTypes,
                                            std::string_view icon = {});

}  // namespace platform
