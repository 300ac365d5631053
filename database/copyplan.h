// Which selected files a copy to a folder takes: each goes to the folder under its own file name,
// and a file whose name (without regard to case, as many removable drives compare names) an
// earlier one already takes is left out before anything is copied.
#pragma once

#include <string>
#include <vector>

namespace database {

struct CopyPlan {
    struct Copy {
        std::string source;
        std::string target;
    };
    std::vector<Copy> copies;
    std::vector<std::string> sameName;  // sources left out, in order
};

CopyPlan planCopies(const std::vector<std::string>& sources, const std::string& folder);

}  // namespace database
