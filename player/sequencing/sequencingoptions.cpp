// The sequencing options and the crossfade table in a profile.
#include "player/sequencing/sequencingoptions.h"

#include "platform/inifile.h"

#include <algorithm>

namespace player {

SequencingOptions readSequencingOptions(const platform::IniFile& ini)
{
    SequencingOptions o;
    o.playlistCenter = ini.readBool("Options", "PlaylistCenter", false);
    o.report = ini.readBool("Options", "Report", true);
    o.breakOneTrack = ini.readBool("Options", "Break1", false);
    o.autoupdateTag = ini.readBool("Options", "AutoupdateTag", true);
    return o;
}

void writeSequencingOptions(platform::IniFile& ini, const SequencingOptions& options)
{
    ini.writeBool("Options", "PlaylistCenter", options.playlistCenter);
    ini.writeBool("Options", "Report", options.report);
    ini.writeBool("Options", "Break1", options.breakOneTrack);
    ini.writeBool("Options", "AutoupdateTag", options.autoupdateTag);
}

CrossfadeTable readStoredCrossfade(const platform::IniFile& ini)
{
    CrossfadeBytes bytes{};
    ini.readBinary("Crossfade", "Settings", bytes.data(), bytes.size());
    return CrossfadeTable::fromBytes(bytes);
}

void writeStoredCrossfade(platform::IniFile& ini, const CrossfadeTable& table)
{
    ini.writeString("Crossfade", "Settings", table.toHex());
}

int centeredTopRow(int hlIndex, int listHeight, int rowHeight)
{
    if (hlIndex < 0 || rowHeight <= 0)
        return -1;
    const int middle = std::max(0, (listHeight - 2 * rowHeight) / 2);
    return std::max(0, hlIndex - middle / rowHeight);
}

}  // namespace player
