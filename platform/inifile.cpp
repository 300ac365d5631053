// Ini file reader/writer: the file is held as its lines, grouped by section, so that a rewrite
// keeps order, comments and keys this program does not know.
#include "platform/inifile.h"

#include "platform/cp1251.h"
#include "platform/hexrecord.h"
#include "platform/regularfile.h"
#include "platform/savefile.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <unordered_map>

namespace platform {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view trim(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Case-blind comparison key: ASCII quickly, anything else through Unicode case folding so that
// Cyrillic names match too.
std::string fold(std::string_view s)
{
    const bool ascii = std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        std::string out(s);
        for (char& c : out) {
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        }
        return out;
    }
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())).toCaseFolded().toStdString();
}

// Cuts UTF-8 text after maxChars characters without splitting one.
std::string_view cutChars(std::string_view s, std::size_t maxChars)
{
    std::size_t chars = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (chars == maxChars)
                return s.substr(0, i);
            ++chars;
        }
    }
    return s;
}

std::string cleanValue(std::string_view raw)
{
    std::string_view v = trim(raw);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(cutChars(v, IniFile::kMaxValueLength));
}

bool validSectionName(std::string_view s)
{
    return !s.empty() && s.find_first_of("]\r\n") == std::string_view::npos;
}

bool validKeyName(std::string_view k)
{
    return !k.empty() && k.front() != '[' && k.front() != ';' && k.find_first_of("=\r\n") == std::string_view::npos;
}

// A value cannot hold a line break: it would end the line and start another, foreign key.
std::string singleLine(std::string_view value)
{
    std::string out(value);
    std::replace(out.begin(), out.end(), '\r', ' ');
    std::replace(out.begin(), out.end(), '\n', ' ');
    return out;
}

std::optional<std::int64_t> parseDigits(std::string_view s, int base)
{
    if (s.empty())
        return std::nullopt;
    std::uint64_t v = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (ec != std::errc() || ptr != s.data() + s.size())
        return std::nullopt;
    if (v > 0xFFFFFFFFull)
        return std::nullopt;
    return static_cast<std::int64_t>(v);
}

}  // namespace

struct IniFile::Contents {
    struct Line {
        std::string text;    // the line as it is written back
        bool isKey = false;
        std::string key;     // as spelt in the file, trimmed
        std::string value;   // everything after "=", untouched
    };
    struct Section {
        bool preamble = false;  // the lines before the first header
        std::string name;
        std::vector<Line> lines;  // lines[0] is the header of a real section
        std::unordered_map<std::string, std::size_t> keyIndex;  // folded key -> first line
    };

    std::vector<Section> sections;
    std::unordered_map<std::string, std::size_t> sectionIndex;  // folded name -> first section
    bool dirty = false;
    bool unreadable = false;  // the file exists but could not be read: rewriting it would lose it

    static void indexKeys(Section& s)
    {
        s.keyIndex.clear();
        for (std::size_t i = 0; i < s.lines.size(); ++i) {
            if (s.lines[i].isKey)
                s.keyIndex.emplace(fold(s.lines[i].key), i);
        }
    }

    void indexSections()
    {
        sectionIndex.clear();
        for (std::size_t i = 0; i < sections.size(); ++i) {
            if (!sections[i].preamble)
                sectionIndex.emplace(fold(sections[i].name), i);
        }
    }

    void parse(std::string_view bytes)
    {
        if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
            bytes.remove_prefix(3);
        sections.clear();
        sections.push_back(Section{true, {}, {}, {}});
        std::size_t pos = 0;
        while (pos < bytes.size()) {
            std::size_t end = bytes.find('\n', pos);
            if (end == std::string_view::npos)
                end = bytes.size();
            std::string_view raw = bytes.substr(pos, end - pos);
            pos = end + 1;
            if (!raw.empty() && raw.back() == '\r')
                raw.remove_suffix(1);
            addLine(decodeText(raw));
        }
        for (auto& s : sections)
            indexKeys(s);
        indexSections();
    }

    void addLine(std::string text)
    {
        const std::string_view t = trim(text);
        if (!t.empty() && t.front() == '[') {
            std::string_view name = t.substr(1);
            name = trim(name.substr(0, name.find(']')));
            Section s;
            s.name = std::string(name);
            s.lines.push_back(Line{std::move(text), false, {}, {}});
            sections.push_back(std::move(s));
            return;
        }
        Section& current = sections.back();
        Line line;
        const std::size_t eq = t.find('=');
        if (!current.preamble && eq != std::string_view::npos && t.front() != ';') {
            const std::string_view key = trim(t.substr(0, eq));
            if (!key.empty()) {
                line.isKey = true;
                line.key = std::string(key);
                const std::size_t rawEq = text.find('=');
                line.value = text.substr(rawEq + 1);
            }
        }
        line.text = std::move(text);
        current.lines.push_back(std::move(line));
    }

