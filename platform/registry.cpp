// The registry stand-in: one ini file, a section per key ("HKEY_CURRENT_USER\Software\X"), a typed
// value per line. Every change re-reads the file under an exclusive lock and writes it back
// atomically, so two programs saving at once never lose each other's values.
#include "platform/registry.h"

#include "platform/cp1251.h"
#include "platform/hexrecord.h"
#include "platform/inifile.h"

#include <QStandardPaths>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <mutex>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr std::size_t kMaxStoredLength = IniFile::kMaxValueLength - 4;

const char* rootName(RegistryRoot root)
{
    switch (root) {
    case RegistryRoot::LocalMachine:
        return "HKEY_LOCAL_MACHINE";
    case RegistryRoot::ClassesRoot:
        return "HKEY_CLASSES_ROOT";
    default:
        return "HKEY_CURRENT_USER";
    }
}

// "Software/X\\Y\\" -> "ROOT\Software\X\Y"; nullopt for a name no section could hold.
std::optional<std::string> sectionOf(RegistryRoot root, std::string_view key)
{
    std::string out = rootName(root);
    std::size_t pos = 0;
    while (pos <= key.size()) {
        std::size_t end = key.find_first_of("\\/", pos);
        if (end == std::string_view::npos)
            end = key.size();
        const std::string_view part = key.substr(pos, end - pos);
        if (!part.empty()) {
            // The store reads a line that is not UTF-8 as code page 1251: such a key could be
            // written but never found again.
            if (part.find_first_of("]\r\n") != std::string_view::npos || !isValidUtf8(part))
                return std::nullopt;
            out += '\\';
            out += part;
        }
        pos = end + 1;
    }
    return out;
}

bool isRootSection(const std::string& section) { return section.find('\\') == std::string::npos; }

void appendEscaped(std::string& out, char c)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += '%';
    out += kDigits[static_cast<unsigned char>(c) >> 4];
    out += kDigits[static_cast<unsigned char>(c) & 0x0F];
}

// Value names and string values may hold anything; what an ini line cannot hold is escaped. Bytes
// that are not UTF-8 (a path as the file system gave it) are escaped too: the store would read
// them back as code page 1251 text.
std::string escape(std::string_view s, bool name)
{
    const bool utf8 = isValidUtf8(s);
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        const auto byte = static_cast<unsigned char>(c);
        const bool edgeBlank = (c == ' ' || c == '\t') && (i == 0 || i + 1 == s.size());
        if (c == '%' || byte < 0x20 || c == 0x7F || (!utf8 && byte >= 0x80) || (name && (c == '=' || edgeBlank)))
            appendEscaped(out, c);
        else
            out += c;
    }
    return out;
}

