// The statistics of the base. Texts are compared as code page 1251 bytes folded to upper case, so
// a 100,000-record base sorts its years, genres and artists without a conversion per record.
#include "database/dialogs/statistics.h"

#include "database/recordtext.h"
#include "platform/cp1251.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace database {

namespace {


bool isBlank(unsigned char c) { return c <= ' '; }

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && isBlank(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

// One entry of a case-blind sorted list: the folded key and the text as it is shown.
struct Entry {
    std::string key;
    std::string text;
};

std::string mapped(std::string_view s, const std::array<unsigned char, 256>& table)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(table[static_cast<unsigned char>(c)]);
    return out;
}

// Sorted case-blind, with the entries that are empty after trimming dropped from the front.
bool sortedEntries(const std::vector<media::TTrackRecord>& records, Field field, bool lowerCase,
                   const std::atomic<bool>& stop, std::vector<Entry>& entries)
{
    entries.clear();
    entries.reserve(records.size());
    for (const media::TTrackRecord& r : records) {
        if (stop.load(std::memory_order_relaxed))
            return false;
        const std::string_view bytes = storedBytes(r, field);
        std::string text = lowerCase ? mapped(bytes, cp1251LowerTable()) : std::string(bytes);
        entries.push_back({mapped(text, cp1251UpperTable()), std::move(text)});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
    std::size_t first = 0;
    while (first < entries.size() && trimmed(entries[first].key).empty())
        ++first;
    entries.erase(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(first));
    return true;
}

// The most frequent entry: the longest run of equal neighbours, the first of equally long runs.
QString mostFrequent(const std::vector<Entry>& entries, const QString& unknown)
{
    if (entries.empty())
        return unknown;
    std::size_t bestAt = 0, bestRun = 0;
    for (std::size_t i = 0; i < entries.size();) {
        std::size_t j = i + 1;
        while (j < entries.size() && entries[j].key == entries[i].key)
            ++j;
        if (j - i > bestRun) {
            bestRun = j - i;
            bestAt = i;
        }
        i = j;
    }
    return QString::fromStdString(platform::cp1251ToUtf8(entries[bestAt].text));
}

std::size_t distinctCount(const std::vector<Entry>& entries)
{
    if (entries.empty())
        return 0;
    std::size_t count = 1;
    std::string_view last = trimmed(entries.front().key);
    for (std::size_t i = 1; i < entries.size(); ++i) {
        const std::string_view key = trimmed(entries[i].key);
        if (key != last) {
            ++count;
            last = key;
        }
    }
    return count;
}

QString fixed(const QLocale& locale, double value, int decimals)
{
    QLocale l = locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    return l.toString(value, 'f', decimals);
}

}  // namespace

int statFileType(std::string_view fileName)
{
    const std::size_t slash = fileName.rfind('/');
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return -1;
    std::string ext(fileName.substr(dot));
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    static constexpr std::array<std::string_view, kStatTypeCount> kExtensions = {".mp3", ".wav", ".wma", ".ogg"};
    for (int i = 0; i < kStatTypeCount; ++i)
        if (ext == kExtensions[static_cast<std::size_t>(i)])
            return i;
    return -1;
}

const char* statTypeName(int type)
{
    static constexpr std::array<const char*, kStatTypeCount> kNames = {"MP3", "WAV", "WMA", "Ogg"};
    return type >= 0 && type < kStatTypeCount ? kNames[static_cast<std::size_t>(type)] : "";
}

QString durationText(std::int64_t seconds, const StatWords& words)
{
    char time[64];
    std::snprintf(time, sizeof time, "%.2lld:%.2lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
    return QString::number(seconds) + " " + words.seconds + " (" + QString::fromLatin1(time) + " " + words.minutes +
           ")";
}

bool computeDurationsAndNames(const std::vector<media::TTrackRecord>& records, StatResults& out,
                              const std::atomic<bool>& stop, const StatWords& words)
{
    out.shortest.reset();
    out.longest.reset();
    std::int64_t sum = 0, unmeasured = 0, shortest = 0x0FFFFFFF, longest = 0;
    for (const media::TTrackRecord& r : records) {
        if (stop.load(std::memory_order_relaxed))
            return false;
        // A negative duration (a damaged base file) counts as not measured.
        const std::int64_t seconds = r.Duration > 0 ? r.Duration / 1000 : 0;
        if (seconds == 0)
            ++unmeasured;
        sum += seconds;
        if (longest < seconds) {
            longest = seconds;
            out.longest = r;
        }
        if (seconds < shortest && seconds != 0) {
            shortest = seconds;
            out.shortest = r;
        }
    }
    const auto n = static_cast<std::int64_t>(records.size());
    const std::int64_t average = unmeasured == n ? 0 : sum / (n - unmeasured);
    if (!out.shortest)
        shortest = 0;
    const QString star = unmeasured > 0 ? QStringLiteral(" *") : QString();
    out.texts[4] = durationText(shortest, words) + star;
    out.texts[5] = durationText(longest, words) + star;
    out.texts[6] = durationText(average, words) + star;

    if (records.empty()) {
        out.texts[8] = out.texts[9] = out.texts[12] = words.unknown;
        return true;
    }
    std::vector<Entry> entries;
    if (!sortedEntries(records, Field::Year, false, stop, entries))
        return false;
    out.texts[9] = mostFrequent(entries, words.unknown);
    if (!sortedEntries(records, Field::Genre, true, stop, entries))
        return false;
    out.texts[8] = mostFrequent(entries, words.unknown);
    if (!sortedEntries(records, Field::Artist, true, stop, entries))
        return false;
    out.texts[12] = QString::number(distinctCount(entries));
    return true;
}

bool computeSizes(const std::vector<media::TTrackRecord>& records, StatResults& out, const QLocale& locale,
                  const std::function<void(int percent)>& progress, const std::atomic<bool>& stop,
                  const StatWords& words)
{
    out.typeCounts.fill(0);
    out.counted = 0;
    double totalKb = 0;
    int lastPercent = -1;
    const std::size_t count = records.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (stop.load(std::memory_order_relaxed))
            return false;
        const int type = statFileType(storedBytes(records[i], Field::FileName));
        if (type >= 0)
            out.typeCounts[static_cast<std::size_t>(type)] += 1;
        totalKb += static_cast<std::uint32_t>(records[i].Size) / 1024.0;
        out.counted = i + 1;
        const int percent = static_cast<int>(i * 100 / count);
        if (percent != lastPercent && progress) {
            lastPercent = percent;
            progress(percent);
        }
    }
    out.texts[2] = locale.toString(totalKb, 'f', 0) + " " + words.kilobytes + " (" +
                   fixed(locale, totalKb / 1048576.0, 2) + " " + words.gigabytes + ")";
    return true;
}

QString typeShareText(int type, double sharePercent, const QLocale& locale)
{
    return QString::fromLatin1(statTypeName(type)) + ": " +
           fixed(locale, sharePercent, 3).rightJustified(6, QLatin1Char(' ')) + "%";
}

QString baseSizeText(std::size_t records, const QLocale& locale, const StatWords& words)
{
    return fixed(locale, static_cast<double>(records) * sizeof(media::TTrackRecord) / 1024.0, 2) + " " +
           words.kilobytes;
}

std::string trackInformation(const media::TTrackRecord& track)
{
    auto field = [&](Field f) {
        const std::string_view bytes = trimmed(storedBytes(track, f));
        return f == Field::FileName ? std::string(bytes) : platform::cp1251ToUtf8(bytes);
    };
    const std::int64_t ms = track.Duration;
    char time[96];
    std::snprintf(time, sizeof time, "%lld sec (%.2lld:%.2lld min)", static_cast<long long>(ms / 1000),
                  static_cast<long long>(ms / 60000), static_cast<long long>((ms / 1000) % 60));
    return "Title: " + field(Field::Title) + "\r\nArtist: " + field(Field::Artist) + "\r\nAlbum: " +
           field(Field::Album) + "\r\nYear: " + field(Field::Year) + "\r\nGenre: " + field(Field::Genre) +
           "\r\nComment: " + field(Field::Comment) + "\r\nTime: " + time + "\r\nFilename: " + field(Field::FileName);
}

}  // namespace database
