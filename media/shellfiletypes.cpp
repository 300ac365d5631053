// The player's file types: five extensions pointing at two types, each with its icon and the
// command the desktop runs on a double click.
#include "media/shellfiletypes.h"

#include "media/mediatexts.h"
#include "media/textutil.h"
#include "platform/desktoptypes.h"
#include "platform/registry.h"

#include <stdexcept>

namespace media {

void RegisterFileTypes(const std::string& programPath, const std::string& mediaIconPng,
                       const std::string& playlistIconPng)
{
    // The program path goes in without quotation marks, also when it holds blanks: that is what
    // readers of these keys have always been given.
    const std::string rows[][2] = {
        {".mp3", "Quorvalen.File"},
        {".wav", "Quorvalen.File"},
        {".wma", "Quorvalen.File"},
        {".ogg", "Quorvalen.File"},
        {"Quorvalen.File", "Media File"},
        {"Quorvalen.File\\DefaultIcon", programPath + ",1"},
        {"Quorvalen.File\\Shell\\open\\command", programPath + " file \"%1\""},
        {".m3u", "Quorvalen.List"},
        {"Quorvalen.List", "Playlist File"},
        {"Quorvalen.List\\DefaultIcon", programPath + ",2"},
        {"Quorvalen.List\\Shell\\open\\command", programPath + " list \"%1\""},
    };
    for (const auto& [key, value] : rows) {
        if (!platform::Registry::writeString(platform::RegistryRoot::ClassesRoot, key, "", value))
            throw std::runtime_error("Failed to set data for ''");
    }
    // The same associations for the desktop's file managers. A failure there is reported too,
    // after every registry row is in place, so the user learns why a double click does nothing.
    const platform::DesktopFileType types[] = {
        {"quorvalen-file", "Media File", {"file"}, {".mp3", ".wav", ".wma", ".ogg"}, mediaIconPng},
        {"quorvalen-list", "Playlist File", {"list"}, {".m3u"}, playlistIconPng},
    };
    for (const auto& type : types) {
        if (!platform::registerDesktopFileType(type, programPath))
            throw std::runtime_error(
                fillText(mediaTexts().fileTypesNotRegistered, {platform::xdgDataHome(), platform::xdgConfigHome()}));
    }
}

}  // namespace media
