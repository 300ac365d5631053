// Per-user prefix and runtime folder of the named objects.
#include "platform/objectnames.h"

#include "platform/savefile.h"

#include <QtGlobal>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr std::size_t kMaxPrefix = 48;
constexpr std::size_t kMaxName = 200;
constexpr std::size_t kMaxShmName = 255;

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

// Whether the local sockets of the programs fit under this base folder: "<base>/<prefix>/s<pid>"
// must fit a socket address, with its closing zero (108 bytes on Linux). A pid has at most 7 digits.
bool holdsSocketNames(const std::string& base)
{
    constexpr std::size_t kPidDigits = 7;
    return base.size() + 1 + objectPrefix().size() + 2 + kPidDigits < sizeof(sockaddr_un{}.sun_path);
}

// The folder an environment variable names, without trailing "/", when it is an absolute path
// to a folder; with its status.
std::optional<std::string> folderFromEnvironment(const char* variable, struct stat* st)
{
    const char* value = std::getenv(variable);
    if (!value || value[0] != '/')
        return std::nullopt;
    std::string folder = value;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (stat(folder.c_str(), st) != 0 || !S_ISDIR(st->st_mode))
        return std::nullopt;
    return folder;
}

// $TMPDIR when it names a folder, else /tmp.
std::string tempBase()
{
    struct stat st {};
    return folderFromEnvironment("TMPDIR", &st).value_or("/tmp");
}

// The user's config folder ($XDG_CONFIG_HOME, else ~/.config); empty when there is none.
std::string userConfigFolder()
{
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') {
        const passwd* pw = getpwuid(getuid());
        home = pw ? pw->pw_dir : nullptr;
    }
    return home && home[0] == '/' ? std::string(home) + "/.config" : std::string();
}

