// Line-based editing of mimeapps.list: the file is not rebuilt from a parse, so whatever we do not
// understand in it survives untouched.
#include "platform/mimeappslist.h"

#include <algorithm>
#include <optional>

namespace platform {

namespace {

constexpr std::string_view kGroup = "Default Applications";
constexpr std::string_view kBlanks = " \t\r";

std::string_view trimmed(std::string_view s)
{
    const auto first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(kBlanks);
    return s.substr(first, last - first + 1);
}

struct Line {
    std::string_view body;  // without "\n" and without a trailing "\r"
    bool carriageReturn = false;
};

std::vector<Line> splitLines(std::string_view text)
{
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        auto end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        Line line{text.substr(pos, end - pos)};
        if (!line.body.empty() && line.body.back() == '\r') {
            line.body.remove_suffix(1);
            line.carriageReturn = true;
        }
        lines.push_back(line);
        pos = end + 1;
    }
    return lines;
}

// The name of a "[name]" line; nothing for any other line.
std::optional<std::string_view> groupName(std::string_view body)
{
    const std::string_view t = trimmed(body);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']')
        return std::nullopt;
    return t.substr(1, t.size() - 2);
}

// The key of a "key=value" line; nothing for comments and other lines.
std::optional<std::string_view> keyOf(std::string_view body)
{
    const std::string_view t = trimmed(body);
    if (t.empty() || t.front() == '#')
        return std::nullopt;
    const auto eq = t.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    const std::string_view key = trimmed(t.substr(0, eq));
    if (key.empty())
        return std::nullopt;
    return key;
}

// Ours first, then the entries the user had, without ours among them.
std::string mergedValue(std::string_view oldValue, std::string_view desktopId)
{
    std::string value(desktopId);
    value += ';';
    std::size_t pos = 0;
    while (pos <= oldValue.size()) {
        auto end = oldValue.find(';', pos);
        if (end == std::string_view::npos)
            end = oldValue.size();
        const std::string_view entry = trimmed(oldValue.substr(pos, end - pos));
        if (!entry.empty() && entry != desktopId) {
            value += entry;
            value += ';';
        }
        pos = end + 1;
    }
    return value;
}

}  // namespace

std::string setDefaultApplications(std::string_view text, const std::vector<std::string>& mimeTypes,
                                   std::string_view desktopId)
{
    const std::vector<Line> lines = splitLines(text);
    const bool endsWithNewline = !text.empty() && text.back() == '\n';
    // Lines we add follow the file's own line ends.
    const std::string cr = (!lines.empty() && lines.front().carriageReturn) ? "\r" : "";

    std::vector<std::string> out;
    out.reserve(lines.size() + mimeTypes.size() + 2);
    std::vector<bool> seen(mimeTypes.size(), false);
    bool inGroup = false;
    std::optional<std::size_t> insertAt;  // after the last non-blank line of the first group
    bool firstGroupOpen = false;

    for (const Line& line : lines) {
        std::string kept(line.body);
        if (const auto group = groupName(line.body)) {
            inGroup = *group == kGroup;
            firstGroupOpen = inGroup && !insertAt;
            if (firstGroupOpen)
                insertAt = out.size() + 1;
        } else if (inGroup) {
            if (const auto key = keyOf(line.body)) {
                const auto it = std::find(mimeTypes.begin(), mimeTypes.end(), *key);
                if (it != mimeTypes.end()) {
                    seen[static_cast<std::size_t>(it - mimeTypes.begin())] = true;
                    const std::string_view afterEq = line.body.substr(line.body.find('=') + 1);
                    kept = std::string(*key) + "=" + mergedValue(afterEq, desktopId);
                }
            }
            if (firstGroupOpen && !trimmed(line.body).empty())
                insertAt = out.size() + 1;
        }
        if (line.carriageReturn)
            kept += '\r';
        out.push_back(std::move(kept));
    }

    bool addedAtEnd = false;
    std::vector<std::string> added;
    for (std::size_t i = 0; i < mimeTypes.size(); ++i) {
        if (!seen[i])
            added.push_back(mimeTypes[i] + "=" + std::string(desktopId) + ";" + cr);
    }
    if (!added.empty()) {
        if (!insertAt) {
            if (!out.empty() && !trimmed(out.back()).empty())
                out.push_back(cr);
            out.push_back(std::string("[") + std::string(kGroup) + "]" + cr);
            insertAt = out.size();
        }
        addedAtEnd = *insertAt == out.size();
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(*insertAt), added.begin(), added.end());
    }

    std::string result;
    for (std::size_t i = 0; i < out.size(); ++i) {
        result += out[i];
        if (i + 1 < out.size() || endsWithNewline || addedAtEnd)
            result += '\n';
    }
    return result;
}

}  // namespace platform
