// Window records, handle counter and process liveness for the cross-process window registry.
#include "platform/ipc_registry.h"

#include "platform/objectnames.h"

#include <QtGlobal>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform::ipc {

namespace {

constexpr std::size_t kMaxRecordBytes = 16384;
constexpr char kRecordMagic[] = "QVWIN1";

std::string windowsFolder()
{
    const std::string folder = runtimeFolder();
    if (folder.empty())
        return {};
    const std::string windows = folder + "windows/";
    if (mkdir(windows.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    return windows;
}

std::string recordPath(const std::string& folder, WindowHandle handle)
{
    return folder + "w" + std::to_string(handle);
}

template <typename T>
bool parseNumber(std::string_view text, T* value)
{
    if (text.empty())
        return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return ec == std::errc() && end == text.data() + text.size();
}

std::string readSmallFile(const std::string& path, std::size_t limit)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return {};
    std::string data;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        data.append(buffer, static_cast<std::size_t>(n));
        if (data.size() > limit)
            break;
    }
    ::close(fd);
    return data;
}

bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

WindowHandle allocateHandle()
{
    static std::atomic<std::uint32_t> fallback{0x40000000};
    const std::string folder = runtimeFolder();
    int fd = folder.empty() ? -1 : ::open((folder + "handles").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        qWarning("window handles: no counter file, handles are unique to this process only");
        return fallback.fetch_add(1);
    }
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    std::uint8_t bytes[4] = {};
    std::uint32_t last = 0;
    if (::pread(fd, bytes, 4, 0) == 4)
        last = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
    std::uint32_t next = last + 1;
    if (next == 0 || next >= 0x40000000)
        next = 1;
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<std::uint8_t>(next >> (8 * i));
    const bool written = ::pwrite(fd, bytes, 4, 0) == 4;
    ::flock(fd, LOCK_UN);
    ::close(fd);
    if (!written)
        return fallback.fetch_add(1);
    return next;
}

std::string formatWindowRecord(const WindowRecord& record)
{
    std::string out = kRecordMagic;
    out += '\n' + std::to_string(record.handle) + '\n' + std::to_string(record.pid) + '\n'
           + std::to_string(record.startTime) + '\n' + (record.hidden ? "1" : "0") + '\n';
    auto clean = [](const std::string& text) {
        std::string s = text;
        std::replace(s.begin(), s.end(), '\0', ' ');
        return s;
    };
    out += clean(record.className);
    out += '\0';
    out += clean(record.caption);
    return out;
}

std::optional<WindowRecord> parseWindowRecord(const std::string& bytes)
{
    // Header lines, then class '\0' caption.
    std::string_view rest(bytes);
    auto line = [&rest](std::string_view* out) {
        const auto pos = rest.find('\n');
        if (pos == std::string_view::npos)
            return false;
        *out = rest.substr(0, pos);
        rest.remove_prefix(pos + 1);
        return true;
    };
    std::string_view magic, handle, pid, start, hidden;
    if (!line(&magic) || magic != kRecordMagic || !line(&handle) || !line(&pid) || !line(&start) || !line(&hidden)
        || (hidden != "0" && hidden != "1"))
        return std::nullopt;
    WindowRecord record;
    if (!parseNumber(handle, &record.handle) || !parseNumber(pid, &record.pid) || !parseNumber(start, &record.startTime)
        || record.handle == 0 || record.pid <= 0)
        return std::nullopt;
    const auto zero = rest.find('\0');
    if (zero == std::string_view::npos)
        return std::nullopt;
    record.hidden = hidden == "1";
    record.className = std::string(rest.substr(0, zero));
    record.caption = std::string(rest.substr(zero + 1));
    return record;
}

bool writeWindowRecord(const WindowRecord& record)
{
    const std::string folder = windowsFolder();
    if (folder.empty())
        return false;
    const std::string path = recordPath(folder, record.handle);
    const std::string temp = path + ".tmp" + std::to_string(getpid());
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    const std::string data = formatWindowRecord(record);
    const bool ok = writeAll(fd, data.data(), data.size());
    ::close(fd);
    if (!ok || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

void removeWindowRecord(WindowHandle handle)
{
    const std::string folder = windowsFolder();
    if (!folder.empty())
        ::unlink(recordPath(folder, handle).c_str());
}

std::optional<WindowRecord> readWindowRecord(WindowHandle handle)
{
    const std::string folder = windowsFolder();
    if (folder.empty() || handle == 0)
        return std::nullopt;
    auto record = parseWindowRecord(readSmallFile(recordPath(folder, handle), kMaxRecordBytes));
    if (record && record->handle != handle)
        return std::nullopt;
    return record;
}

std::vector<WindowRecord> readLiveWindowRecords()
{
    std::vector<WindowRecord> records;
    const std::string folder = windowsFolder();
    if (folder.empty())
        return records;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        WindowHandle handle = 0;
        if (name.size() < 2 || name[0] != 'w' || !parseNumber(std::string_view(name).substr(1), &handle))
            continue;  // temporary files and strangers
        auto record = parseWindowRecord(readSmallFile(folder + name, kMaxRecordBytes));
        if (!record || record->handle != handle) {
            continue;
        }
        if (!processAlive(record->pid, record->startTime)) {
            ::unlink((folder + name).c_str());  // its program died without cleaning up
            continue;
        }
        if (!record->hidden)
            records.push_back(std::move(*record));
    }
    std::sort(records.begin(), records.end(),
              [](const WindowRecord& a, const WindowRecord& b) { return a.handle < b.handle; });
    return records;
}

std::uint64_t processStartTime(pid_t pid)
{
    if (pid <= 0)
        return 0;
    const std::string stat = readSmallFile("/proc/" + std::to_string(pid) + "/stat", 4096);
    // The command name may hold blanks and parentheses: fields count from the last ')'.
    const auto close = stat.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream fields(stat.substr(close + 1));
    std::string field;
    // Field 3 (state) is the first after ')'; the start time is field 22. A zombie counts as gone.
    for (int i = 3; i <= 22; ++i) {
        if (!(fields >> field))
            return 0;
        if (i == 3 && (field == "Z" || field == "X"))
            return 0;
    }
    std::uint64_t start = 0;
    return parseNumber(std::string_view(field), &start) ? start : 0;
}

bool processAlive(pid_t pid, std::uint64_t startTime)
{
    if (pid <= 0)
        return false;
    if (::kill(pid, 0) != 0 && errno != EPERM)
        return false;
    const std::uint64_t now = processStartTime(pid);
    if (now == 0)
        return false;  // gone between the two looks, or a zombie
    return startTime == 0 || now == startTime;
}

std::string socketPath(pid_t pid)
{
    const std::string folder = runtimeFolder();
    if (folder.empty())
        return {};
    std::string path = folder + "s" + std::to_string(pid);
    if (path.size() >= sizeof(sockaddr_un{}.sun_path))
        return {};
    return path;
}

}  // namespace platform::ipc