std::string readSmall(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return {};
    char buffer[512];
    ssize_t n;
    do {
        n = ::read(fd, buffer, sizeof buffer);
    } while (n < 0 && errno == EINTR);
    ::close(fd);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

std::string firstLine(std::string text)
{
    const std::size_t end = text.find_first_of("\r\n");
    if (end != std::string::npos)
        text.resize(end);
    return text;
}

// When the usual folders are taken by someone else: a fresh folder of mkdtemp, which nobody can
// have made beforehand, written down beside the user's settings so that the other program of this
// system (and the next start) finds the same one. Taken under a lock, so two programs starting at
// once agree on one folder.
std::string recordedFallbackFolder(const std::string& config)
{
    if (config.empty())
        return {};
    const std::string folder = config + "/quorvalen";
    std::error_code ec;
    std::filesystem::create_directories(config, ec);
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    const std::string record = folder + "/runtime-folder";
    const int lock = ::open((record + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lock < 0)
        return {};
    while (::flock(lock, LOCK_EX) != 0 && errno == EINTR) {
    }
    std::string recorded = firstLine(readSmall(record));
    if (recorded.empty() || recorded[0] != '/' || !isPrivateFolder(recorded, false) || !holdsSocketNames(recorded)) {
        // Under /tmp when the temporary folder's own name is already too long for the sockets.
        const std::string name = "/quorvalen-" + std::to_string(getuid()) + "-XXXXXX";
        std::string pattern = (holdsSocketNames(tempBase() + name) ? tempBase() : std::string("/tmp")) + name;
        recorded = mkdtemp(pattern.data()) ? pattern : std::string();
        if (!recorded.empty() && !saveFile(record, recorded + "\n", nullptr, 0600))
            recorded.clear();  // a folder the other program could not find is no meeting place
    }
    ::close(lock);  // releases the lock
    return recorded;
}

std::string findRuntimeBase()
{
    // The session's folder is 0700 already; one that is not ours is not used at all.
    // A folder whose path is too long for the local sockets is passed over as well: in it the
    // programs could not reach each other.
    struct stat st {};
    const auto session = folderFromEnvironment("XDG_RUNTIME_DIR", &st);
    const bool sessionOurs = session && st.st_uid == getuid() && (st.st_mode & 077) == 0;
    if (sessionOurs && holdsSocketNames(*session))
        return *session;
    const std::string usual = tempBase() + "/quorvalen-" + std::to_string(getuid());
    if (holdsSocketNames(usual) && makePrivateFolder(usual))
        return usual;
    if (std::string fallback = recordedFallbackFolder(userConfigFolder()); !fallback.empty())
        return fallback;
    // Better a folder where only the sockets fail than none at all.
    const std::string longOne = sessionOurs ? *session : makePrivateFolder(usual) ? usual : std::string();
    if (!longOne.empty())
        qWarning("runtime folder: %s is too long for a local socket and no shorter folder could be made: "
                 "the programs of this system cannot send each other messages",
                 longOne.c_str());
    return longOne;
}

// The base folder, found once per environment; a folder that stopped being private is looked for again.
std::string runtimeBase()
{
    // Never destroyed: clean-ups that run at exit still ask for the folder.
    struct Cache {
        std::mutex mutex;
        std::string key;
        std::string base;
    };
    static Cache* cache = new Cache;
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    // The prefix counts too: whether the sockets fit depends on its length.
    const std::string now =
        std::string(xdg ? xdg : "") + '\n' + userConfigFolder() + '\n' + tempBase() + '\n' + objectPrefix();
    std::lock_guard lock(cache->mutex);
    if (now != cache->key || cache->base.empty() || !isPrivateFolder(cache->base, false)) {
        cache->key = now;
        cache->base = findRuntimeBase();
    }
    return cache->base;
}

constexpr std::size_t kTokenLength = 16;

bool validToken(const std::string& token)
{
    return token.size() == kTokenLength
           && std::all_of(token.begin(), token.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

std::string randomToken()
{
    unsigned char bytes[kTokenLength / 2] = {};
    std::size_t got = 0;
    while (got < sizeof bytes) {
        const ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return {};
        got += static_cast<std::size_t>(n);
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string token;
    for (unsigned char b : bytes) {
        token += kDigits[b >> 4];
        token += kDigits[b & 0x0F];
    }
    return token;
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
    const std::string base = runtimeBase();
    if (base.empty())
        return {};
    const std::string folder = base + "/" + objectPrefix();
    if (!makePrivateFolder(folder))
        return {};
    return folder + "/";
}

namespace {

std::string tokenRecord(std::string_view name)
{
    const std::string folder = runtimeFolder();
    return folder.empty() ? std::string() : folder + "shm." + safeObjectName(name) + ".token";
}

}  // namespace

std::string sharedMemoryToken(std::string_view name)
{
    const std::string record = tokenRecord(name);
    const std::string token = record.empty() ? std::string() : firstLine(readSmall(record));
    return validToken(token) ? token : std::string();
}

std::string drawSharedMemoryToken(std::string_view name)
{
    const std::string record = tokenRecord(name);
    const std::string token = randomToken();
    if (record.empty() || token.empty() || !saveFile(record, token + "\n", nullptr, 0600))
        return {};
    return token;
}

std::string safeObjectName(std::string_view name)
{
    return sanitise(name, kMaxName);
}

std::string sharedMemoryObjectName(std::string_view name, std::string_view token)
{
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on a literal + a temporary.
    std::string result = "/";
    result += objectPrefix();
    result += '.';
    if (!token.empty()) {
        result += token;
        result += '.';
    }
    // A shared-memory name is one file name of /dev/shm: at most 255 bytes after the "/".
    const std::size_t room = result.size() < kMaxShmName + 1 ? kMaxShmName + 1 - result.size() : 0;
    result += safeObjectName(name).substr(0, room);
    return result;
}

void removeNamedObjects()
{
    std::error_code ec;
    // Only our own objects can be removed from /dev/shm (it is sticky): others' names are left.
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
