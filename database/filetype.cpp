// The file-type keys of the classes root, and the same association for the desktop.
#include "database/filetype.h"

#include "platform/desktoptypes.h"
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
    // The desktop's launcher is written even when the registry failed: the two are independent,
    // and either failure is reported.
    const platform::DesktopFileType desktopType{"quorvalen-" + extension, "Music base", {}, {extension}};
    return platform::registerDesktopFileType(desktopType, programPath) && ok;
}

}  // namespace database
