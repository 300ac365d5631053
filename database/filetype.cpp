// The file-type keys of the classes root.
#include "database/filetype.h"

#include "platform/registry.h"

namespace database {

bool RegisterFileType(const std::string& extension, const std::string& programPath)
{
    using platform::Registry;
    using platform::RegistryRoot;
    const std::string type = extension + "file";
    bool ok = Registry::writeString(RegistryRoot::ClassesRoot, "." + extension, "", type);
    ok = Registry::writeString(RegistryRoot::ClassesRoot, type + "\\DefaultIcon", "", programPath + ",0") && ok;
    ok = Registry::writeString(RegistryRoot::ClassesRoot, type + "\\shell\\open\\command", "",
                               programPath + " \"%1\"") &&
         ok;
    return ok;
}

}  // namespace database
