// Matching records against the eight search fields without decoding every record: tag fields are
// compared as upper-cased code page 1251 bytes, ASCII file names as bytes. A record alone is
// matched field by field (matches); the search of the whole base runs over the base's folded
// columns instead, with the same answers.
#include "database/basesearch.h"

#include "media/tag.h"
#include "platform/cp1251.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace database {

namespace {

bool isAscii(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Case-blind substring search without copying the field: the code page's upper-case table for
// tag fields, ASCII folding for file names (the query is already upper case).
template <typename Fold>
bool containsFolded(std::string_view text, std::string_view query, Fold fold)
{
    const std::size_t n = text.size(), m = query.size();
    if (m == 0)
        return true;
    if (m > n)
        return false;
    const auto* t = reinterpret_cast<const unsigned char*>(text.data());
    const auto* q = reinterpret_cast<const unsigned char*>(query.data());
    const unsigned char first = q[0];
    for (std::size_t i = 0; i + m <= n; ++i) {
        if (fold(t[i]) != first)
            continue;
        std::size_t k = 1;
        while (k < m && fold(t[i + k]) == q[k])
            ++k;
        if (k == m)
            return true;
    }
    return false;
}

// Where query first occurs in text[0, size), or size when it does not. The first byte is looked
// for (byte by byte in one record's short text, with memchr over a long stretch of a column) and
// the second tried before the rest is compared, which keeps the many near misses cheap.
std::size_t findIn(const char* text, std::size_t size, std::string_view query)
{
    constexpr std::size_t kShortText = 64;
    const std::size_t m = query.size();
    if (m == 0)
        return 0;
    if (m > size)
        return size;
    const char* const last = text + (size - m);
    const char c0 = query[0];
    if (size <= kShortText) {
        for (const char* p = text; p <= last; ++p)
            if (*p == c0 && (m == 1 || (p[1] == query[1] && std::memcmp(p + 2, query.data() + 2, m - 2) == 0)))
                return static_cast<std::size_t>(p - text);
        return size;
    }
    for (const char* p = text; p <= last; ++p) {
        p = static_cast<const char*>(std::memchr(p, c0, static_cast<std::size_t>(last - p) + 1));
        if (!p)
            return size;
        if (m == 1 || (p[1] == query[1] && std::memcmp(p + 2, query.data() + 2, m - 2) == 0))
            return static_cast<std::size_t>(p - text);
    }
    return size;
}

unsigned char asciiUpper(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c; }

}  // namespace

SearchMatcher::SearchMatcher(const std::array<QString, kFieldCount>& texts)
{
    for (int i = 0; i < kFieldCount; ++i) {
        Query& q = m_queries[i];
        const QString& t = texts[i];
        q.active = !t.isEmpty();
        if (!q.active)
            continue;
        q.upper = t.toUpper();
        const std::string utf8 = q.upper.toStdString();
        // No stored text holds a zero byte (texts end at the first one), and no decoded file name
        // a lone surrogate: a query with either can match nothing.
        if (t.contains(QChar(0)) || !q.upper.isValidUtf16())
            q.impossible = true;
        if (isCp1251Field(static_cast<Field>(i))) {
            q.bytes = platform::utf8ToCp1251(utf8);
            // utf8ToCp1251 writes "?" for what code page 1251 cannot hold: such a query cannot occur.
            if (std::count(q.bytes.begin(), q.bytes.end(), '?') != std::count(utf8.begin(), utf8.end(), '?'))
                q.impossible = true;
            for (char& c : q.bytes)
                c = static_cast<char>(cp1251Upper(static_cast<unsigned char>(c)));
        } else {
            q.bytes = utf8;
        }
    }
}

bool SearchMatcher::anyActive() const
{
    return std::any_of(m_queries.begin(), m_queries.end(), [](const Query& q) { return q.active; });
}

bool SearchMatcher::fieldMatches(const TTrackRecord& r, Field f, const Query& q) const
{
    if (q.impossible)
        return false;
    if (f == Field::Time) {
        char buf[24];
        return shownTime(r.Duration, buf).find(q.bytes) != std::string_view::npos;
    }
    const std::string_view stored = storedBytes(r, f);
    if (isCp1251Field(f))
        {
        const auto& table = cp1251UpperTable();
        return containsFolded(stored, q.bytes, [&table](unsigned char c) { return table[c]; });
    }
    if (isAscii(stored))
        return containsFolded(stored, q.bytes, asciiUpper);
    return QString::fromUtf8(stored.data(), static_cast<qsizetype>(stored.size())).toUpper().contains(q.upper);
}

bool SearchMatcher::matches(const TTrackRecord& r) const
{
    for (int i = 0; i < kFieldCount; ++i) {
        const Query& q = m_queries[i];
        if (q.active && !fieldMatches(r, static_cast<Field>(i), q))
            return false;
    }
    return true;
}

bool SearchMatcher::columnQueries(std::vector<ColumnQuery>& out) const
{
    out.clear();
    for (int i = 0; i < kFieldCount; ++i) {
        const Query& q = m_queries[static_cast<std::size_t>(i)];
        if (!q.active)
            continue;
        if (q.impossible)
            return false;
        out.push_back({static_cast<Field>(i), q.bytes});
    }
    return true;
}

void runSearch(TrackBase& base, const SearchMatcher& matcher, const SearchPump& pump,
               std::chrono::milliseconds pumpPeriod)
{
    using Clock = std::chrono::steady_clock;
    // Records per step between looks at the clock.
    constexpr std::size_t kStep = 4096;
    base.List.clear();
    base.Indexes.clear();
    std::size_t count = base.List2.size();
    std::vector<SearchMatcher::ColumnQuery> queries;
    if (!matcher.columnQueries(queries))
        return;
    if (queries.empty()) {
        base.List = base.List2;
        base.Indexes.resize(count);
        for (std::size_t i = 0; i < count; ++i)
            base.Indexes[i] = static_cast<int>(i);
        return;
    }
    // The longest query is the likeliest to find few records: its column is scanned whole.
    std::stable_sort(queries.begin(), queries.end(),
                     [](const auto& a, const auto& b) { return a.bytes.size() > b.bytes.size(); });
    auto nextPump = Clock::now() + pumpPeriod;
    // Lets the message loop run now and then; what it changes in the base is seen afterwards, so
    // the columns are asked for again after it.
    const SearchColumns* columns = &base.columns();
    auto maybePump = [&](std::size_t done, std::size_t of) {
        if (!pump || Clock::now() < nextPump)
            return;
        pump(of > 2 ? static_cast<int>(std::min(done, of - 1) * 100 / (of - 1)) : 0);
        nextPump = Clock::now() + pumpPeriod;
        count = std::min(count, base.List2.size());
        columns = &base.columns();
    };

    std::vector<std::uint32_t> hits;
    for (std::size_t block = 0; block < count; block += kStep) {
        maybePump(block, count);
        const SearchColumns::Column& column = columns->column(queries[0].field);
        const std::size_t end = std::min(block + kStep, std::min(count, column.starts.size() - 1));
        if (block >= end)
            break;
        const char* const text = column.bytes.data();
        for (std::size_t i = block; i < end; ++i) {
            const std::size_t length = column.starts[i + 1] - column.starts[i] - 1;
            if (findIn(text + column.starts[i], length, queries[0].bytes) < length)
                hits.push_back(static_cast<std::uint32_t>(i));
        }
    }
    for (std::size_t k = 1; k < queries.size(); ++k) {
        std::size_t kept = 0;
        for (std::size_t h = 0; h < hits.size(); ++h) {
            if ((h & (kStep - 1)) == 0)
                maybePump(hits[h], count);
            const SearchColumns::Column& column = columns->column(queries[k].field);
            const std::uint32_t i = hits[h];
            if (i >= count || i + 1 >= column.starts.size())
                continue;
            const std::size_t length = column.starts[i + 1] - column.starts[i] - 1;
            if (findIn(column.bytes.data() + column.starts[i], length, queries[k].bytes) < length)
                hits[kept++] = i;
        }
        hits.resize(kept);
    }
    base.List.reserve(hits.size());
    base.Indexes.reserve(hits.size());
    for (const std::uint32_t i : hits) {
        if (i >= count)
            break;
        base.List.push_back(base.List2[i]);
        base.Indexes.push_back(static_cast<int>(i));
    }
}

}  // namespace database
