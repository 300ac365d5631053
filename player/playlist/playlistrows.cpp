// Plain operations over playlist rows: names, totals, find, sort, shuffle, row shapes.
#include "player/playlist/playlistrows.h"

#include "media/tag.h"

#include <QCollator>
#include <QCryptographicHash>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <thread>

#include <sys/stat.h>

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

std::int64_t parseNumber(QStringView text)
{
    // Plain digits (every duration the player writes) are read directly; anything else goes
    // through the full number parser.
    if (!text.isEmpty() && text.size() <= 9 &&
        std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; })) {
        std::int64_t v = 0;
        for (QChar c : text)
            v = v * 10 + (c.unicode() - u'0');
        return v;
    }
    bool ok = false;
    const qlonglong v = text.toLongLong(&ok);
    return ok && v >= 0 ? v : 0;
}

// Appends text in lower case exactly as QString::toLower gives it. Characters of the first
// scripts (Latin, Greek, Cyrillic) that lower to one character go through a table made from
// toLower itself; the rest of a text from any other character on goes through toLower, which
// lowers each character on its own, so the two parts join to the same text.
void appendLower(QString& out, QStringView text)
{
    constexpr char16_t kTableSize = 0x460;
    static const std::array<char16_t, kTableSize> lower = [] {
        std::array<char16_t, kTableSize> table{};
        for (char16_t c = 0; c < kTableSize; ++c) {
            const QString one = QString(QChar(c)).toLower();
            table[c] = one.size() == 1 && c != 0 ? one[0].unicode() : 0;  // 0: not by the table
        }
        return table;
    }();
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char16_t* to = reinterpret_cast<char16_t*>(out.data()) + start;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const char16_t l = c < kTableSize ? lower[c] : 0;
        if (l == 0) {
            out.resize(start + i);
            out.append(text.mid(i).toString().toLower());
            return;
        }
        to[i] = l;
    }
}

QString lowerText(QStringView text)
{
    QString out;
    appendLower(out, text);
    return out;
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
    // The minutes are everything before the first ":", so "100:05" counts 100 minutes. The texts
    // are short: a plain walk finds the colon faster than a general search.
    const QStringView view(text);
    qsizetype colon = 0;
    while (colon < view.size() && view[colon] != u':')
        ++colon;
    if (colon == view.size())
        return 0;
    const std::int64_t minutes = parseNumber(view.left(colon));
    const std::int64_t seconds = parseNumber(view.mid(colon + 1, 2));
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
    QString hay;  // one buffer for every row
    for (int i = std::max(after + 1, 0); i < static_cast<int>(rows.size()); ++i) {
        const TVirtualItem& r = rows[static_cast<std::size_t>(i)];
        hay.resize(0);
        for (const QString* field : {&r.Caption, &r.SubItems[kColName], &r.SubItems[kColDuration], &r.SubItems[kColPath]})
            appendLower(hay, *field);
        if (hay.contains(needle))
            return i;
    }
    return -1;
}

namespace {

// Runs work(0) .. work(count - 1) side by side, all but the last on threads of their own, and
// returns when every one is done. A thread that cannot be had runs its work here.
template <typename Work>
void sideBySide(int count, const Work& work)
{
    std::vector<std::thread> threads;
    for (int k = 0; k + 1 < count; ++k) {
        try {
            threads.emplace_back([&work, k] { work(k); });
        } catch (const std::system_error&) {
            work(k);
        }
    }
    if (count > 0)
        work(count - 1);
    for (std::thread& t : threads)
        t.join();
}

}  // namespace