    std::string serialise() const
    {
        std::string out;
        for (const auto& s : sections) {
            for (const auto& l : s.lines) {
                out += l.text;
                out += "\r\n";
            }
        }
        return out;
    }

    const Section* find(std::string_view section) const
    {
        auto it = sectionIndex.find(fold(trim(section)));
        return it == sectionIndex.end() ? nullptr : &sections[it->second];
    }

    // Each key line of the section in file order, and whether it is the first of its key (the
    // one a read returns).
    template <class Each>
    void eachKeyLine(std::string_view section, Each each) const
    {
        const Section* s = find(section);
        if (!s)
            return;
        for (std::size_t i = 0; i < s->lines.size(); ++i) {
            if (!s->lines[i].isKey)
                continue;
            const auto it = s->keyIndex.find(fold(s->lines[i].key));
            each(s->lines[i], it != s->keyIndex.end() && it->second == i);
        }
    }

    const Line* find(std::string_view section, std::string_view key) const
    {
        const Section* s = find(section);
        if (!s)
            return nullptr;
        auto it = s->keyIndex.find(fold(trim(key)));
        return it == s->keyIndex.end() ? nullptr : &s->lines[it->second];
    }

    void set(std::string_view sectionName, std::string_view keyName, std::string value)
    {
        sectionName = trim(sectionName);
        keyName = trim(keyName);
        const std::string foldedSection = fold(sectionName);
        auto sit = sectionIndex.find(foldedSection);
        if (sit == sectionIndex.end()) {
            // A new section goes to the end of the file, after a blank separator line.
            Section& last = sections.back();
            if (!last.lines.empty() && !trim(last.lines.back().text).empty())
                last.lines.push_back(Line{});
            Section s;
            s.name = std::string(sectionName);
            s.lines.push_back(Line{"[" + s.name + "]", false, {}, {}});
            sections.push_back(std::move(s));
            sit = sectionIndex.emplace(foldedSection, sections.size() - 1).first;
        }
        Section& s = sections[sit->second];
        const std::string foldedKey = fold(keyName);
        auto kit = s.keyIndex.find(foldedKey);
        if (kit != s.keyIndex.end()) {
            Line& l = s.lines[kit->second];
            l.text = l.key + "=" + value;
            l.value = std::move(value);
            return;
        }
        // A new key goes after the section's last non-blank line, before the blank line that
        // separates it from the next section.
        std::size_t at = s.lines.size();
        while (at > 1 && trim(s.lines[at - 1].text).empty())
            --at;
        Line l;
        l.isKey = true;
        l.key = std::string(keyName);
        l.text = l.key + "=" + value;
        l.value = std::move(value);
        s.lines.insert(s.lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(l));
        // Only blank lines follow the insertion point, so no other key's index moved.
        s.keyIndex.emplace(foldedKey, at);
    }
};

IniFile::IniFile(std::string path, Mode mode)
    : m_path(std::move(path)), m_mode(mode), m_contents(std::make_shared<Contents>())
{
    std::string bytes;
    // A folder, a pipe, a device or a file past the bound is neither read nor replaced later:
    // rewriting it would lose what could not be read.
    if (readRegularFile(m_path, kMaxSettingsFileBytes, bytes, &m_readError) == FileRead::Refused)
        m_contents->unreadable = true;
    else
        m_readError.clear();
    m_contents->parse(bytes);
}

std::string IniFile::readString(std::string_view section, std::string_view key, std::string_view def) const
{
    const auto* line = m_contents->find(section, key);
    return line ? cleanValue(line->value) : std::string(def);
}

std::optional<std::string> IniFile::rawValue(std::string_view section, std::string_view key) const
{
    const auto* line = m_contents->find(section, key);
    if (!line)
        return std::nullopt;
    return line->value;
}

std::int32_t IniFile::readInteger(std::string_view section, std::string_view key, std::int32_t def) const
{
    const auto* line = m_contents->find(section, key);
    if (!line)
        return def;
    const std::string text = cleanValue(line->value);
    std::string_view s = text;
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    std::optional<std::int64_t> v;
    if (!s.empty() && s.front() == '$') {
        v = parseDigits(s.substr(1), 16);
    } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        v = parseDigits(s.substr(2), 16);
    } else {
        v = parseDigits(s, 10);
        // Decimal text must fit a signed 32-bit number; hexadecimal is a 32-bit pattern
        // ("$80000005" is a negative colour constant).
        if (v && *v > (negative ? 0x80000000LL : 0x7FFFFFFFLL))
            return def;
    }
    if (!v)
        return def;
    const auto bits = static_cast<std::uint32_t>(negative ? -*v : *v);
    return static_cast<std::int32_t>(bits);
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool def) const
{
    return readInteger(section, key, def ? 1 : 0) != 0;
}

