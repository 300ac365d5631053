// Language folders and their files.
#include "player/language/langfiles.h"

#include "platform/cp1251.h"
#include "platform/direntries.h"
#include "platform/programfolder.h"

#include <QFile>
#include <QFileInfo>
#include <QString>

#include <algorithm>

namespace player {

namespace {

constexpr qint64 kMaxNameLine = 4096;

std::string firstLine(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    std::string line = file.readLine(kMaxNameLine).toStdString();
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
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
