// The player's playlist files (extended M3U, as the database program writes them) and its
// recent-playlists files (".hst"): plain readers and writers over playlist rows and paths.
#pragma once

#include "controls/vqrowlist.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace player {

class NotesMarks;

// Writes "#EXTM3U", then per row "#EXTINF:<seconds>,<display name>" and the path, lines ended by
// CR LF, UTF-8; through a temporary file renamed into place. False (error text set) on failure,
// and when the list is past the bounds ReadPlaylistFile reads (media::PlaylistWithinBounds): the
// file is then left as it was.
// A row whose path holds a line break is not written (it would come back as lines of its own):
// such rows are named in one box after the save.
bool WritePlaylistFile(const std::string& path, const std::vector<controls::TVirtualItem>& rows, std::string& error);

// Reads an M3U playlist, extended or plain, into rows of the shape AddFile makes, with an empty
// caption: every line that is neither empty nor a "#" comment is an entry, named and timed by an
// "#EXTINF:" line before it when there is one (else its file's base name and "??:??"). Entries
// are resolved as the media module resolves them (relative ones against the playlist's folder).
// No limit on the lengths of names and paths. Lines that are not valid UTF-8 are taken as code
// page 1251. Nothing (error says why) when the file is missing, is not a regular file, is past the
// bounds of media::ReadPlaylistBytes, cannot be read or holds a zero byte (it is not text).
// ExtendedOnly reads as the hand-overs from the other programs do: a file whose first line is not
// "#EXTM3U" holds no playlist, and only entries with an "#EXTINF:" line are taken (a hand-over
// can replace the list on air, so a stray text file must not become its rows).
enum class PlaylistEntries { All, ExtendedOnly };
std::optional<std::vector<controls::TVirtualItem>> ReadPlaylistFile(const std::string& path,
                                                                    PlaylistEntries entries = PlaylistEntries::All,
                                                                    std::string* error = nullptr);

// ReadPlaylistFile's work without a word to the operator, so that it can run on any thread: the
// lines left out for their length are counted, for ReportLongLinesLeftOut on the window's thread.
// For a list of `lead` rows that the rows read will follow, they come after as many empty rows,
// in room for a quarter more (the list's rows are then moved into memory already touched), and
// with numbered set their captions are their numbers in that list.
struct PlaylistRead {
    std::optional<std::vector<controls::TVirtualItem>> rows;
    std::string error;
    std::size_t longLinesLeftOut = 0;
    std::size_t lead = 0;
    // What gave the rows read their notes marks, when they were given them as they were read.
    std::shared_ptr<const NotesMarks> marker;
};
PlaylistRead ReadPlaylistRows(const std::string& path, PlaylistEntries entries = PlaylistEntries::All,
                              std::size_t lead = 0, bool numbered = false);
// The box ReadPlaylistFile shows when lines of path were left out; nothing when none was.
void ReportLongLinesLeftOut(const std::string& path, std::size_t count);

constexpr int kRecentPlaylists = 9;

// The first nine lines of a ".hst" file (empty lines kept as they stand); nothing (error says why)
// when the file cannot be read, is not a regular file or is past the settings bound. Lines beyond
// the ninth are ignored.
std::optional<std::vector<std::string>> ReadHistoryFile(const std::string& path, std::string* error = nullptr);
// One path per line, CR LF; false (error text set) on failure.
bool WriteHistoryFile(const std::string& path, const std::vector<std::string>& paths, std::string& error);

}  // namespace player
