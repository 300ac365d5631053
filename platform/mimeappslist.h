// Making a launcher the default application of MIME types in the user's mimeapps.list, a file
// that belongs to the user: only our keys change, every other byte stays as it was.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The text of mimeapps.list with `desktopId` first in the [Default Applications] value of each
// MIME type; the applications listed there before follow it. A key that appears more than once
// in such groups is set everywhere; missing keys go at the end of the first such group, or into a
// new group at the end of the text. Lines that are no key of that group (comments, other
// groups, damaged or non-UTF-8 lines) stay byte for byte.
std::string setDefaultApplications(std::string_view text, const std::vector<std::string>& mimeTypes,
                                   std::string_view desktopId);

}  // namespace platform