double IniFile::readFloat(std::string_view section, std::string_view key, double def) const
{
    const auto* line = m_contents->find(section, key);
    if (!line)
        return def;
    std::string text = cleanValue(line->value);
    // Files written under a locale with a decimal comma are read as well as our own ".".
    std::replace(text.begin(), text.end(), ',', '.');
    std::string_view s = text;
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    double v = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
    if (s.empty() || ec != std::errc() || ptr != s.data() + s.size() || !std::isfinite(v))
        return def;
    return v;
}

std::size_t IniFile::readBinary(std::string_view section, std::string_view key, void* dst, std::size_t size) const
{
    const auto* line = m_contents->find(section, key);
    if (!line)
        return 0;
    return fromHex(cleanValue(line->value), dst, size);
}

bool IniFile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    if (!validSectionName(trim(section)) || !validKeyName(trim(key)))
        return false;
    m_contents->set(section, key, singleLine(value));
    m_contents->dirty = true;
    return store();
}

bool IniFile::writeInteger(std::string_view section, std::string_view key, std::int32_t value)
{
    return writeString(section, key, std::to_string(value));
}

bool IniFile::writeBool(std::string_view section, std::string_view key, bool value)
{
    return writeString(section, key, value ? "1" : "0");
}

bool IniFile::writeFloat(std::string_view section, std::string_view key, double value)
{
    if (!std::isfinite(value))
        return false;  // would read back as the default
    char buf[64];
    auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value);
    if (ec != std::errc())
        return false;
    return writeString(section, key, std::string_view(buf, static_cast<std::size_t>(ptr - buf)));
}

bool IniFile::writeBinary(std::string_view section, std::string_view key, const void* src, std::size_t size)
{
    return writeString(section, key, toHex(src, size));
}

bool IniFile::sectionExists(std::string_view section) const { return m_contents->find(section) != nullptr; }

bool IniFile::valueExists(std::string_view section, std::string_view key) const
{
    return m_contents->find(section, key) != nullptr;
}

std::vector<std::string> IniFile::sections() const
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < m_contents->sections.size(); ++i) {
        const auto& s = m_contents->sections[i];
        if (s.preamble)
            continue;
        // A section whose header appears twice is listed once, where it first appears.
        auto it = m_contents->sectionIndex.find(fold(s.name));
        if (it != m_contents->sectionIndex.end() && it->second == i)
            out.push_back(s.name);
    }
    return out;
}

std::vector<std::string> IniFile::keys(std::string_view section) const
{
    std::vector<std::string> out;
    for (auto& kv : sectionValues(section))
        out.push_back(std::move(kv.first));
    return out;
}

std::vector<std::pair<std::string, std::string>> IniFile::sectionValues(std::string_view section) const
{
    std::vector<std::pair<std::string, std::string>> out;
    // A repeated key is listed once, with its first value (the one a read returns).
    m_contents->eachKeyLine(section, [&out](const Contents::Line& l, bool first) {
        if (first)
            out.emplace_back(l.key, cleanValue(l.value));
    });
    return out;
}

std::vector<std::pair<std::string, std::string>> IniFile::repeatedKeys(std::string_view section) const
{
    std::vector<std::pair<std::string, std::string>> out;
    m_contents->eachKeyLine(section, [&out](const Contents::Line& l, bool first) {
        if (!first)
            out.emplace_back(l.key, l.value);
    });
    return out;
}

bool IniFile::eraseSection(std::string_view section)
{
    const std::string folded = fold(trim(section));
    auto& secs = m_contents->sections;
    const auto oldSize = secs.size();
    secs.erase(std::remove_if(secs.begin(), secs.end(),
                              [&](const Contents::Section& s) { return !s.preamble && fold(s.name) == folded; }),
               secs.end());
    if (secs.size() == oldSize)
        return true;
    m_contents->indexSections();
    m_contents->dirty = true;
    return store();
}

bool IniFile::deleteKey(std::string_view section, std::string_view key)
{
    auto it = m_contents->sectionIndex.find(fold(trim(section)));
    if (it == m_contents->sectionIndex.end())
        return true;
    auto& s = m_contents->sections[it->second];
    const std::string folded = fold(trim(key));
    const auto oldSize = s.lines.size();
    s.lines.erase(std::remove_if(s.lines.begin(), s.lines.end(),
                                 [&](const Contents::Line& l) { return l.isKey && fold(l.key) == folded; }),
                  s.lines.end());
    if (s.lines.size() == oldSize)
        return true;
    Contents::indexKeys(s);
    m_contents->dirty = true;
    return store();
}

bool IniFile::flush()
{
    if (!m_contents->dirty)
        return true;
    if (m_contents->unreadable) {
        // What could not be read is not replaced.
        m_error = m_readError;
        return false;
    }
    const std::string text = m_contents->serialise();
    if (!saveFile(m_path, text, &m_error, m_fileMode))
        return false;
    m_error.clear();
    m_contents->dirty = false;
    return true;
}

bool IniFile::store()
{
    if (m_mode == Mode::Buffered)
        return true;
    return flush();
}

}  // namespace platform