std::vector<int> SortOrder(const std::vector<TVirtualItem>& rows, int header, int direction)
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
        return {};
    // Each text is lower-cased once. Under a real collation each also gets its collation key, so
    // that most comparisons are byte comparisons of keys; keys order texts as the locale's
    // comparison does, and where two keys are equal the comparison itself decides. The
    // comparison is the collator's own, as localeAwareCompare makes it, without looking the
    // collator up for every pair.
    const QLocale locale = QCollator().locale();
    const bool keyed = locale.language() != QLocale::C;
    // A long list is keyed and sorted in slices side by side, each with a collator of its own,
    // and the sorted slices are merged, pairs side by side too; each step keeps the order of
    // equal rows, so the result is that of one stable sort.
    constexpr int kRowsPerSlice = 16384;
    const int slices = std::clamp(std::min(static_cast<int>(std::thread::hardware_concurrency()), n / kRowsPerSlice), 1, 4);
    std::vector<int> bounds(static_cast<std::size_t>(slices) + 1);
    for (int s = 0; s <= slices; ++s)
        bounds[static_cast<std::size_t>(s)] = static_cast<int>(static_cast<std::int64_t>(n) * s / slices);
    std::vector<QString> texts(rows.size());
    std::vector<std::vector<QCollatorSortKey>> keys(static_cast<std::size_t>(slices));
    auto keyOf = [&](int i) -> const QCollatorSortKey& {
        std::size_t s = 0;
        while (i >= bounds[s + 1])
            ++s;
        return keys[s][static_cast<std::size_t>(i - bounds[s])];
    };
    auto less = [&](const QCollator& by) {
        return [&by, &texts, &keyOf, keyed, direction](int x, int y) {
            const QString& a = texts[static_cast<std::size_t>(x)];
            const QString& b = texts[static_cast<std::size_t>(y)];
            int c = keyed ? keyOf(x).compare(keyOf(y)) : 0;
            if (c == 0)
                c = a.isEmpty() || b.isEmpty() ? QString::compare(a, b) : by.compare(a, b);
            return c * direction < 0;
        };
    };
    std::vector<int> order(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        order[static_cast<std::size_t>(i)] = i;
    sideBySide(slices, [&](int s) {
        const QCollator own(locale);
        const int begin = bounds[static_cast<std::size_t>(s)];
        const int end = bounds[static_cast<std::size_t>(s) + 1];
        std::vector<QCollatorSortKey>& sliceKeys = keys[static_cast<std::size_t>(s)];
        if (keyed)
            sliceKeys.reserve(static_cast<std::size_t>(end - begin));
        for (int i = begin; i < end; ++i) {
            QString& text = texts[static_cast<std::size_t>(i)];
            text = lowerText(rows[static_cast<std::size_t>(i)].SubItems[col]);
            if (keyed)
                sliceKeys.push_back(own.sortKey(text));
        }
        std::stable_sort(order.begin() + begin, order.begin() + end, less(own));
    });
    for (int width = 1; width < slices; width *= 2) {
        const int merges = (slices - width + 2 * width - 1) / (2 * width);
        sideBySide(merges, [&](int m) {
            const QCollator own(locale);
            const int s = 2 * width * m;
            const auto at = [&](int slice) { return order.begin() + bounds[static_cast<std::size_t>(std::min(slice, slices))]; };
            std::inplace_merge(at(s), at(s + width), at(s + 2 * width), less(own));
        });
    }
    // Freeing a text and a key per row is work too: each slice frees its own.
    sideBySide(slices, [&](int s) {
        std::vector<QCollatorSortKey>().swap(keys[static_cast<std::size_t>(s)]);
        for (int i = bounds[static_cast<std::size_t>(s)]; i < bounds[static_cast<std::size_t>(s) + 1]; ++i)
            QString().swap(texts[static_cast<std::size_t>(i)]);
    });
    return order;
}

