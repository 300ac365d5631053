// Folding the searchable fields into their columns and keeping the columns in step.
#include "database/searchcolumns.h"

#include <QString>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace database {

namespace {

bool isAscii(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

void appendText(SearchColumns::Column& column, std::string_view text)
{
    // 32-bit offsets: a base this large (4 GB of texts) is far beyond any collection.
    if (column.bytes.size() + text.size() + 1 > UINT32_MAX)
        throw std::length_error("search columns full");
    column.bytes.append(text);
    column.bytes.push_back('\0');
    column.starts.push_back(static_cast<std::uint32_t>(column.bytes.size()));
}

}  // namespace

SearchColumns::SearchColumns() { clear(); }

void SearchColumns::foldedText(const TTrackRecord& record, Field f, std::string& out)
{
    out.clear();
    if (f == Field::Time) {
        char buf[kShownTimeBytes];
        out.append(shownTime(record.Duration, buf));
        return;
    }
    const std::string_view stored = storedBytes(record, f);
    if (isCp1251Field(f)) {
        const auto& table = cp1251UpperTable();
        out.resize(stored.size());
        for (std::size_t i = 0; i < stored.size(); ++i)
            out[i] = static_cast<char>(table[static_cast<unsigned char>(stored[i])]);
        return;
    }
    if (isAscii(stored)) {
        out.resize(stored.size());
        for (std::size_t i = 0; i < stored.size(); ++i) {
            const char c = stored[i];
            out[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        }
        return;
    }
    out = QString::fromUtf8(stored.data(), static_cast<qsizetype>(stored.size())).toUpper().toStdString();
}

void SearchColumns::clear()
{
    for (Column& c : m_columns) {
        c.bytes.clear();
        c.starts.assign(1, 0);
        c.stale = false;
    }
}

void SearchColumns::rebuildColumn(Field f, const std::vector<TTrackRecord*>& records)
{
    Column& c = m_columns[static_cast<std::size_t>(f)];
    c.bytes.clear();
    c.starts.assign(1, 0);
    c.starts.reserve(records.size() + 1);
    for (const TTrackRecord* r : records) {
        foldedText(*r, f, m_scratch);
        appendText(c, m_scratch);
    }
    c.stale = false;
}

void SearchColumns::rebuild(const std::vector<TTrackRecord*>& records)
{
    for (int f = 0; f < kFieldCount; ++f)
        rebuildColumn(static_cast<Field>(f), records);
}

void SearchColumns::append(const TTrackRecord& record)
{
    for (int f = 0; f < kFieldCount; ++f) {
        foldedText(record, static_cast<Field>(f), m_scratch);
        appendText(m_columns[static_cast<std::size_t>(f)], m_scratch);
    }
}

void SearchColumns::update(std::size_t index, const TTrackRecord& record)
{
    for (int f = 0; f < kFieldCount; ++f) {
        Column& c = m_columns[static_cast<std::size_t>(f)];
        if (c.stale || index + 1 >= c.starts.size())
            continue;
        foldedText(record, static_cast<Field>(f), m_scratch);
        const std::uint32_t start = c.starts[index];
        if (c.starts[index + 1] - start - 1 == m_scratch.size())
            std::memcpy(c.bytes.data() + start, m_scratch.data(), m_scratch.size());
        else
            c.stale = true;
    }
}

void SearchColumns::invalidate()
{
    for (Column& c : m_columns)
        c.stale = true;
}

void SearchColumns::refresh(const std::vector<TTrackRecord*>& records)
{
    for (int f = 0; f < kFieldCount; ++f)
        if (m_columns[static_cast<std::size_t>(f)].stale)
            rebuildColumn(static_cast<Field>(f), records);
}

}  // namespace database