std::string unescape(std::string_view s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            unsigned char b = 0;
            if (fromHex(s.substr(i + 1, 2), &b, 1) == 1) {
                out += static_cast<char>(b);
                i += 2;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

// Every name gets a leading "@" so that the empty (default) name and names starting with "[" or
// ";" are still keys of the ini file.
std::string keyOf(std::string_view name)
{
    std::string key = "@";  // not "@" + temporary: GCC 12 warns falsely (-Wrestrict) on that
    key += escape(name, true);
    return key;
}

std::mutex g_mutex;  // threads of one process; the file lock orders the processes

class StoreLock {
public:
    explicit StoreLock(const std::string& path) : m_guard(g_mutex)
    {
        // A folder made here is the user's alone, like the store in it.
        const std::filesystem::path folder = std::filesystem::path(path).parent_path();
        std::error_code ec;
        if (!folder.empty() && !std::filesystem::exists(folder, ec)) {
            std::filesystem::create_directories(folder.parent_path(), ec);
            ::mkdir(folder.c_str(), 0700);
        }
        m_fd = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd >= 0 && ::flock(m_fd, LOCK_EX) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~StoreLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);  // releases the lock
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
    bool locked() const { return m_fd >= 0; }

private:
    std::lock_guard<std::mutex> m_guard;
    int m_fd = -1;
};

// Reads the stored text of a value ("s:...", "i:...", "b:...").
std::optional<std::string> readRaw(RegistryRoot root, std::string_view key, std::string_view name)
{
    const auto section = sectionOf(root, key);
    if (!section)
        return std::nullopt;
    const IniFile ini(Registry::storePath());
    const std::string k = keyOf(name);
    if (!ini.valueExists(*section, k))
        return std::nullopt;
    return ini.readString(*section, k, "");
}

// Applies one change to the freshly read store and writes it back, all under the lock.
template <typename Change>
bool modify(Change change)
{
    const std::string path = Registry::storePath();
    StoreLock lock(path);
    if (!lock.locked())
        return false;
    IniFile ini(path, IniFile::Mode::Buffered);
    // Window positions, file types and paths of the user's: nobody else reads them.
    ini.setFileMode(0600);
    if (!change(ini))
        return false;
    return ini.flush();
}

bool writeRaw(RegistryRoot root, std::string_view key, std::string_view name, const std::string& stored)
{
    const auto section = sectionOf(root, key);
    if (!section || isRootSection(*section) || stored.size() > kMaxStoredLength)
        return false;
    // Quoted, so that blanks at the ends of a string value survive the reading rules.
    const std::string value = "\"" + stored + "\"";
    return modify([&](IniFile& ini) { return ini.writeString(*section, keyOf(name), value); });
}

bool hasPrefixFolded(const std::string& s, const std::string& prefix)
{
    if (s.size() < prefix.size())
        return false;
    const QString a = QString::fromStdString(s.substr(0, prefix.size())).toCaseFolded();
    const QString b = QString::fromStdString(prefix).toCaseFolded();
    return a == b;
}

}  // namespace

std::string Registry::storePath()
{
    const char* env = std::getenv("QUORVALEN_REGISTRY_FILE");
    if (env && *env)
        return env;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString() +
           "/quorvalen/registry.ini";
}

std::optional<std::string> Registry::readString(RegistryRoot root, std::string_view key, std::string_view name)
{
    const auto raw = readRaw(root, key, name);
    if (!raw || raw->rfind("s:", 0) != 0)
        return std::nullopt;
    return unescape(std::string_view(*raw).substr(2));
}

std::optional<std::int64_t> Registry::readInteger(RegistryRoot root, std::string_view key, std::string_view name)
{
    const auto raw = readRaw(root, key, name);
    if (!raw || raw->rfind("i:", 0) != 0)
        return std::nullopt;
    std::int64_t v = 0;
    const char* first = raw->data() + 2;
    const char* last = raw->data() + raw->size();
    auto [ptr, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || ptr != last)
        return std::nullopt;
    return v;
}

std::optional<std::vector<std::uint8_t>> Registry::readBinary(RegistryRoot root, std::string_view key,
                                                              std::string_view name)
{
    const auto raw = readRaw(root, key, name);
    if (!raw || raw->rfind("b:", 0) != 0)
        return std::nullopt;
    const std::string_view hex = std::string_view(*raw).substr(2);
    std::vector<std::uint8_t> out(hex.size() / 2);
    if (fromHex(hex, out.data(), out.size()) != out.size() || hex.size() % 2 != 0)
        return std::nullopt;  // a damaged value is not half a value
    return out;
}

bool Registry::writeString(RegistryRoot root, std::string_view key, std::string_view name, std::string_view value)
{
    return writeRaw(root, key, name, "s:" + escape(value, false));
}

bool Registry::writeInteger(RegistryRoot root, std::string_view key, std::string_view name, std::int64_t value)
{
    return writeRaw(root, key, name, "i:" + std::to_string(value));
}

bool Registry::writeBinary(RegistryRoot root, std::string_view key, std::string_view name,
                           const std::vector<std::uint8_t>& value)
{
    return writeRaw(root, key, name, "b:" + toHex(value.data(), value.size()));
}

bool Registry::keyExists(RegistryRoot root, std::string_view key)
{
    const auto section = sectionOf(root, key);
    if (!section)
        return false;
    if (isRootSection(*section))
        return true;
    const IniFile ini(storePath());
    if (ini.sectionExists(*section))
        return true;
    // A key that only holds subkeys exists too.
    const std::string prefix = *section + "\\";
    for (const auto& s : ini.sections()) {
        if (hasPrefixFolded(s, prefix))
            return true;
    }
    return false;
}

bool Registry::deleteValue(RegistryRoot root, std::string_view key, std::string_view name)
{
    const auto section = sectionOf(root, key);
    if (!section)
        return false;
    return modify([&](IniFile& ini) { return ini.deleteKey(*section, keyOf(name)); });
}

bool Registry::deleteKey(RegistryRoot root, std::string_view key)
{
    const auto section = sectionOf(root, key);
    if (!section || isRootSection(*section))
        return false;
    const std::string prefix = *section + "\\";
    return modify([&](IniFile& ini) {
        bool ok = ini.eraseSection(*section);
        for (const auto& s : ini.sections()) {
            if (hasPrefixFolded(s, prefix))
                ok = ini.eraseSection(s) && ok;
        }
        return ok;
    });
}

std::vector<std::string> Registry::subKeys(RegistryRoot root, std::string_view key)
{
    std::vector<std::string> out;
    const auto section = sectionOf(root, key);
    if (!section)
        return out;
    const std::string prefix = *section + "\\";
    std::vector<QString> seen;
    const IniFile ini(storePath());
    for (const auto& s : ini.sections()) {
        if (!hasPrefixFolded(s, prefix))
            continue;
        const std::string rest = s.substr(prefix.size());
        const std::string child = rest.substr(0, rest.find('\\'));
        const QString folded = QString::fromStdString(child).toCaseFolded();
        if (child.empty() || std::find(seen.begin(), seen.end(), folded) != seen.end())
            continue;
        seen.push_back(folded);
        out.push_back(child);
    }
    return out;
}

}  // namespace platform
