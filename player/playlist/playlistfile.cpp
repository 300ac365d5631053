// Extended M3U playlists and ".hst" recent-playlist files of the player.
#include "player/playlist/playlistfile.h"

#include "media/tag.h"
#include "media/textutil.h"
#include "platform/cp1251.h"
#include "platform/pathtext.h"
#include "platform/regularfile.h"
#include "platform/usermessages.h"
#include "platform/savefile.h"
#include "player/language/playertexts.h"
#include "player/playlist/playlistrows.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <unordered_map>

namespace player {

namespace {

constexpr std::string_view kExtInf = "#EXTINF:";

std::int64_t parseSeconds(std::string_view text)
{
    const std::string_view t = media::trimText(text);
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

// No name or text of a playlist comes near this; a line past it (a damaged or hostile file) would
// only cost seconds of work and of painting, and is left out.
constexpr std::size_t kMaxLineBytes = 64 * 1024;

// Lines past the bound become empty lines, so that the lines after them keep their places; the
// flags tell which.
std::vector<bool> dropLongLines(std::vector<std::string_view>& lines)
{
    std::vector<bool> dropped(lines.size(), false);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].size() > kMaxLineBytes) {
            lines[i] = {};
            dropped[i] = true;
        }
    }
    return dropped;
}

// Rows a playlist cannot hold, named in one box (the first ten of them).
void reportRowsLeftOut(const std::string& path, const std::vector<controls::TVirtualItem>& rows,
                       const std::vector<std::size_t>& skipped)
{
    constexpr std::size_t kNamed = 10;
    if (skipped.empty())
        return;
    std::string names;
    for (std::size_t k = 0; k < skipped.size() && k < kNamed; ++k) {
        const controls::TVirtualItem& row = rows[skipped[k]];
        std::string shown = platform::pathForDisplay(row.SubItems[kColPath]).toStdString();
        std::replace_if(shown.begin(), shown.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
        names += "\r\n" + row.SubItems[kColName].toStdString() + " (" + shown + ")";
    }
    if (skipped.size() > kNamed)
        names += "\r\n... (+" + std::to_string(skipped.size() - kNamed) + ")";
    platform::messageBox(LanguageTexts().Text(PlayerText::LineBreakRowsLeftOut, {std::to_string(skipped.size())}) +
                             "\r\n" + LanguageTexts().Text(PlayerText::PlaylistNamed, {platform::decodeText(path)}) +
                             names,
                         "Error", platform::MB_OK | platform::MB_ICONWARNING);
}

// An entry line's path as the file system has it: its bytes, resolved against the playlist's own
// folder by the media module's rule (relative entries, "\" separators). When that names nothing,
// the line is tried as code page 1251 text (a list made on another system, its files renamed
// since) and with "\" read as "/" from the root ("\music\a.mp3" of a list made for one drive).
// A line that has no other reading is taken as it resolves, without a look at the disk: whether
// it names a file would change nothing.
std::string entryPathBytes(const media::M3UEntryResolver& resolve, std::string_view line, bool utf8)
{
    const std::string asIs = resolve(line);
    if (utf8 && !line.starts_with('\\'))
        return asIs;
    std::error_code ec;
    if (std::filesystem::exists(asIs, ec))
        return asIs;
    std::vector<std::string> candidates;
    const auto addReadings = [&candidates](std::string_view text) {
        if (text.starts_with('\\')) {
            candidates.emplace_back(text);
            std::replace(candidates.back().begin(), candidates.back().end(), '\\', '/');
        }
    };
    addReadings(line);  // the line as it resolves was tried above
    if (!utf8) {
        const std::string text = platform::cp1251ToUtf8(line);
        candidates.push_back(resolve(text));
        addReadings(text);
    }
    for (const std::string& candidate : candidates)
        if (std::filesystem::exists(candidate, ec))
            return candidate;
    return asIs;
}

}  // namespace

bool WritePlaylistFile(const std::string& path, const std::vector<controls::TVirtualItem>& rows, std::string& error)
{
    std::string out = "#EXTM3U\r\n";
    std::vector<std::size_t> skipped;
    const auto isLineBreak = [](char c) { return c == '\r' || c == '\n'; };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const controls::TVirtualItem& row = rows[i];
        // The path's bytes as the file system gave them, whatever they are. One holding a line
        // break would come back as lines of its own: such a row is left out, never altered.
        const std::string bytes = platform::pathBytes(row.SubItems[kColPath]);
        const std::string_view file = media::trimText(bytes);
        if (std::any_of(file.begin(), file.end(), isLineBreak)) {
            skipped.push_back(i);
            continue;
        }
        out += kExtInf;
        out += std::to_string(DurationTextSeconds(row.SubItems[kColDuration]));
        out += ',';
        // A line break inside the shown name would split the entry.
        const std::string shown = row.SubItems[kColName].toStdString();
        const std::size_t nameAt = out.size();
        out += media::trimText(shown);
        std::replace_if(out.begin() + static_cast<std::ptrdiff_t>(nameAt), out.end(), isLineBreak, ' ');
        out += "\r\n";
        out += file;
        out += "\r\n";
    }
    // What the reader would refuse is not written: the file keeps the list it holds.
    if (!media::PlaylistWithinBounds(out, error) || !platform::saveFile(path, out, &error))
        return false;
    reportRowsLeftOut(path, rows, skipped);
    return true;
}

