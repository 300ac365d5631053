// Plain operations over playlist rows that the main window's editing commands are built from:
// display names, the count and total line, find, sort, shuffle and the playlist-file row shapes.
#pragma once

#include "controls/vqrowlist.h"

#include <QString>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

namespace player {

using controls::TVirtualItem;

// Column indices of SubItems in a playlist row.
constexpr int kColMarker = 0;    // empty, "PLAYLIST" in an appended playlist row, or kMarkerOpenFailed
constexpr int kColName = 1;      // display name
constexpr int kColDuration = 2;  // "mm:ss", "??:??" when not measured
constexpr int kColPath = 3;      // full path

// The hidden column of a row whose file could not be opened for playback; the list draws such a
// row struck out, and a start of the row clears it.
inline constexpr const char* kMarkerOpenFailed = "FAILED";

// Row kinds (ImageIndex).
constexpr int kImageOrdinary = 0;
constexpr int kImageScheduledWaiting = 24;
constexpr int kImageScheduledPlaying = 25;
constexpr int kImageHasNotes = 37;

// Display name from a tag's artist and title (both already decoded, not yet trimmed). An artist
// starting with "~" is a name without " - " that the M3U reader split into two fields.
QString JoinArtistTitle(const QString& artist, const QString& title);

// Seconds of a duration text "m:ss" (any number of minute digits); 0 for "??:??" or anything
// that is not a duration.
std::int64_t DurationTextSeconds(const QString& text);
std::int64_t TotalSeconds(const std::vector<TVirtualItem>& rows);
// " Треков: 3 [0:13:25]" with the given word.
QString SummaryLine(const QString& word, int count, std::int64_t totalSeconds);

// Index of the first row after `after` whose number, name, duration and path contain text (no
// regard to case); -1 when none or text is empty.
int FindRow(const std::vector<TVirtualItem>& rows, int after, const QString& text);

// The order that sorts rows by a column header (2 name, 3 duration, 4 path) in the direction
// given (+1/-1): row i afterwards is rows[order[i]]. Empty for the headers that sort nothing.
std::vector<int> SortOrder(const std::vector<TVirtualItem>& rows, int header, int direction);

// n + 1 random exchanges of n rows, as an order like SortOrder's.
std::vector<int> ShuffleOrder(int n, std::mt19937& rng);

// After an undo replaced the rows `before` by `after`: the index in `after` of the row that was
// row `mark` of `before` (rows are told apart by their path: a start rewrites the name of the row
// it plays), or -1 when the undo took that row away or mark is -1. savedMark, the same mark as
// the undo level saved it, is taken when it still holds that track (so that equal rows side by
// side stay apart); otherwise the rows both lists share at their start and end keep their places,
// and in between the rows the undo brought back (or took away) are passed over.
int MarkAfterUndo(const std::vector<TVirtualItem>& before, const std::vector<TVirtualItem>& after, int mark,
                  int savedMark = -1);

// The two shapes of a row that stands for a whole playlist file.
TVirtualItem PlaylistRowInserted(const QString& path, std::int64_t totalSeconds);
TVirtualItem PlaylistRowAppended(const QString& path, std::int64_t totalSeconds);

// The notes file of a track, inside notesFolder (ending in "/"): the canonical path with "/"
// replaced by "_" and "_", "\", ":" and "%" written as %XX, plus ".txt"; names too long for the
// file system are shortened and made unique by a hash of the path.
std::string NotesFileName(const std::string& notesFolder, const std::string& trackPath);
// The name notes were kept under before "_" was escaped ("/", "\" and ":" all became "_", so
// "/m/a/b.mp3" and "/m/a_b.mp3" shared one file); still read where only it exists.
std::string OldNotesFileName(const std::string& notesFolder, const std::string& trackPath);

// The two names from a track's resolved path (what the two above resolve the path to).
std::string NotesFileNameOfCanonical(const std::string& notesFolder, const std::string& canonicalPath);
std::string OldNotesFileNameOfCanonical(const std::string& notesFolder, const std::string& canonicalPath);

// Resolves many track paths in a row as the notes names do: each folder is resolved once, so a
// track costs one look at the track itself. Folders are remembered for the life of the object.
class TrackPathResolver {
public:
    std::string operator()(const std::string& trackPath);

private:
    struct Folder {
        std::filesystem::path resolved;
        bool exists = false;
    };
    std::unordered_map<std::string, Folder> m_folders;  // as given
};

}  // namespace player
