// Depth-first folder scan with a guard against directory loops.
#include "player/playlist/folderscan.h"

#include "media/tag.h"

#include <QString>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <utility>

namespace player {

namespace {

using FolderId = std::pair<dev_t, ino_t>;

void scan(const std::string& folder, std::vector<std::string>& list, const FolderScanHooks& hooks,
          std::set<FolderId>& visited)
{
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return;
    if (!visited.insert({st.st_dev, st.st_ino}).second)
        return;
    if (hooks.enterFolder)
        hooks.enterFolder(folder);

    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end(), NameOrderLess);

    for (const std::string& name : names) {
        if (hooks.aborted && hooks.aborted())
            return;
        const std::string path = folder + "/" + name;
        struct stat es {};
        if (::stat(path.c_str(), &es) != 0)
            continue;
        if (S_ISDIR(es.st_mode)) {
            scan(path, list, hooks, visited);
        } else {
            const std::size_t dot = name.rfind('.');
            if (dot != std::string::npos && dot != 0 && media::IsSupportedMediaFile(name.substr(dot)))
                list.push_back(path);
        }
    }
}

}  // namespace

bool NameOrderLess(const std::string& a, const std::string& b)
{
    const int c = QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

void ScanFolder(const std::string& folder, std::vector<std::string>& list, const FolderScanHooks& hooks)
{
    std::set<FolderId> visited;
    scan(folder, list, hooks, visited);
}

}  // namespace player
