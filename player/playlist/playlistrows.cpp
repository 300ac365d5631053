// Plain operations over playlist rows: names, totals, find, sort, shuffle, row shapes.
#include "player/playlist/playlistrows.h"

#include "media/tag.h"

#include <QCryptographicHash>
#include <QFileInfo>

#include <algorithm>
#include <filesystem>

namespace player {

namespace {

QString trimTag(const QString& text)
{
    QString t = text.left(text.indexOf(QChar(0)) < 0 ? text.size() : text.indexOf(QChar(0)));
    int b = 0;
    int e = t.size();
    while (b < e && t[b].unicode() < 33)
        ++b;
    while (e > b && t[e - 1].unicode() < 33)
        --e;
    return t.mid(b, e - b);
}

std::int64_t parseNumber(const QString& text)
{
    bool ok = false;
    const qlonglong v = text.toLongLong(&ok);
    return ok && v >= 0 ? v : 0;
}

}  // namespace

QString JoinArtistTitle(const QString& artist, const QString& title)
{
    const QString a = trimTag(artist);
    const QString t = trimTag(title);
    if (!a.isEmpty() && a[0] == QLatin1Char('~'))
        return a.mid(1, 30) + t;
    if (!a.isEmpty() && !t.isEmpty())
        return a + QStringLiteral(" - ") + t;
    if (a.isEmpty())
        return t;
    return a;
}

std::int64_t DurationTextSeconds(const QString& text)
{
    // The minutes are everything before the first ":", so "100:05" counts 100 minutes.
    const int colon = text.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return 0;
    const std::int64_t minutes = parseNumber(text.left(colon));
    const std::int64_t seconds = parseNumber(text.mid(colon + 1, 2));
    return minutes * 60 + seconds;
}

std::int64_t TotalSeconds(const std::vector<TVirtualItem>& rows)
{
    std::int64_t total = 0;
    for (const TVirtualItem& row : rows)
        total += DurationTextSeconds(row.SubItems[kColDuration]);
    return total;
}

QString SummaryLine(const QString& word, int count, std::int64_t totalSeconds)
{
    // FormatTimeLong takes int32 milliseconds: a total beyond its range is shown at its limit.
    const std::int64_t ms = std::min<std::int64_t>(totalSeconds * 1000, 2147483647);
    return QStringLiteral(" %1: %2 [%3]")
        .arg(word)
        .arg(count)
        .arg(QString::fromStdString(media::FormatTimeLong(static_cast<std::int32_t>(ms))));
}

int FindRow(const std::vector<TVirtualItem>& rows, int after, const QString& text)
{
    if (text.isEmpty())
        return -1;
    const QString needle = text.toLower();
    for (int i = std::max(after + 1, 0); i < static_cast<int>(rows.size()); ++i) {
        const TVirtualItem& r = rows[static_cast<std::size_t>(i)];
        const QString hay = (r.Caption + r.SubItems[kColName] + r.SubItems[kColDuration] + r.SubItems[kColPath]).toLower();
        if (hay.contains(needle))
            return i;
    }
    return -1;
}

int SortRows(std::vector<TVirtualItem>& rows, int header, int direction, int hlIndex)
{
    int col = -1;
    if (header == 2)
        col = kColName;
    else if (header == 3)
        col = kColDuration;
    else if (header == 4)
        col = kColPath;
    const int n = static_cast<int>(rows.size());
    if (col < 0 || n == 0)
        return hlIndex;
    std::vector<int> order(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        order[static_cast<std::size_t>(i)] = i;
    std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
        const int c = QString::localeAwareCompare(rows[static_cast<std::size_t>(x)].SubItems[col].toLower(),
                                                  rows[static_cast<std::size_t>(y)].SubItems[col].toLower());
        return c * direction < 0;
    });
    std::vector<TVirtualItem> sorted;
    sorted.reserve(rows.size());
    int newHl = -1;
    for (int i = 0; i < n; ++i) {
        const int old = order[static_cast<std::size_t>(i)];
        if (old == hlIndex)
            newHl = i;
        sorted.push_back(std::move(rows[static_cast<std::size_t>(old)]));
    }
    rows = std::move(sorted);
    return hlIndex >= 0 && hlIndex < n ? newHl : hlIndex;
}

