// The schedule file (".sdl"): the entries of a schedule, kept beside a profile and offered by the
// schedule dialog's "Загрузить" and "Сохранить". An ini file:
//   [Schedule]
//   Date1=2024-05-01   (yyyy-MM-dd; dd.MM.yyyy as the dialog shows it is read too)
//   Time1=08:00:00     (HH:mm:ss; HH:mm is read too)
//   File1=/music/news.m3u
// and so on, numbered from 1. A file edited by hand may leave numbers out; the entries are taken
// in the order of their numbers.
#pragma once

#include "player/schedule/schedule.h"

#include <string>
#include <utility>
#include <vector>

namespace player {

// More entries than this are not put into the schedule (they stay in the file).
constexpr int kMaxScheduleFileEntries = 10000;

// What a file holds besides the entries that could be read, as the file holds it, so that writing
// the file again loses nothing the operator did not remove: entries whose date, time or file could
// not be read, a number's second date, time or file (File3 and File03, or File8 twice: the first
// is read), and keys of the section that name no entry.
struct ScheduleFileRest {
    struct Entry {
        int number = 0;  // in the file it came from
        std::vector<std::pair<std::string, std::string>> values;  // "Date", "Time", "File" as held
    };
    std::vector<Entry> unread;
    std::vector<std::pair<std::string, std::string>> otherKeys;
};

struct ScheduleFile {
    std::vector<ScheduleEntry> entries;  // in the order of their numbers
    ScheduleFileRest rest;
};

// A missing or unreadable file holds nothing.
ScheduleFile readScheduleFile(const std::string& path);
// Replaces the file (written whole, then renamed into place): the entries numbered from 1, then
// the rest of a file as it was read. False, with the reason in error, when it could not be written.
bool writeScheduleFile(const std::string& path, const std::vector<ScheduleEntry>& entries,
                       const ScheduleFileRest& rest = {}, std::string* error = nullptr);

// For the operator: which entries of the file at path could not be read; empty when all could.
std::string unreadScheduleEntriesText(const std::string& path, const ScheduleFileRest& rest);

// The schedule file of a profile: programFolder + "Presets/Schedule/" + the profile's file name
// without its last four characters + ".sdl".
std::string profileScheduleFile(const std::string& programFolder, const std::string& profilePath);

}  // namespace player
