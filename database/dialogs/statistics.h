// The figures of the statistics window, computed from a copy of the base: shortest, longest and
// average track, the most frequent year and genre, the number of artists, the file sizes and the
// shares of the four file types. Plain functions, so the worker thread and the tests call the same
// code; every loop polls the stop request between records.
#pragma once

#include "media/records.h"

#include <QLocale>
#include <QString>

#include <array>
#include <atomic>
#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace database {

// File types in the order of the counters and the chart: ".mp3", ".wav", ".wma", ".ogg".
inline constexpr int kStatTypeCount = 4;
// The type of a file name by its lower-cased extension; -1 for any other.
int statFileType(std::string_view fileName);
// "MP3", "WAV", "WMA", "Ogg".
const char* statTypeName(int type);
// The chart colours, 0x00BBGGRR: blue, magenta, orange, green.
inline constexpr std::array<std::uint32_t, kStatTypeCount> kStatTypeColors = {0xFF0000, 0xFF00FF, 0x3399FF,
                                                                              0x40FF00};

// The words the figures are written with, in the program's language.
struct StatWords {
    QString seconds = QStringLiteral("sec");
    QString minutes = QStringLiteral("min");
    QString kilobytes = QStringLiteral("KB");
    QString gigabytes = QStringLiteral("GB");
    QString unknown = QStringLiteral("<unknown>");  // no year, genre or artist to count
    QString waiting = QStringLiteral("<wait>");     // the file sizes, until they are counted
};

struct StatResults {
    // Of the thirteen texts: 2 file sizes, 4 shortest, 5 longest, 6 average, 8 genre, 9 year,
    // 12 artist count; the others stay empty.
    std::array<QString, 13> texts;
    // Copies of the shortest and longest measured track; none until one is found.
    std::optional<media::TTrackRecord> shortest;
    std::optional<media::TTrackRecord> longest;
    std::array<double, kStatTypeCount> typeCounts{};
    std::size_t counted = 0;  // records whose sizes were added
};

// "%d sec (%.2d:%.2d min)".
QString durationText(std::int64_t seconds, const StatWords& words = {});

// Durations, years, genres and artists (texts 4, 5, 6, 8, 9, 12). False when stopped part way.
bool computeDurationsAndNames(const std::vector<media::TTrackRecord>& records, StatResults& out,
                              const std::atomic<bool>& stop, const StatWords& words = {});

// Type counters and the total size (text 2, "%.0n KB (%.2f GB)" in the locale's separators).
// progress receives the percentage done whenever it changes. False when stopped part way.
bool computeSizes(const std::vector<media::TTrackRecord>& records, StatResults& out, const QLocale& locale,
                  const std::function<void(int percent)>& progress, const std::atomic<bool>& stop,
                  const StatWords& words = {});

// "%s: %6.3f%%" with the type's name and its share in percent.
QString typeShareText(int type, double sharePercent, const QLocale& locale);
// "%.2f KB" of the base's size in memory and on disk (424 bytes a record).
QString baseSizeText(std::size_t records, const QLocale& locale, const StatWords& words = {});

// The text of the track information box: every field trimmed, the time in seconds and minutes.
std::string trackInformation(const media::TTrackRecord& track);

}  // namespace database
