// Sorting the track base by a list column; three-way comparators, a strict weak ordering.
#pragma once

#include "database/trackbase.h"

#include <vector>

namespace database {

// Three-way: negative when a comes before b in ascending order.
int CompareTracksByArtist(const TTrackRecord& a, const TTrackRecord& b);
int CompareTracksByTitle(const TTrackRecord& a, const TTrackRecord& b);
int CompareTracksByAlbum(const TTrackRecord& a, const TTrackRecord& b);
int CompareTracksByYear(const TTrackRecord& a, const TTrackRecord& b);
int CompareTracksByGenre(const TTrackRecord& a, const TTrackRecord& b);
int CompareTracksByComment(const TTrackRecord& a, const TTrackRecord& b);
int CompareTracksByDuration(const TTrackRecord& a, const TTrackRecord& b);
int CompareTracksByFileName(const TTrackRecord& a, const TTrackRecord& b);

// Sorts rows by column 0..7 (Artist, Title, Album, Year, Genre, Comment, Time, FileName);
// direction +1 ascending, -1 descending. Returns false (order unchanged) for any other column.
bool sortTracks(std::vector<TTrackRecord*>& rows, int column, int direction);

}  // namespace database
