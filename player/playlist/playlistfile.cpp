// Extended M3U playlists and ".hst" recent-playlist files of the player.
#include "player/playlist/playlistfile.h"

#include "media/tag.h"
#include "platform/cp1251.h"
#include "player/playlist/playlistrows.h"

#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace player {

namespace {

constexpr std::string_view kExtInf = "#EXTINF:";

std::string trimmed(std::string_view s)
{
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32)
        --e;
    return std::string(s.substr(b, e - b));
}

std::optional<std::string> readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return bytes;
}

// Lines ended by LF, CR LF or CR.
std::vector<std::string> splitLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::string cur;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(std::move(cur));
            cur.clear();
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            cur.push_back(c);
        }
    }
    if (!cur.empty())
        lines.push_back(std::move(cur));
    return lines;
}

std::int64_t parseSeconds(std::string_view text)
{
    const std::string t = trimmed(text);
    if (t.empty() || t.size() > 12)
        return 0;
    std::int64_t v = 0;
    std::size_t i = t[0] == '-' ? 1 : 0;
    if (i == t.size())
        return 0;
    for (; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9')
            return 0;
        v = v * 10 + (t[i] - '0');
    }
    return t[0] == '-' ? 0 : v;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string& error)
{
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString().toStdString();
        return false;
    }
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
        error = file.errorString().toStdString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        error = file.errorString().toStdString();
        return false;
    }
    return true;
}

bool WritePlaylistFile(const std::string& path, const std::vector<controls::TVirtualItem>& rows, std::string& error)
{
    std::string out = "#EXTM3U\r\n";
    for (const controls::TVirtualItem& row : rows) {
        out += kExtInf;
        out += std::to_string(DurationTextSeconds(row.SubItems[kColDuration]));
        out += ',';
        // Line breaks inside a name or path would split the entry; they cannot come back anyway.
        std::string name = trimmed(row.SubItems[kColName].toStdString());
        std::string file = trimmed(row.SubItems[kColPath].toStdString());
        std::replace_if(name.begin(), name.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
        std::replace_if(file.begin(), file.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
        out += name;
        out += "\r\n";
        out += file;
        out += "\r\n";
    }
    return WriteFileAtomically(path, out, error);
}

std::optional<std::vector<controls::TVirtualItem>> ReadPlaylistFile(const std::string& path, PlaylistEntries entries)
{
    const std::optional<std::string> bytes = readAll(path);
    // Text never holds a zero byte: anything that does (an audio file chosen by mistake) is not
    // a playlist, and its "lines" must not become rows.
    if (!bytes || bytes->find('\0') != std::string::npos)
        return std::nullopt;
    const std::vector<std::string> lines = splitLines(*bytes);
    const bool extendedOnly = entries == PlaylistEntries::ExtendedOnly;
    if (extendedOnly && (lines.empty() || trimmed(lines[0]) != "#EXTM3U"))
        return std::nullopt;
    std::vector<controls::TVirtualItem> rows;
    bool described = false;  // an "#EXTINF:" line waits for its path
    std::int64_t seconds = 0;
    std::string name;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string line = trimmed(platform::decodeText(lines[i]));
        if (line.empty())
            continue;
        if (line.starts_with(kExtInf)) {
            const std::string rest = line.substr(kExtInf.size());
            const std::size_t comma = rest.find(',');
            seconds = parseSeconds(rest.substr(0, comma));
            name = comma == std::string::npos ? std::string() : trimmed(rest.substr(comma + 1));
            described = true;
            continue;
        }
        if (line.front() == '#' || (extendedOnly && !described))
            continue;  // "#EXTM3U" and other comments
        // Every other line is an entry, with or without a description before it.
        const std::string file = media::ResolveM3UEntry(path, line);
        controls::TVirtualItem row;
        row.SubItems[kColName] = QString::fromStdString(described && !name.empty() ? name : media::ExtractFileBaseName(file));
        const std::int64_t ms = described ? std::clamp<std::int64_t>(seconds * 1000, 0, 2147483647) : 0;
        row.SubItems[kColDuration] = QString::fromStdString(media::FormatTimeShort(static_cast<std::int32_t>(ms)));
        row.SubItems[kColPath] = QString::fromStdString(file);
        rows.push_back(std::move(row));
        described = false;
    }
    return rows;
}

std::optional<std::vector<std::string>> ReadHistoryFile(const std::string& path)
{
    const std::optional<std::string> bytes = readAll(path);
    if (!bytes)
        return std::nullopt;
    std::vector<std::string> lines = splitLines(*bytes);
    if (lines.size() > static_cast<std::size_t>(kRecentPlaylists))
        lines.resize(kRecentPlaylists);
    for (std::string& l : lines)
        l = platform::decodeText(l);
    return lines;
}

bool WriteHistoryFile(const std::string& path, const std::vector<std::string>& paths, std::string& error)
{
    std::string out;
    for (const std::string& p : paths) {
        out += p;
        out += "\r\n";
    }
    return WriteFileAtomically(path, out, error);
}

}  // namespace player
