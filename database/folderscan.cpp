// The folder scan and the record built from a file's tag.
#include "database/folderscan.h"

#include "database/abortflag.h"
#include "media/tag.h"

#include <QString>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace database {

std::atomic<bool> AbortFlag{false};

namespace {

struct Item {
    std::string name;
    QString key;
};

std::string extensionOf(const std::string& name)
{
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

}  // namespace

void FolderScanner::CollectFiles(const std::string& folderIn, std::vector<ScanEntry>& list)
{
    std::string folder = folderIn;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (onFolder)
        onFolder(folder, list.size());

    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return;
    const std::pair<std::uint64_t, std::uint64_t> id{st.st_dev, st.st_ino};
    auto pos = std::lower_bound(m_visited.begin(), m_visited.end(), id);
    if (pos != m_visited.end() && *pos == id)
        return;  // reached again through a link: a loop, or a tree already scanned
    m_visited.insert(pos, id);

    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    std::vector<Item> items;
    while (const dirent* e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
            continue;
        items.push_back({e->d_name, QString::fromUtf8(e->d_name)});
    }
    ::closedir(dir);
    std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
        const int c = a.key.compare(b.key, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.name < b.name;
    });

    const std::string prefix = folder == "/" ? folder : folder + "/";
    for (const Item& item : items) {
        if (aborted())
            return;
        const std::string path = prefix + item.name;
        struct stat is {};
        if (::stat(path.c_str(), &is) != 0)
            continue;  // a dangling link or an item gone meanwhile
        if (S_ISDIR(is.st_mode)) {
            CollectFiles(path, list);
            continue;
        }
        if (!media::IsSupportedMediaFile(extensionOf(item.name)))
            continue;
        if (path.size() > kMaxPathBytes) {
            tooLong.push_back(path);
            continue;
        }
        list.push_back({static_cast<std::int64_t>(is.st_size), path});
    }
}

AddOutcome makeTrackRecord(const ScanEntry& entry, bool noEmpty, media::TTrackRecord& out, bool* readFailed)
{
    if (readFailed)
        *readFailed = false;
    if (entry.path.size() > kMaxPathBytes)
        return AddOutcome::TooLong;  // a cut path would name another file
    media::TTagRecord tag{};
    bool failed = false;
    bool found = media::ReadTagRecord(entry.path, tag, &failed);
    if (failed) {
        found = true;  // an unreadable file is still added, with empty fields
        std::memset(&tag, 0, sizeof tag);
    }
    if (readFailed)
        *readFailed = failed;
    if (!found && noEmpty)
        return AddOutcome::NoTag;

    std::memset(&out, 0, sizeof out);
    auto raw = [](auto& field, const char* src, std::size_t n) {
        field.length = static_cast<std::uint8_t>(n);
        std::memcpy(field.chars, src, n);
    };
    raw(out.Title, tag.Title, 30);
    raw(out.Artist, tag.Artist, 30);
    raw(out.Album, tag.Album, 30);
    raw(out.Year, tag.Year, 4);
    raw(out.Comment, tag.Comment, 30);
    out.Genre.assign(tag.Genre.str());
    out.FileName.assign(entry.path);
    out.Duration = 0;
    out.Size = static_cast<std::int32_t>(std::clamp<std::int64_t>(entry.size, 0, INT32_MAX));
    return AddOutcome::Added;
}

}  // namespace database
