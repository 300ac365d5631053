// Choosing the generator's rows and writing them as the stack list.
#include "tools/Sorbelt/stacklist.h"

#include "media/m3uexport.h"
#include "platform/programfolder.h"
#include "platform/savefile.h"
#include "tools/Sorbelt/dfsreader.h"
#include "tools/Sorbelt/sorbelt.h"

#include <QString>

#include <algorithm>
#include <filesystem>

namespace sorbelt {

std::vector<media::TTrackRecord> chooseRows(const std::vector<media::TTrackRecord>& rows, int count,
                                            std::mt19937& random)
{
    std::vector<std::size_t> candidates;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (isPlayableRow(rows[i]))
            candidates.push_back(i);
    }
    const std::size_t wanted = std::min<std::size_t>(candidates.size(), count > 0 ? count : 0);
    // A partial Fisher-Yates shuffle: the first `wanted` places get a uniform random draw.
    for (std::size_t i = 0; i < wanted; ++i) {
        std::uniform_int_distribution<std::size_t> pick(i, candidates.size() - 1);
        std::swap(candidates[i], candidates[pick(random)]);
    }
    std::vector<media::TTrackRecord> chosen;
    chosen.reserve(wanted);
    for (std::size_t i = 0; i < wanted; ++i)
        chosen.push_back(rows[candidates[i]]);
    return chosen;
}

std::int64_t roundedSeconds(std::int32_t durationMs) { return media::m3uSeconds(durationMs); }

std::string m3uText(const std::vector<media::TTrackRecord>& rows) { return media::m3uText(rows); }

bool writeFileAtomically(const std::string& path, const std::string& bytes, std::string* error)
{
    const auto fail = [&](const std::string& why) {
        if (error)
            *error = why;
        return false;
    };
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder, ec);
    if (ec)
        return fail("cannot create " + folder.string() + ": " + ec.message());
    std::string why;
    if (!platform::saveFile(path, bytes, &why))
        return fail("cannot write " + path + ": " + why);
    return true;
}

std::string stackListPath()
{
    return platform::programPath(kStackListPath);
}

}  // namespace sorbelt
