// Language folders and their files.
#include "player/language/langfiles.h"

#include "platform/cp1251.h"
#include "platform/direntries.h"
#include "platform/programfolder.h"
#include "platform/regularfile.h"

#include <QString>

#include <algorithm>

namespace player {

namespace {

constexpr std::size_t kMaxNameLine = 4096;

std::string firstLine(const std::string& path)
{
    platform::RegularFile file;
    std::string line(kMaxNameLine, '\0');
    const std::int64_t got = file.open(path) ? file.read(line.data(), line.size()) : -1;
    line.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    line.resize(std::min(line.size(), line.find_first_of("\r\n")));
    // A name file saved with a byte-order mark still names the language.
    if (line.rfind("\xEF\xBB\xBF", 0) == 0)
        line.erase(0, 3);
    return platform::decodeText(line);
}

}  // namespace

std::string LanguageFile(const std::string& langDir)
{
    return platform::programPath("Lang/" + platform::toSlashes(langDir) + "/lang.ini");
}

std::vector<InstalledLanguage> InstalledLanguages()
{
    const std::string root = platform::programPath("Lang");
    std::vector<platform::DirEntry> entries;
    std::vector<InstalledLanguage> languages;
    if (!platform::readDirectory(root, entries))
        return languages;
    for (const platform::DirEntry& e : entries)
        if (e.attributes & platform::kAttrDirectory)
            languages.push_back({e.name, firstLine(root + "/" + e.name + "/name")});
    std::sort(languages.begin(), languages.end(), [](const InstalledLanguage& a, const InstalledLanguage& b) {
        return QString::fromStdString(a.folder).compare(QString::fromStdString(b.folder), Qt::CaseInsensitive) < 0;
    });
    return languages;
}

}  // namespace player
