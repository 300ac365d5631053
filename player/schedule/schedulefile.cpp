// Reading and writing schedule files.
#include "player/schedule/schedulefile.h"

#include "platform/inifile.h"

#include <filesystem>

namespace player {

namespace {

constexpr const char* kSection = "Schedule";
constexpr const char* kDateFormat = "yyyy-MM-dd";
constexpr const char* kTimeFormat = "HH:mm:ss";

std::string key(const char* name, int n)
{
    return name + std::to_string(n);
}

}  // namespace

std::vector<ScheduleEntry> readScheduleFile(const std::string& path)
{
    std::vector<ScheduleEntry> entries;
    const platform::IniFile ini(path);
    for (int n = 1; n <= kMaxScheduleFileEntries; ++n) {
        if (!ini.valueExists(kSection, key("File", n)))
            break;
        ScheduleEntry e;
        e.path = QString::fromStdString(ini.readString(kSection, key("File", n), ""));
        e.date = QDate::fromString(QString::fromStdString(ini.readString(kSection, key("Date", n), "")),
                                   QString::fromLatin1(kDateFormat));
        e.time = QTime::fromString(QString::fromStdString(ini.readString(kSection, key("Time", n), "")),
                                   QString::fromLatin1(kTimeFormat));
        if (!e.path.isEmpty() && e.date.isValid() && e.time.isValid())
            entries.push_back(std::move(e));
    }
    return entries;
}

bool writeScheduleFile(const std::string& path, const std::vector<ScheduleEntry>& entries)
{
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder, ec);
    platform::IniFile file(path, platform::IniFile::Mode::Buffered);
    file.eraseSection(kSection);  // no entry of an older, longer list survives
    int n = 0;
    for (const ScheduleEntry& e : entries) {
        ++n;
        file.writeString(kSection, key("Date", n), e.date.toString(QString::fromLatin1(kDateFormat)).toStdString());
        file.writeString(kSection, key("Time", n), e.time.toString(QString::fromLatin1(kTimeFormat)).toStdString());
        file.writeString(kSection, key("File", n), e.path.toStdString());
    }
    return file.flush();
}

std::string profileScheduleFile(const std::string& programFolder, const std::string& profilePath)
{
    std::string name = std::filesystem::path(profilePath).filename().string();
    name.resize(name.size() > 4 ? name.size() - 4 : 0);
    std::string folder = programFolder;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder + "Presets/Schedule/" + name + ".sdl";
}

}  // namespace player
