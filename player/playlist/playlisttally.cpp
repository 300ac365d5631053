// Numbers, total and notes marks of a playlist, brought up to date by the rows' changes.
#include "player/playlist/playlisttally.h"

#include "player/playlist/playlistrows.h"

#include <algorithm>
#include <charconv>

namespace player {

void PlaylistTally::touched(int first, int end)
{
    // Rows that moved need numbers from the first to the last of them, or to the end of the list;
    // two such ranges are taken as one.
    m_renumberEnd = m_renumberFrom == INT_MAX ? end : std::max(m_renumberEnd, end);
    m_renumberFrom = std::min(m_renumberFrom, first);
    m_countFrom = std::min(m_countFrom, first);
    m_markFrom = std::min(m_markFrom, first);
}

void PlaylistTally::insert(const controls::RowIndices& at)
{
    std::vector<Row> added(at.size());
    controls::insertAt(m_rows, at, std::move(added));
}

void PlaylistTally::erase(const controls::RowIndices& at)
{
    std::vector<Row> gone;
    controls::eraseAt(m_rows, at, &gone);
    for (const Row& row : gone)
        if (row.counted)
            m_total -= row.seconds;
}

void PlaylistTally::truncate(int size)
{
    size = std::max(size, 0);
    if (size == 0) {
        m_rows.clear();
        m_total = 0;
    }
    while (static_cast<int>(m_rows.size()) > size) {
        if (m_rows.back().counted)
            m_total -= m_rows.back().seconds;
        m_rows.pop_back();
    }
    touched(size);
}

void PlaylistTally::follow(controls::VqRowList& list)
{
    // Indices that do not fit the rows kept (which a list's own notes never give) leave every
    // row from the first of them to be looked at afresh.
    auto fits = [](const controls::RowIndices& at, std::size_t size) {
        return at.empty() || (at.front() >= 0 && static_cast<std::size_t>(at.back()) < size);
    };
    for (const controls::RowChange& c : list.takeChanges()) {
        const int first = c.firstChanged();
        switch (c.kind) {
        case controls::RowChange::Inserted:
            if (!fits(c.at, m_rows.size() + c.at.size()))
                truncate(first);
            else
                insert(c.at);
            touched(first);
            break;
        case controls::RowChange::Removed:
            if (!fits(c.at, m_rows.size()))
                truncate(first);
            else
                erase(c.at);
            touched(first);
            break;
        case controls::RowChange::Moved:
            if (fits(c.at, m_rows.size()) && fits(c.to, m_rows.size()) && c.at.size() == c.to.size())
                controls::moveAt(m_rows, c.at, c.to);
            else
                truncate(0);
            touched(first, c.endMoved());
            break;
        case controls::RowChange::Reordered:
            if (c.order.size() == m_rows.size())
                controls::applyOrder(m_rows, c.order);
            else
                truncate(0);
            touched(first);
            break;
        case controls::RowChange::Changed:
            // Its texts are read again; its number stays.
            for (int i : c.at) {
                if (i < 0 || i >= static_cast<int>(m_rows.size()))
                    continue;
                Row& row = m_rows[static_cast<std::size_t>(i)];
                if (row.counted)
                    m_total -= row.seconds;
                row = Row{};
                m_countFrom = std::min(m_countFrom, i);
                m_markFrom = std::min(m_markFrom, i);
            }
            break;
        case controls::RowChange::Replaced:
            truncate(first);
            break;
        }
    }
    const int n = list.rowCount();
    if (static_cast<int>(m_rows.size()) > n)
        truncate(n);
    if (static_cast<int>(m_rows.size()) < n) {
        touched(static_cast<int>(m_rows.size()));
        m_rows.resize(static_cast<std::size_t>(n));
    }
}

void PlaylistTally::renumber(controls::VqRowList& list)
{
    follow(list);
    const int first = std::max(m_renumberFrom, 0);
    const int end = std::min(m_renumberEnd, list.rowCount());
    m_renumberFrom = INT_MAX;
    m_renumberEnd = INT_MAX;
    if (first >= end)
        return;
    // The number counts up in place, digit by digit, as the rows go down.
    char16_t digits[16];
    char ascii[16];
    char* const written = std::to_chars(ascii, ascii + sizeof ascii, first + 1).ptr;
    qsizetype length = written - ascii;
    std::copy(ascii, written, digits);
    for (int i = first; i < end; ++i) {
        QString& caption = list.Rows[static_cast<std::size_t>(i)].Caption;
        const QStringView number(digits, length);
        if (caption != number) {
            // Into the caption's own storage where it has room: no allocation per row.
            if (caption.isDetached() && caption.capacity() >= length) {
                caption.resize(length);
                std::copy(digits, digits + length, reinterpret_cast<char16_t*>(caption.data()));
            } else {
                caption = number.toString();
            }
        }
        qsizetype d = length - 1;
        while (d >= 0 && digits[d] == u'9')
            digits[d--] = u'0';
        if (d >= 0) {
            ++digits[d];
        } else {
            std::copy_backward(digits, digits + length, digits + length + 1);
            digits[0] = u'1';
            ++length;
        }
    }
}

std::int64_t PlaylistTally::totalSeconds(controls::VqRowList& list)
{
    follow(list);
    for (std::size_t i = static_cast<std::size_t>(std::max(m_countFrom, 0)); i < m_rows.size(); ++i) {
        Row& row = m_rows[i];
        if (row.counted)
            continue;
        row.seconds = DurationTextSeconds(list.Rows[i].SubItems[kColDuration]);
        row.counted = true;
        m_total += row.seconds;
    }
    m_countFrom = INT_MAX;
    return m_total;
}

bool PlaylistTally::mark(controls::VqRowList& list, NotesMarks& marks, const std::string& notesFolder)
{
    follow(list);
    const std::uint64_t generation = marks.refresh(notesFolder, false);
    if (generation != m_generation) {
        m_generation = generation;
        m_markFrom = 0;  // what the notes folder held before no longer counts
    }
    bool changed = false;
    bool lookedUp = false;
    for (std::size_t i = static_cast<std::size_t>(std::max(m_markFrom, 0)); i < m_rows.size(); ++i) {
        if (m_rows[i].generation == generation)
            continue;
        controls::TVirtualItem& row = list.Rows[i];
        const int image = marks.imageOf(row);
        changed = changed || row.ImageIndex != image;
        row.ImageIndex = image;
        m_rows[i].generation = generation;
        lookedUp = true;
    }
    m_markFrom = INT_MAX;
    if (lookedUp)
        marks.forgetTracksNotIn(list.Rows);
    return changed;
}

void PlaylistTally::markedBy(controls::VqRowList& list, int first, int end, NotesMarks& marks,
                             const std::string& notesFolder, const NotesMarks& marker)
{
    follow(list);
    const std::uint64_t generation = marks.refresh(notesFolder, false);
    if (!marks.answersAsOf(marker))
        return;
    end = std::min(end, static_cast<int>(m_rows.size()));
    for (int i = std::max(first, 0); i < end; ++i)
        m_rows[static_cast<std::size_t>(i)].generation = generation;
}

}  // namespace player
