// Per-user prefix and runtime folder of the named objects.
#include "platform/objectnames.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr std::size_t kMaxPrefix = 48;
constexpr std::size_t kMaxName = 200;

std::string sanitise(std::string_view text, std::size_t maxLength)
{
    std::string out;
    out.reserve(std::min(text.size(), maxLength));
    for (char c : text) {
        if (out.size() >= maxLength)
            break;
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
                        || c == '.' || c == '_' || c == '-';
        out.push_back(ok ? c : '_');
    }
    return out;
}

// A folder we may keep sockets and lock files in: a real folder (not a link), ours, closed to others.
bool isPrivateFolder(const std::string& path, bool fixMode)
{
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid())
        return false;
    if ((st.st_mode & 077) != 0) {
        if (!fixMode || chmod(path.c_str(), 0700) != 0)
            return false;
    }
    return true;
}

bool makePrivateFolder(const std::string& path)
{
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    return isPrivateFolder(path, true);
}

}  // namespace

std::string objectPrefix()
{
    if (const char* env = std::getenv("QUORVALEN_PREFIX"); env && *env) {
        std::string prefix = sanitise(env, kMaxPrefix);
        if (prefix != "." && prefix != "..")
            return prefix;
    }
    return "quorvalen-" + std::to_string(getuid());
}

std::string runtimeFolder()
{
    std::string base;
    if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg && xdg[0] == '/') {
        std::string candidate = xdg;
        while (candidate.size() > 1 && candidate.back() == '/')
            candidate.pop_back();
        // The session's folder is 0700 already; one that is not ours is not used at all.
        struct stat st {};
        if (stat(candidate.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid()
            && (st.st_mode & 077) == 0)
            base = candidate;
    }
    if (base.empty()) {
        base = "/tmp/quorvalen-" + std::to_string(getuid());
        if (!makePrivateFolder(base))
            return {};
    }
    const std::string folder = base + "/" + objectPrefix();
    if (!makePrivateFolder(folder))
        return {};
    return folder + "/";
}

std::string safeObjectName(std::string_view name)
{
    return sanitise(name, kMaxName);
}

std::string sharedMemoryObjectName(std::string_view name)
{
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on a literal + a temporary.
    std::string result = "/";
    result += objectPrefix();
    result += '.';
    result += safeObjectName(name);
    return result;
}

void removeNamedObjects()
{
    std::error_code ec;
    const std::string shmStart = objectPrefix() + ".";
    for (const auto& entry : std::filesystem::directory_iterator("/dev/shm", ec)) {
        const std::string file = entry.path().filename().string();
        if (file.compare(0, shmStart.size(), shmStart) == 0)
            shm_unlink(("/" + file).c_str());
    }
    const std::string folder = runtimeFolder();
    if (!folder.empty())
        std::filesystem::remove_all(folder, ec);
}

}  // namespace platform
