// Reading and writing schedule files.
#include "player/schedule/schedulefile.h"

#include "platform/inifile.h"
#include "platform/pathtext.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <map>
#include <optional>
#include <string_view>

namespace player {

namespace {

constexpr const char* kSection = "Schedule";
constexpr const char* kDateFormat = "yyyy-MM-dd";
constexpr const char* kTimeFormat = "HH:mm:ss";
// Also read: the date as the dialog shows it, and a time without seconds.
constexpr const char* kDialogDateFormat = "d.M.yyyy";
constexpr const char* kShortTimeFormat = "H:mm";
constexpr std::array kFields{"Date", "Time", "File"};
// So many unread entries are named to the operator, each value up to so many characters.
constexpr std::size_t kNamedUnread = 10;
constexpr int kShownValueChars = 100;

std::string key(const char* name, int n)
{
    return name + std::to_string(n);
}

// "File12" -> field 2, number 12; nothing for a key that names no entry.
std::optional<std::pair<std::size_t, int>> entryKey(const std::string& k)
{
    for (std::size_t f = 0; f < kFields.size(); ++f) {
        const std::string_view field = kFields[f];
        if (k.size() <= field.size() || k.size() > field.size() + 9 ||
            QString::fromStdString(k.substr(0, field.size())).compare(QLatin1String(field), Qt::CaseInsensitive) != 0)
            continue;
        int n = 0;
        const char* first = k.data() + field.size();
        const char* last = k.data() + k.size();
        const auto [end, ec] = std::from_chars(first, last, n);
        if (ec == std::errc() && end == last && *first != '+' && *first != '-' && n > 0)
            return std::pair{f, n};
    }
    return std::nullopt;
}

QDate parseDate(const std::string& text)
{
    const QString t = QString::fromStdString(text);
    const QDate date = QDate::fromString(t, QString::fromLatin1(kDateFormat));
    return date.isValid() ? date : QDate::fromString(t, QString::fromLatin1(kDialogDateFormat));
}

QTime parseTime(const std::string& text)
{
    const QString t = QString::fromStdString(text);
    const QTime time = QTime::fromString(t, QString::fromLatin1(kTimeFormat));
    return time.isValid() ? time : QTime::fromString(t, QString::fromLatin1(kShortTimeFormat));
}

}  // namespace

ScheduleFile readScheduleFile(const std::string& path)
{
    const platform::IniFile ini(path);
    ScheduleFile file;
    // The keys of each number's date, time and file, in number order.
    std::map<int, std::array<std::string, kFields.size()>> numbered;
    // A field that a number has twice (File3 and File03, or File8 twice): the first is read, the
    // others are kept as they stand, as entries of that number that are not read.
    using Held = std::array<std::optional<std::string>, kFields.size()>;
    std::map<int, std::vector<Held>> again;
    const auto holdAgain = [&again](std::pair<std::size_t, int> field, std::string value) {
        std::vector<Held>& held = again[field.second];
        auto free = std::find_if(held.begin(), held.end(), [&](const Held& h) { return !h[field.first]; });
        if (free == held.end())
            free = held.insert(held.end(), Held{});
        (*free)[field.first] = std::move(value);
    };
    for (const std::string& k : ini.keys(kSection)) {
        if (const auto field = entryKey(k)) {
            std::string& slot = numbered[field->second][field->first];
            if (slot.empty())
                slot = k;
            else
                holdAgain(*field, ini.rawValue(kSection, k).value_or(""));
        } else {
            file.rest.otherKeys.emplace_back(k, ini.rawValue(kSection, k).value_or(""));
        }
    }
    for (auto& [k, value] : ini.repeatedKeys(kSection)) {
        if (const auto field = entryKey(k))
            holdAgain(*field, std::move(value));
    }
    for (const auto& numberedKeys : numbered) {
        const int n = numberedKeys.first;
        const std::array<std::string, kFields.size()>& keys = numberedKeys.second;
        const auto value = [&](std::size_t f) {
            return keys[f].empty() ? std::string() : ini.readString(kSection, keys[f], "");
        };
        ScheduleEntry e;
        if (static_cast<int>(file.entries.size()) < kMaxScheduleFileEntries) {
            e.date = parseDate(value(0));
            e.time = parseTime(value(1));
            e.path = QString::fromStdString(value(2));
        }
        if (!e.path.isEmpty() && e.date.isValid() && e.time.isValid()) {
            file.entries.push_back(std::move(e));
        } else {
            ScheduleFileRest::Entry unread{n, {}};
            for (std::size_t f = 0; f < kFields.size(); ++f) {
                if (!keys[f].empty())
                    unread.values.emplace_back(kFields[f], ini.rawValue(kSection, keys[f]).value_or(""));
            }
            file.rest.unread.push_back(std::move(unread));
        }
        const auto held = again.find(n);
        if (held == again.end())
            continue;
        for (Held& h : held->second) {
            ScheduleFileRest::Entry unread{n, {}};
            for (std::size_t f = 0; f < kFields.size(); ++f) {
                if (h[f])
                    unread.values.emplace_back(kFields[f], std::move(*h[f]));
            }
            file.rest.unread.push_back(std::move(unread));
        }
    }
    return file;
}

bool writeScheduleFile(const std::string& path, const std::vector<ScheduleEntry>& entries, const ScheduleFileRest& rest,
                       std::string* error)
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
        file.writeString(kSection, key("File", n), platform::pathBytes(e.path));
    }
    // What could not be read follows, numbered on, its values untouched.
    for (const ScheduleFileRest::Entry& unread : rest.unread) {
        ++n;
        for (const auto& [field, value] : unread.values)
            file.writeString(kSection, field + std::to_string(n), value);
    }
    for (const auto& [k, value] : rest.otherKeys)
        file.writeString(kSection, k, value);
    if (file.flush())
        return true;
    if (error != nullptr)
        *error = file.lastError();
    return false;
}

std::string unreadScheduleEntriesText(const std::string& path, const ScheduleFileRest& rest)
{
    if (rest.unread.empty())
        return {};
    std::string text = "Расписание " + path + ": записи не распознаны и оставлены в файле как есть (" +
                       std::to_string(rest.unread.size()) + "):";
    for (std::size_t i = 0; i < rest.unread.size() && i < kNamedUnread; ++i) {
        const ScheduleFileRest::Entry& e = rest.unread[i];
        text += "\r\n" + std::to_string(e.number) + ":";
        for (const auto& [field, value] : e.values)
            text += " " + field + "=" + QString::fromStdString(value).left(kShownValueChars).toStdString();
    }
    if (rest.unread.size() > kNamedUnread)
        text += "\r\n...";
    return text;
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