int ShuffleRows(std::vector<TVirtualItem>& rows, std::mt19937& rng, int hlIndex)
{
    const int n = static_cast<int>(rows.size());
    if (n < 2)
        return hlIndex;
    std::uniform_int_distribution<int> pick(0, n - 1);
    int hl = hlIndex;
    for (int k = 0; k <= n; ++k) {
        const int i = pick(rng);
        const int j = pick(rng);
        if (i == j)
            continue;
        std::swap(rows[static_cast<std::size_t>(i)], rows[static_cast<std::size_t>(j)]);
        if (hl == i)
            hl = j;
        else if (hl == j)
            hl = i;
    }
    return hl;
}

TVirtualItem PlaylistRowInserted(const QString& path, std::int64_t totalSeconds)
{
    TVirtualItem row;
    row.SubItems[kColName] = QStringLiteral("PLAYLIST  ") + QFileInfo(path).fileName();
    const std::int64_t ms = std::clamp<std::int64_t>(totalSeconds * 1000, 0, 2147483647);
    row.SubItems[kColDuration] = QString::fromStdString(media::FormatTimeShort(static_cast<std::int32_t>(ms)));
    row.SubItems[kColPath] = path;
    return row;
}

TVirtualItem PlaylistRowAppended(const QString& path, std::int64_t totalSeconds)
{
    TVirtualItem row = PlaylistRowInserted(path, totalSeconds);
    row.Caption = QStringLiteral("??");
    row.SubItems[kColMarker] = QStringLiteral("PLAYLIST");
    row.SubItems[kColName] = QFileInfo(path).fileName();
    return row;
}

namespace {

// A notes file's name from the flattened path: names too long for the file system are shortened
// and kept apart by a hash of the whole name.
std::string notesFileFrom(const std::string& notesFolder, std::string name)
{
    constexpr std::size_t kNameMax = 255;  // bytes of one file name on the usual file systems
    if (name.size() + 4 > kNameMax) {
        const QByteArray hash =
            QCryptographicHash::hash(QByteArray::fromStdString(name), QCryptographicHash::Sha1).toHex();
        name = name.substr(0, kNameMax - 4 - 1 - static_cast<std::size_t>(hash.size())) + "~" + hash.toStdString();
    }
    return notesFolder + name + ".txt";
}

std::string canonicalTrackPath(const std::string& trackPath)
{
    std::error_code ec;
    const std::filesystem::path canon = std::filesystem::weakly_canonical(trackPath, ec);
    return ec ? trackPath : canon.string();
}

}  // namespace

std::string NotesFileName(const std::string& notesFolder, const std::string& trackPath)
{
    // "/" becomes "_"; the characters that could be taken for it ("_", and "\" and ":", which the
    // old names also turned into "_") and the escape itself are written as %XX, so that no two
    // paths share a name.
    std::string name;
    for (const char c : canonicalTrackPath(trackPath)) {
        switch (c) {
        case '/': name += '_'; break;
        case '_': name += "%5F"; break;
        case '\\': name += "%5C"; break;
        case ':': name += "%3A"; break;
        case '%': name += "%25"; break;
        default: name += c; break;
        }
    }
    return notesFileFrom(notesFolder, std::move(name));
}

std::string OldNotesFileName(const std::string& notesFolder, const std::string& trackPath)
{
    std::string name = canonicalTrackPath(trackPath);
    for (char& c : name)
        if (c == '/' || c == '\\' || c == ':')
            c = '_';
    return notesFileFrom(notesFolder, std::move(name));
}

}  // namespace player
