// Reading the ".dfs" rows the generator draws its playlists from.
#include "tools/Sorbelt/dfsreader.h"

#include "media/textutil.h"
#include "platform/cp1251.h"

#include <cstring>
#include <fstream>

namespace sorbelt {

DfsRows readDfsRows(const std::string& path)
{
    DfsRows result;
    if (path.empty()) {
        result.error = "no database file was given";
        return result;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        result.error = "cannot open " + path;
        return result;
    }
    // Row by row, so that a file that is not a base at all costs no more memory than its rows.
    char buffer[kDfsRowSize];
    for (;;) {
        in.read(buffer, kDfsRowSize);
        const auto got = static_cast<std::size_t>(in.gcount());
        if (got == kDfsRowSize) {
            media::TTrackRecord row;
            std::memcpy(&row, buffer, kDfsRowSize);
            result.rows.push_back(row);
            continue;
        }
        result.ignoredTailBytes = got;
        break;
    }
    if (in.bad()) {
        result.error = "cannot read " + path;
        result.rows.clear();
        return result;
    }
    result.ok = true;
    return result;
}

std::string cleanFieldText(std::string_view raw)
{
    const std::size_t zero = raw.find('\0');
    if (zero != std::string_view::npos)
        raw = raw.substr(0, zero);
    return std::string(media::trimText(raw));
}

bool isDeletedRow(const media::TTrackRecord& row)
{
    return fieldText(row.FileName) == "NO";
}

bool isPlayableRow(const media::TTrackRecord& row)
{
    const std::string name = fieldText(row.FileName);
    return !name.empty() && name != "NO" && name.find_first_of("\r\n") == std::string::npos &&
           platform::isValidUtf8(name);
}

}  // namespace sorbelt