std::vector<int> ShuffleOrder(int n, std::mt19937& rng)
{
    if (n < 2)
        return {};
    // The exchanges are made on row numbers; the rows then move once each to where theirs ended.
    std::uniform_int_distribution<int> pick(0, n - 1);
    std::vector<int> order(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        order[static_cast<std::size_t>(i)] = i;
    for (int k = 0; k <= n; ++k) {
        const int i = pick(rng);
        const int j = pick(rng);
        if (i != j)
            std::swap(order[static_cast<std::size_t>(i)], order[static_cast<std::size_t>(j)]);
    }
    return order;
}

int MarkAfterUndo(const std::vector<TVirtualItem>& before, const std::vector<TVirtualItem>& after, int mark,
                  int savedMark)
{
    const std::size_t nb = before.size();
    const std::size_t na = after.size();
    if (mark < 0 || static_cast<std::size_t>(mark) >= nb)
        return -1;
    const auto m = static_cast<std::size_t>(mark);
    const auto same = [&](std::size_t b, std::size_t a) { return before[b].SubItems[kColPath] == after[a].SubItems[kColPath]; };
    if (savedMark >= 0 && static_cast<std::size_t>(savedMark) < na && same(m, static_cast<std::size_t>(savedMark)))
        return savedMark;
    std::size_t prefix = 0;
    while (prefix < nb && prefix < na && same(prefix, prefix))
        ++prefix;
    if (m < prefix)
        return mark;
    std::size_t suffix = 0;
    while (suffix < nb - prefix && suffix < na - prefix && same(nb - 1 - suffix, na - 1 - suffix))
        ++suffix;
    if (m >= nb - suffix)
        return static_cast<int>(m - nb + na);
    // The middle: an undo of a deletion brings rows back (after is longer), one of a paste takes
    // them away; the rows of the shorter side are met in order in the longer one.
    std::size_t b = prefix;
    std::size_t a = prefix;
    while (b < nb - suffix && a < na - suffix) {
        if (same(b, a)) {
            if (b == m)
                return static_cast<int>(a);
            ++b;
            ++a;
        } else if (na >= nb) {
            ++a;
        } else {
            if (b == m)
                return -1;  // a row the undo takes away
            ++b;
        }
    }
    // Other edits since the saved level: the nearest row with the same path, if any.
    int best = -1;
    for (std::size_t i = 0; i < na; ++i) {
        if (!same(m, i))
            continue;
        const auto distance = [&](std::size_t k) { return k > m ? k - m : m - k; };
        if (best < 0 || distance(i) < distance(static_cast<std::size_t>(best)))
            best = static_cast<int>(i);
    }
    return best;
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

std::string NotesFileNameOfCanonical(const std::string& notesFolder, const std::string& canonicalPath)
{
    // "/" becomes "_"; the characters that could be taken for it ("_", and "\" and ":", which the
    // old names also turned into "_") and the escape itself are written as %XX, so that no two
    // paths share a name.
    std::string name;
    for (const char c : canonicalPath) {
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

std::string OldNotesFileNameOfCanonical(const std::string& notesFolder, const std::string& canonicalPath)
{
    std::string name = canonicalPath;
    for (char& c : name)
        if (c == '/' || c == '\\' || c == ':')
            c = '_';
    return notesFileFrom(notesFolder, std::move(name));
}

std::string NotesFileName(const std::string& notesFolder, const std::string& trackPath)
{
    return NotesFileNameOfCanonical(notesFolder, canonicalTrackPath(trackPath));
}

std::string OldNotesFileName(const std::string& notesFolder, const std::string& trackPath)
{
    return OldNotesFileNameOfCanonical(notesFolder, canonicalTrackPath(trackPath));
}

std::string TrackPathResolver::operator()(const std::string& trackPath)
{
    // The resolved path of folder/name is the resolved folder followed by the name, unless the
    // track is itself a link or its state cannot be read: those take the whole resolution. In a
    // folder that does not exist there is no track to look at.
    const std::size_t slash = trackPath.rfind('/');
    if (slash == std::string::npos || slash == 0)
        return canonicalTrackPath(trackPath);
    const std::string name = trackPath.substr(slash + 1);
    if (name.empty() || name == "." || name == "..")
        return canonicalTrackPath(trackPath);
    const std::string folder = trackPath.substr(0, slash);
    auto it = m_folders.find(folder);
    if (it == m_folders.end()) {
        std::error_code ec;
        Folder entry{std::filesystem::weakly_canonical(folder, ec), false};
        if (ec)
            return canonicalTrackPath(trackPath);
        entry.exists = std::filesystem::is_directory(folder, ec);
        it = m_folders.emplace(folder, std::move(entry)).first;
    }
    struct stat st {};
    if (it->second.exists &&
        (::lstat(trackPath.c_str(), &st) == 0 ? S_ISLNK(st.st_mode) : (errno != ENOENT && errno != ENOTDIR)))
        return canonicalTrackPath(trackPath);
    return (it->second.resolved / name).string();
}

}  // namespace player