void ReportLongLinesLeftOut(const std::string& path, std::size_t count)
{
    if (count > 0)
        platform::messageBox(LanguageTexts().Text(PlayerText::LongLinesLeftOut, {std::to_string(count)}) + "\r\n" +
                                 LanguageTexts().Text(PlayerText::PlaylistNamed, {platform::decodeText(path)}),
                             "Error", platform::MB_OK | platform::MB_ICONERROR);
}

std::optional<std::vector<controls::TVirtualItem>> ReadPlaylistFile(const std::string& path, PlaylistEntries entries,
                                                                    std::string* error)
{
    PlaylistRead read = ReadPlaylistRows(path, entries);
    ReportLongLinesLeftOut(path, read.longLinesLeftOut);
    if (!read.rows && error)
        *error = std::move(read.error);
    return std::move(read.rows);
}

PlaylistRead ReadPlaylistRows(const std::string& path, PlaylistEntries entries, std::size_t lead, bool numbered)
{
    PlaylistRead read;
    std::string bytes;
    if (media::ReadPlaylistBytes(path, bytes, read.error) != media::PlaylistRead::Ok)
        return read;
    // Text never holds a zero byte: anything that does (an audio file chosen by mistake) is not
    // a playlist, and its "lines" must not become rows.
    if (bytes.find('\0') != std::string::npos) {
        read.error = LanguageTexts().Text(PlayerText::NotText);
        return read;
    }
    std::vector<std::string_view> lines = media::splitLines(bytes);
    const std::vector<bool> dropped = dropLongLines(lines);
    read.longLinesLeftOut = static_cast<std::size_t>(std::count(dropped.begin(), dropped.end(), true));
    const bool extendedOnly = entries == PlaylistEntries::ExtendedOnly;
    if (extendedOnly && (lines.empty() || media::trimText(lines[0]) != "#EXTM3U")) {
        read.error = LanguageTexts().Text(PlayerText::NoExtM3uHeader);
        return read;
    }
    // Every line not blank and not a "#" line may be an entry: room for them all at once.
    std::size_t entryLines = 0;
    for (const std::string_view line : lines) {
        const std::string_view t = media::trimText(line);
        entryLines += !t.empty() && t.front() != '#';
    }
    const media::M3UEntryResolver resolve(path);
    std::vector<controls::TVirtualItem> rows;
    controls::ReserveRows(rows, lead + entryLines);
    rows.resize(lead);
    // Most entries share a few durations: one text each, shared by the rows.
    std::unordered_map<std::int64_t, QString> durationTexts;
    bool described = false;  // an "#EXTINF:" line waits for its path
    std::int64_t seconds = 0;
    std::string name;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (dropped[i]) {
            described = false;  // a path past the bound: there is nothing to play
            continue;
        }
        // The path keeps the line's bytes; only what is shown is decoded. The markers looked for
        // are ASCII, which both decodings keep as they are.
        const std::string_view raw = media::trimText(lines[i]);
        if (raw.empty())
            continue;
        const bool utf8 = platform::isValidUtf8(raw);
        if (raw.starts_with(kExtInf)) {
            const std::string decoded = utf8 ? std::string() : platform::cp1251ToUtf8(raw);
            const std::string_view rest = (utf8 ? raw : std::string_view(decoded)).substr(kExtInf.size());
            const std::size_t comma = rest.find(',');
            seconds = parseSeconds(rest.substr(0, comma));
            name = comma == std::string_view::npos ? std::string_view() : media::trimText(rest.substr(comma + 1));
            described = true;
            continue;
        }
        if (raw.front() == '#' || (extendedOnly && !described))
            continue;  // "#EXTM3U" and other comments
        // Every other line is an entry, with or without a description before it.
        const std::string file = entryPathBytes(resolve, raw, utf8);
        controls::TVirtualItem row;
        row.SubItems[kColName] = QString::fromStdString(
            described && !name.empty() ? name : platform::decodeText(media::ExtractFileBaseName(file)));
        const std::int64_t ms = described ? std::clamp<std::int64_t>(seconds * 1000, 0, 2147483647) : 0;
        QString& duration = durationTexts[ms];
        if (duration.isNull())
            duration = QString::fromStdString(media::FormatTimeShort(static_cast<std::int32_t>(ms)));
        row.SubItems[kColDuration] = duration;
        row.SubItems[kColPath] = platform::pathToQString(file);
        if (numbered)
            row.Caption = QString::number(rows.size() + 1);
        rows.push_back(std::move(row));
        described = false;
    }
    read.rows = std::move(rows);
    read.lead = lead;
    return read;
}

std::optional<std::vector<std::string>> ReadHistoryFile(const std::string& path, std::string* error)
{
    std::string bytes;
    if (platform::readRegularFile(path, platform::kMaxSettingsFileBytes, bytes, error) != platform::FileRead::Ok)
        return std::nullopt;
    std::vector<std::string_view> views = media::splitLines(bytes);
    if (views.size() > static_cast<std::size_t>(kRecentPlaylists))
        views.resize(kRecentPlaylists);
    std::vector<std::string> lines;
    for (const std::string_view l : views)
        lines.push_back(platform::decodeText(l));
    return lines;
}

bool WriteHistoryFile(const std::string& path, const std::vector<std::string>& paths, std::string& error)
{
    std::string out;
    for (const std::string& p : paths) {
        out += p;
        out += "\r\n";
    }
    return platform::saveFile(path, out, &error);
}

}  // namespace player
