// The ID3v1 tag through a TTagRecord, time texts, and the small file helpers of the tag toolbox.
#include "media/tag.h"

#include "media/inputfile.h"
#include "media/mediatexts.h"
#include "media/textutil.h"
#include "platform/programfolder.h"
#include "platform/usermessages.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace media {

namespace {

constexpr std::size_t kId3v1Size = 128;

void showTagError(const std::string& text)
{
    platform::messageBox(text, std::string(kTagEditorCaption), platform::MB_OK | platform::MB_ICONERROR);
}

bool writeAll(int fd, std::int64_t offset, const void* data, std::size_t size)
{
    const auto* p = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, p + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool readAll(int fd, std::int64_t offset, void* data, std::size_t size)
{
    auto* p = static_cast<char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, p + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

bool ReadTagRecord(const std::string& fileName, TTagRecord& tag, bool* readFailed)
{
    std::memset(&tag, 0, sizeof tag);
    if (readFailed)
        *readFailed = false;
    const InputFile file(fileName);
    if (!file.isOpen()) {
        if (readFailed)
            *readFailed = ::access(fileName.c_str(), F_OK) == 0;
        return false;
    }
    return ReadTagRecord(file, tag, readFailed);
}

bool ReadTagRecord(const InputFile& file, TTagRecord& tag, bool* readFailed)
{
    std::memset(&tag, 0, sizeof tag);
    if (readFailed)
        *readFailed = false;
    if (!file.isOpen())
        return false;
    if (file.size() < static_cast<std::int64_t>(kId3v1Size))
        return false;
    unsigned char block[kId3v1Size];
    const std::int64_t at = file.size() - static_cast<std::int64_t>(kId3v1Size);
    if (!file.readExact(at, block, sizeof block)) {
        if (readFailed)
            *readFailed = true;
        return false;
    }
    std::memcpy(tag.Kind, block, 3);
    if (std::memcmp(block, "TAG", 3) != 0)
        return false;
    std::memcpy(&tag, block, 127);
    tag.Genre.assign(GenreName(block[127]));
    return true;
}

void WriteTagRecord(const std::string& fileName, const TTagRecord& tag, std::uint8_t genreIndex)
{
    struct stat st {};
    if (::stat(fileName.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        showTagError("Ошибка: файл не найден!");
        return;
    }
    // The read-only attribute of this platform is the owner's write bit.
    if (!(st.st_mode & S_IWUSR) && ::chmod(fileName.c_str(), (st.st_mode & 07777) | S_IWUSR) != 0) {
        showTagError("Ошибка: нет доступа к файлу!");
        return;
    }
    const int fd = ::open(fileName.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        showTagError("Ошибка: нет доступа к файлу!");
        return;
    }
    bool ok = true;
    struct stat fst {};
    if (::fstat(fd, &fst) != 0) {
        ::close(fd);
        showTagError("Ошибка: нет доступа к файлу!");
        return;
    }
    const std::int64_t size = fst.st_size;
    const std::int64_t tagAt = size - static_cast<std::int64_t>(kId3v1Size);
    char marker[3] = {0, 0, 0};
    if (size >= static_cast<std::int64_t>(kId3v1Size))
        ok = readAll(fd, tagAt, marker, 3);
    const bool existing = ok && std::memcmp(marker, "TAG", 3) == 0;
    const bool wanted = std::memcmp(tag.Kind, "TAG", 3) == 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&tag);

    if (ok && wanted && existing) {
        ok = writeAll(fd, tagAt, "TAG", 3);
        struct Field {
            std::size_t offset, size;
        };
        // An empty field keeps the file's value: the editors send zero bytes for "unchanged".
        constexpr Field fields[] = {{3, 30}, {33, 30}, {63, 30}, {93, 4}, {97, 30}};
        for (const Field& f : fields) {
            if (ok && bytes[f.offset] != 0)
                ok = writeAll(fd, tagAt + static_cast<std::int64_t>(f.offset), bytes + f.offset, f.size);
        }
        if (ok && (genreIndex < kGenreCount || genreIndex == kNoGenre))
            ok = writeAll(fd, tagAt + 127, &genreIndex, 1);
    } else if (ok && wanted) {
        unsigned char block[kId3v1Size];
        std::memcpy(block, bytes, 127);
        block[127] = genreIndex;
        ok = writeAll(fd, size, block, sizeof block);
    } else if (ok && existing) {
        ok = ::ftruncate(fd, static_cast<off_t>(tagAt)) == 0;
    }
    if (::close(fd) != 0)
        ok = false;
    if (!ok)
        showTagError(mediaTexts().tagNotWritten);
}

std::string FormatTimeShort(std::int32_t ms)
{
    const auto v = static_cast<std::uint32_t>(ms);
    if (v == 0)
        return "??:??";
    char text[32];
    std::snprintf(text, sizeof text, "%.2u:%.2u", (v / 1000) / 60, (v / 1000) % 60);
    return text;
}

std::string FormatTimeLong(std::int32_t ms)
{
    const auto v = static_cast<std::uint32_t>(ms);
    char text[32];
    std::snprintf(text, sizeof text, "%u:%.2u:%.2u", v / 3600000, (v / 60000) % 60, (v / 1000) % 60);
    return text;
}

std::string FormatTimeTenths(std::int32_t ms)
{
    const auto v = static_cast<std::uint32_t>(ms);
    if (v == 0)
        return "00:00.0";
    char text[40];
    std::snprintf(text, sizeof text, "%.2u:%.2u.%u", (v / 1000) / 60, (v / 1000) % 60, (v % 1000) / 100);
    return text;
}

std::string GetFileVersionString(const std::string& fileName)
{
    // Only this system's own executables carry a version; it is the one the build was made with.
    std::error_code ec;
    const std::filesystem::path path = std::filesystem::canonical(fileName, ec);
    if (ec)
        return {};
    const std::filesystem::path self = std::filesystem::canonical("/proc/self/exe", ec);
    if (!ec && path == self)
        return QV_VERSION;
    const std::filesystem::path exeFolder = std::filesystem::canonical(platform::executableFolder(), ec);
    if (!ec && path.parent_path() == exeFolder) {
        const std::string name = path.filename().string();
        if (name == "player" || name == "Base")
            return QV_VERSION;
    }
    return {};
}

void CopyToBuffer(std::string_view text, char* field, int highestIndex)
{
    if (highestIndex < 0)
        return;
    const std::size_t n = std::min(static_cast<std::size_t>(highestIndex) + 1, text.size());
    std::memcpy(field, text.data(), n);
}

bool IsBitSet(std::uint32_t set, int n)
{
    return (set >> (static_cast<unsigned>(n) % 32)) & 1u;
}

void SetBit(std::uint32_t& set, int n)
{
    set |= 1u << (static_cast<unsigned>(n) % 32);
}

void ListFilesByExtension(const std::string& folder, const std::string& ext, std::vector<std::string>& list)
{
    list.clear();
    const std::string suffix = "." + asciiLower(ext);
    std::error_code ec;
    std::filesystem::directory_iterator it(folder.empty() ? std::string(".") : folder, ec);
    if (ec)
        return;
    for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        const std::string name = it->path().filename().string();
        if (name.size() > suffix.size() && asciiLower(name.substr(name.size() - suffix.size())) == suffix)
            list.push_back(name.substr(0, name.size() - suffix.size()));
    }
    std::sort(list.begin(), list.end(), [](const std::string& a, const std::string& b) {
        const std::string la = asciiLower(a), lb = asciiLower(b);
        return la != lb ? la < lb : a < b;
    });
}

bool IsSupportedMediaFile(std::string_view ext)
{
    const std::string lower = asciiLower(ext);
    for (int i = 0; i < kSupportedExtensionCount; ++i)
        if (lower == SupportedExtension(i))
            return true;
    return false;
}

std::string ExtractFileBaseName(std::string_view path)
{
    const std::size_t slash = path.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos)
        name = name.substr(0, dot);
    return std::string(name);
}

}  // namespace media
