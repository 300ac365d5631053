// Column sort: text columns by the locale's case-blind collation, the time column by value.
#include "database/basesort.h"

#include "database/recordtext.h"

#include <QCollator>

#include <algorithm>

namespace database {

namespace {

QCollator& collator()
{
    static QCollator c = [] {
        QCollator k;
        k.setCaseSensitivity(Qt::CaseInsensitive);
        return k;
    }();
    return c;
}

// Not every collation back end honours the case setting in its sort keys: fold case first.
QString sortText(const TTrackRecord& r, Field f) { return fieldText(r, f).toCaseFolded(); }

int compareText(const TTrackRecord& a, const TTrackRecord& b, Field f)
{
    const int c = collator().compare(sortText(a, f), sortText(b, f));
    return (c > 0) - (c < 0);
}

}  // namespace

int CompareTracksByArtist(const TTrackRecord& a, const TTrackRecord& b) { return compareText(a, b, Field::Artist); }
int CompareTracksByTitle(const TTrackRecord& a, const TTrackRecord& b) { return compareText(a, b, Field::Title); }
int CompareTracksByAlbum(const TTrackRecord& a, const TTrackRecord& b) { return compareText(a, b, Field::Album); }
int CompareTracksByYear(const TTrackRecord& a, const TTrackRecord& b) { return compareText(a, b, Field::Year); }
int CompareTracksByGenre(const TTrackRecord& a, const TTrackRecord& b) { return compareText(a, b, Field::Genre); }
int CompareTracksByComment(const TTrackRecord& a, const TTrackRecord& b) { return compareText(a, b, Field::Comment); }
int CompareTracksByFileName(const TTrackRecord& a, const TTrackRecord& b)
{
    return compareText(a, b, Field::FileName);
}
int CompareTracksByDuration(const TTrackRecord& a, const TTrackRecord& b)
{
    return (a.Duration > b.Duration) - (a.Duration < b.Duration);
}

bool sortTracks(std::vector<TTrackRecord*>& rows, int column, int direction)
{
    Field f;
    if (!columnField(column, &f))
        return false;
    const int dir = direction < 0 ? -1 : 1;
    if (f == Field::Time) {
        std::stable_sort(rows.begin(), rows.end(), [dir](const TTrackRecord* a, const TTrackRecord* b) {
            return dir * CompareTracksByDuration(*a, *b) < 0;
        });
        return true;
    }
    // Collation keys once per record, not once per comparison.
    struct Keyed {
        QCollatorSortKey key;
        TTrackRecord* record;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(rows.size());
    for (TTrackRecord* r : rows)
        keyed.push_back({collator().sortKey(sortText(*r, f)), r});
    std::stable_sort(keyed.begin(), keyed.end(), [dir](const Keyed& a, const Keyed& b) {
        const int c = a.key.compare(b.key);
        return dir * ((c > 0) - (c < 0)) < 0;
    });
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = keyed[i].record;
    return true;
}

}  // namespace database
