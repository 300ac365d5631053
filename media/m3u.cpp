// The extended M3U playlist as the programs read it: "#EXTINF:" entries into track records, and
// the playlist's total time.
#include "media/tag.h"

#include "media/textutil.h"
#include "platform/cp1251.h"
#include "platform/regularfile.h"
#include "platform/usermessages.h"

#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>

namespace media {

namespace {

constexpr std::string_view kExtInf = "#EXTINF:";
constexpr std::size_t kFileNameCapacity = 255;

bool fileExists(const std::string& name)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(name, ec);
}

// The playlist's text, decoded (UTF-8, else code page 1251). Nothing (and a box says why) when
// the file is missing or refused.
std::optional<std::string> readText(const std::string& fileName)
{
    std::string raw;
    std::string error;
    const PlaylistRead read = ReadPlaylistBytes(fileName, raw, error);
    if (read != PlaylistRead::Ok) {
        platform::messageBox("Плейлист \"" + fileName +
                                 (read == PlaylistRead::Missing ? "\" не найден!" : "\" не читается: " + error),
                             "Error", platform::MB_OK | platform::MB_ICONERROR);
        return std::nullopt;
    }
    return platform::decodeText(raw);
}

bool hasHeader(const std::vector<std::string_view>& lines)
{
    return !lines.empty() && trimText(lines.front()) == "#EXTM3U";
}

// Seconds before the first comma after "#EXTINF:"; 0 when not an integer or when there is no comma.
std::int64_t entrySeconds(std::string_view afterTag)
{
    const std::size_t comma = afterTag.find(',');
    if (comma == std::string_view::npos)
        return 0;
    const auto v = parseInteger(afterTag.substr(0, comma));
    if (!v || *v < std::numeric_limits<std::int32_t>::min() || *v > std::numeric_limits<std::int32_t>::max())
        return 0;
    return *v;
}

// Longer than two characters and no drive letter: relative (a leading "\" included). A leading
// "/" is this platform's absolute path.
bool isRelative(std::string_view path)
{
    return path.size() > 2 && path[1] != ':' && path[0] != '/';
}

// The entry's path: relative ones are put under the playlist's folder; "\" separators are taken
// as "/" unless the name exists as written.
std::string entryPath(const std::string& folder, std::string_view entry)
{
    std::string path;
    if (isRelative(entry)) {
        path.reserve(folder.size() + entry.size());
        path = folder;
    }
    path += entry;
    if (path.find('\\') != std::string::npos && !fileExists(path)) {
        for (char& c : path)
            if (c == '\\')
                c = '/';
    }
    return path;
}

std::string playlistFolder(const std::string& fileName)
{
    std::string folder = std::filesystem::path(fileName).parent_path().string();
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

}  // namespace

bool PlaylistWithinBounds(std::string_view bytes, std::string& error)
{
    if (bytes.size() > kMaxPlaylistFileBytes) {
        error = platform::tooLargeText(kMaxPlaylistFileBytes);
        return false;
    }
    // Lines as the readers split them: ended by LF, CR LF or CR, the last one also by the end.
    std::size_t lines = 0;
    std::size_t entries = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= bytes.size() && lines <= kMaxPlaylistLines && entries <= kMaxPlaylistEntries; ++i) {
        if (i < bytes.size() && bytes[i] != '\n' && bytes[i] != '\r')
            continue;
        if (i == bytes.size() && start == i)
            break;  // no unended last line
        ++lines;
        const std::string_view line = trimText(bytes.substr(start, i - start));
        entries += !line.empty() && line.front() != '#';
        if (i < bytes.size() && bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (entries > kMaxPlaylistEntries) {
        error = "More than " + std::to_string(kMaxPlaylistEntries) + " entries";
        return false;
    }
    if (lines > kMaxPlaylistLines) {
        error = "More than " + std::to_string(kMaxPlaylistLines) + " lines";
        return false;
    }
    return true;
}

PlaylistRead ReadPlaylistBytes(const std::string& fileName, std::string& bytes, std::string& error)
{
    switch (platform::readRegularFile(fileName, kMaxPlaylistFileBytes, bytes, &error)) {
    case platform::FileRead::Missing:
        return PlaylistRead::Missing;
    case platform::FileRead::Refused:
        return PlaylistRead::Refused;
    case platform::FileRead::Ok:
        break;
    }
    if (!PlaylistWithinBounds(bytes, error)) {
        bytes.clear();
        return PlaylistRead::Refused;
    }
    return PlaylistRead::Ok;
}

M3UEntryResolver::M3UEntryResolver(const std::string& fileName) : m_folder(playlistFolder(fileName)) {}

std::string M3UEntryResolver::operator()(std::string_view entry) const
{
    return entryPath(m_folder, entry);
}

int LoadM3UPlaylist(const std::string& fileName, std::span<TTrackRecord> dest)
{
    const std::optional<std::string> contents = readText(fileName);
    if (!contents)
        return 0;
    const std::vector<std::string_view> lines = splitLines(*contents);
    if (!hasHeader(lines))
        return 0;
    const M3UEntryResolver resolve(fileName);

    std::size_t stored = 0;
    std::size_t tooLong = 0;
    std::string firstTooLong;
    for (std::size_t i = 1; i < lines.size() && stored < dest.size(); ++i) {
        const std::size_t at = lines[i].find(kExtInf);
        if (at == std::string_view::npos)
            continue;
        std::string line(lines[i]);
        line += ' ';
        const std::string_view afterTag = std::string_view(line).substr(at + kExtInf.size());
        const std::int64_t seconds = entrySeconds(afterTag);
        const std::size_t comma = afterTag.find(',');
        const std::string display(comma == std::string_view::npos ? std::string_view() : afterTag.substr(comma + 1));
        const std::string_view entry = i + 1 < lines.size() ? lines[i + 1] : std::string_view();
        ++i;  // the path line is consumed whatever it holds

        const std::string path = resolve(entry);
        if (path.size() > kFileNameCapacity) {
            // A cut path would name another file; such entries are left out and reported.
            if (tooLong++ == 0)
                firstTooLong = path;
            continue;
        }
        TTrackRecord& rec = dest[stored++];
        std::memset(&rec, 0, offsetof(TTrackRecord, Size));
        const std::size_t sep = display.find(" - ");
        if (sep != std::string::npos) {
            rec.Artist.assign(platform::utf8ToCp1251(display.substr(0, sep)));
            rec.Title.assign(platform::utf8ToCp1251(display.substr(sep + 3)));
        } else {
            const std::string text = platform::utf8ToCp1251("~" + display);
            rec.Artist.assign(text);
            rec.Title.assign(text.size() > 30 ? std::string_view(text).substr(30) : std::string_view());
        }
        rec.FileName.assign(path);
        rec.Duration = static_cast<std::int32_t>(static_cast<std::uint32_t>(seconds * 1000));
    }
    if (tooLong > 0)
        platform::messageBox("Пропущено записей плейлиста с путём длиннее 255 байт: " + std::to_string(tooLong) +
                                 "\r\nПервая: " + firstTooLong,
                             "Error", platform::MB_OK | platform::MB_ICONERROR);
    return static_cast<int>(stored);
}

std::int64_t GetM3UTotalSeconds(const std::string& fileName)
{
    const std::optional<std::string> contents = readText(fileName);
    if (!contents)
        return 0;
    const std::vector<std::string_view> lines = splitLines(*contents);
    if (!hasHeader(lines))
        return 0;
    std::int64_t total = 0;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::size_t at = lines[i].find(kExtInf);
        if (at == std::string_view::npos)
            continue;
        total += entrySeconds(lines[i].substr(at + kExtInf.size()));
        ++i;
    }
    return total;
}

}  // namespace media
