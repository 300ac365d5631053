// The schedule file (".sdl"): the entries of a schedule, kept beside a profile and offered by the
// schedule dialog's "Загрузить" and "Сохранить". An ini file:
//   [Schedule]
//   Date1=2024-05-01   (yyyy-MM-dd)
//   Time1=08:00:00     (HH:mm:ss)
//   File1=/music/news.m3u
// and so on, numbered from 1 without gaps; the first number without a File ends the list.
#pragma once

#include "player/schedule/schedule.h"

#include <string>
#include <vector>

namespace player {

// More entries than this are not read from a file.
constexpr int kMaxScheduleFileEntries = 10000;

// The entries of the file; a missing or unreadable file has none, and an entry whose date, time or
// file cannot be read is left out.
std::vector<ScheduleEntry> readScheduleFile(const std::string& path);
// Replaces the file (written whole, then renamed into place). False when it could not be written.
bool writeScheduleFile(const std::string& path, const std::vector<ScheduleEntry>& entries);

// The schedule file of a profile: programFolder + "Presets/Schedule/" + the profile's file name
// without its last four characters + ".sdl".
std::string profileScheduleFile(const std::string& programFolder, const std::string& profilePath);

}  // namespace player
