// The freedesktop trash: a "files" folder with the trashed entries and an "info" folder with one
// ".trashinfo" record per entry (original path and deletion time). The record is reserved first
// with an exclusive create, so two programs trashing the same name never take the same slot.
#include "platform/trash.h"

#include "platform/desktoptypes.h"
#include "platform/direntries.h"
#include "platform/pathparts.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool makeFolders(const std::string& path, mode_t mode)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return true;
        errno = ENOTDIR;
        return false;
    }
    if (errno != ENOENT)
        return false;
    const std::string parent = folderOfPath(path);
    if (parent != path && !makeFolders(parent, mode))
        return false;
    return ::mkdir(path.c_str(), mode) == 0 || errno == EEXIST;
}

// The device of the nearest part of path that exists.
bool deviceOfNearest(std::string path, dev_t& dev)
{
    struct stat st {};
    while (::stat(path.c_str(), &st) != 0) {
        const std::string parent = folderOfPath(path);
        if (parent == path)
            return false;
        path = parent;
    }
    dev = st.st_dev;
    return true;
}

// The top folder of the volume holding folder: the highest ancestor still on the same device.
std::string volumeTop(std::string folder, dev_t dev)
{
    while (folder != "/") {
        const std::string parent = folderOfPath(folder);
        struct stat st {};
        if (::stat(parent.c_str(), &st) != 0 || st.st_dev != dev)
            break;
        folder = parent;
    }
    return folder;
}

// A folder of our own: exists or is created with mode 0700, is no link, belongs to us.
bool ownFolder(const std::string& path)
{
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return false;
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) {
        errno = EACCES;
        return false;
    }
    return true;
}

// The trash of the volume at top: "$top/.Trash/$uid" when the administrator made a shared,
// sticky ".Trash", otherwise "$top/.Trash-$uid".
std::string volumeTrash(const std::string& top)
{
    const std::string base = top == "/" ? std::string() : top;
    const std::string uid = std::to_string(::getuid());
    struct stat st {};
    const std::string shared = base + "/.Trash";
    if (::lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) &&
        ownFolder(shared + "/" + uid))
        return shared + "/" + uid;
    const std::string own = base + "/.Trash-" + uid;
    return ownFolder(own) ? own : std::string();
}

std::string percentEncoded(std::string_view path)
{
    static const char* kHex = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char c : path) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' ||
                           c == '-' || c == '_' || c == '.' || c == '~';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string deletionDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// "song.mp3", then "song (2).mp3", "song (3).mp3", ...
std::string slotName(const std::string& name, int n)
{
    if (n == 1)
        return name;
    const std::size_t dot = name.find_last_of('.');
    const bool hasExt = dot != std::string::npos && dot > 0;
    const std::string stem = hasExt ? name.substr(0, dot) : name;
    const std::string ext = hasExt ? name.substr(dot) : std::string();
    return stem + " (" + std::to_string(n) + ")" + ext;
}

bool fail(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
    return false;
}

}  // namespace

std::string homeTrashPath() { return xdgDataHome() + "/Trash"; }

bool moveToTrash(const std::string& path, std::string* error)
{
    if (path.empty())
        return fail(error, "No file name");
    std::string absolute = path;
    if (absolute.front() != '/') {
        char cwd[4096];
        if (!::getcwd(cwd, sizeof cwd))
            return fail(error, std::strerror(errno));
        absolute = std::string(cwd) + "/" + path;
    }
    while (absolute.size() > 1 && absolute.back() == '/')
        absolute.pop_back();
    struct stat source {};
    if (::lstat(absolute.c_str(), &source) != 0)
        return fail(error, std::strerror(errno));

    // A file on the home trash's device goes there and nowhere else, so a home trash that cannot
    // be made never sends the file to a trash at the top of the system volume.
    std::string trash;
    std::string recordedPath = absolute;
    dev_t homeDev = 0;
    const std::string home = homeTrashPath();
    if (deviceOfNearest(home, homeDev) && homeDev == source.st_dev) {
        if (!makeFolders(home, 0700))
            return fail(error, "Cannot create the trash " + home + ": " + std::strerror(errno));
        trash = home;
    } else {
        const std::string top = volumeTop(folderOfPath(absolute), source.st_dev);
        trash = volumeTrash(top);
        if (trash.empty())
            return fail(error, "No usable trash on the volume " + top);
        // The volume's trash records paths from the top of the volume.
        if (top != "/")
            recordedPath = absolute.substr(top.size() + 1);
        else
            recordedPath = absolute.substr(1);
    }
    struct stat trashStat {};
    if (::stat(trash.c_str(), &trashStat) != 0 || trashStat.st_dev != source.st_dev)
        return fail(error, "The trash " + trash + " is not on the volume of the file");
    const std::string files = trash + "/files";
    const std::string info = trash + "/info";
    if (!makeFolders(files, 0700) || !makeFolders(info, 0700))
        return fail(error, "Cannot create the trash " + trash + ": " + std::strerror(errno));

    const std::string name = fileNameOfPath(absolute);
    const std::string record =
        "[Trash Info]\nPath=" + percentEncoded(recordedPath) + "\nDeletionDate=" + deletionDate() + "\n";
    for (int n = 1; n < 10000; ++n) {
        const std::string slot = slotName(name, n);
        const std::string infoPath = info + "/" + slot + ".trashinfo";
        const int fd = ::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return fail(error, "Cannot write " + infoPath + ": " + std::strerror(errno));
        }
        FILE* out = ::fdopen(fd, "w");
        const bool written = out && std::fwrite(record.data(), 1, record.size(), out) == record.size();
        const bool closed = out ? std::fclose(out) == 0 : ::close(fd) == 0;
        if (!written || !closed) {
            const int err = errno;
            ::unlink(infoPath.c_str());
            return fail(error, "Cannot write " + infoPath + ": " + std::strerror(err));
        }
        if (renameNoReplace(absolute, files + "/" + slot))
            return true;
        const int err = errno;
        ::unlink(infoPath.c_str());
        if (err == EEXIST)
            continue;
        return fail(error, std::strerror(err));
    }
    return fail(error, "No free name in the trash " + trash);
}

}  // namespace platform
