// Matching records against the eight search fields without decoding every record: tag fields are
// compared as upper-cased code page 1251 bytes, ASCII file names as bytes.
#include "database/basesearch.h"

#include "media/tag.h"
#include "platform/cp1251.h"

#include <algorithm>
#include <chrono>

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

unsigned char asciiUpper(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c; }

// The time column's text as FormatTimeShort writes it ("mm:ss", "??:??" for 0), without allocating.
std::string_view timeText(std::int32_t ms, char* buf)
{
    const auto v = static_cast<std::uint32_t>(ms);
    if (v == 0)
        return "??:??";
    std::uint32_t minutes = (v / 1000) / 60;
    const std::uint32_t seconds = (v / 1000) % 60;
    char digits[12];
    int d = 0;
    do {
        digits[d++] = static_cast<char>('0' + minutes % 10);
        minutes /= 10;
    } while (minutes != 0);
    int len = 0;
    if (d < 2)
        buf[len++] = '0';
    while (d > 0)
        buf[len++] = digits[--d];
    buf[len++] = ':';
    buf[len++] = static_cast<char>('0' + seconds / 10);
    buf[len++] = static_cast<char>('0' + seconds % 10);
    return std::string_view(buf, static_cast<std::size_t>(len));
}

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
        return timeText(r.Duration, buf).find(q.bytes) != std::string_view::npos;
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

void runSearch(TrackBase& base, const SearchMatcher& matcher, const SearchPump& pump,
               std::chrono::milliseconds pumpPeriod)
{
    using Clock = std::chrono::steady_clock;
    base.List.clear();
    base.Indexes.clear();
    const std::size_t count = base.List2.size();
    auto nextPump = Clock::now() + pumpPeriod;
    for (std::size_t i = 0; i < count; ++i) {
        // Looking at the clock costs more than matching a record: only every 1024 records.
        if (pump && (i & 1023) == 0 && Clock::now() >= nextPump) {
            pump(count > 2 ? static_cast<int>(i * 100 / (count - 1)) : 0);
            nextPump = Clock::now() + pumpPeriod;
        }
        TTrackRecord* r = base.List2[i];
        if (matcher.matches(*r)) {
            base.List.push_back(r);
            base.Indexes.push_back(static_cast<int>(i));
        }
    }
}

}  // namespace database
