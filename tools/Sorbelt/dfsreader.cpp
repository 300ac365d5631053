// Reading the ".dfs" rows the generator draws its playlists from.
#include "tools/Sorbelt/dfsreader.h"

#include "media/textutil.h"
#include "platform/cp1251.h"
#include "platform/regularfile.h"

#include <cstring>
#include <vector>

namespace sorbelt {

DfsRows readDfsRows(const std::string& path)
{
    DfsRows result;
    if (path.empty())
        return result;
    platform::RegularFile file;
    if (!file.open(path)) {
        result.error = file.error();
        return result;
    }
    const std::string tooLarge = platform::tooLargeText(media::kMaxBaseRows * kDfsRowSize);
    if (file.size() > static_cast<std::int64_t>(media::kMaxBaseRows * kDfsRowSize)) {
        result.error = tooLarge;
        return result;
    }
    // In blocks of whole rows, so that a file that is not a base at all costs no more memory than
    // its rows.
    std::vector<char> block(1024 * kDfsRowSize);
    for (;;) {
        const std::int64_t got = file.read(block.data(), block.size());
        if (got < 0) {
            result.error = file.error();
            result.rows.clear();
            return result;
        }
        const std::size_t rows = static_cast<std::size_t>(got) / kDfsRowSize;
        if (result.rows.size() + rows > media::kMaxBaseRows) {  // it grew while it was read
            result.error = tooLarge;
            result.rows.clear();
            return result;
        }
        for (std::size_t i = 0; i < rows; ++i) {
            media::TTrackRecord row;
            std::memcpy(&row, block.data() + i * kDfsRowSize, kDfsRowSize);
            result.rows.push_back(row);
        }
        if (static_cast<std::size_t>(got) < block.size()) {
            result.ignoredTailBytes = static_cast<std::size_t>(got) - rows * kDfsRowSize;
            break;
        }
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
