// The tag toolbox both programs use around audio files: the ID3v1 tag through a TTagRecord, time
// texts, extended M3U playlists, durations, the supported-extension test and folder listings.
#pragma once

#include "audiolib/audiolib.h"
#include "media/records.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace media {

class InputFile;

// Caption of the tag writer's message boxes.
inline constexpr std::string_view kTagEditorCaption = "Base tag editor";

// Fills tag from the file's ID3v1 tag; false (and a zero record apart from Kind) when there is none.
// readFailed, when given, tells a file that exists but could not be opened or read (the database's
// folder scan reports those) from one without a tag.
bool ReadTagRecord(const std::string& fileName, TTagRecord& tag, bool* readFailed = nullptr);
// The same from a file another reader has open (a file that is not open has no tag).
bool ReadTagRecord(const InputFile& file, TTagRecord& tag, bool* readFailed = nullptr);
// Kind "TAG" writes or updates the ID3v1 tag, anything else removes it. Failures are shown
// through the user-message service.
void WriteTagRecord(const std::string& fileName, const TTagRecord& tag, std::uint8_t genreIndex);

std::string FormatTimeShort(std::int32_t ms);   // "mm:ss", "??:??" for 0
std::string FormatTimeLong(std::int32_t ms);    // "h:mm:ss"
std::string FormatTimeTenths(std::int32_t ms);  // "mm:ss.t", "00:00.0" for 0

// No station's playlist comes near these: a whole base of 100,000 tracks exported is about 20 MB
// in 100,000 entries. Entries become rows, and rows, not bytes, are what a list costs (some 450
// bytes each, and a look at the disk), so the entries are bounded as well as the bytes. The lines
// that are no entry (descriptions, comments, blank lines) are bounded at a few per entry, for what
// splitting the text into lines takes. The player saves no list past these bounds, so every list
// it saves reads back whole.
inline constexpr std::size_t kMaxPlaylistFileBytes = std::size_t{64} << 20;
inline constexpr std::size_t kMaxPlaylistEntries = 300'000;
inline constexpr std::size_t kMaxPlaylistLines = 4 * kMaxPlaylistEntries;

// Whether a playlist's text is within the bounds above; otherwise error says which it is past.
// An entry is a line that is neither blank nor a "#" line.
bool PlaylistWithinBounds(std::string_view bytes, std::string& error);

enum class PlaylistRead { Ok, Missing, Refused };
// The bytes of a playlist file: a regular file within both bounds; otherwise error says why.
PlaylistRead ReadPlaylistBytes(const std::string& fileName, std::string& bytes, std::string& error);

// Reads the "#EXTINF:" entries of an extended M3U playlist into dest, at most dest.size() of
// them; returns the number stored. Entries whose path does not fit the file-name field are
// skipped and reported once.
int LoadM3UPlaylist(const std::string& fileName, std::span<TTrackRecord> dest);
// Sum of the entries' durations in seconds.
std::int64_t GetM3UTotalSeconds(const std::string& fileName);
// The paths the entries of the playlist fileName name: a relative entry lies under the
// playlist's own folder; "\" separators are taken as "/" unless the name exists as written.
// The folder is worked out once, for every entry of the playlist.
class M3UEntryResolver {
public:
    explicit M3UEntryResolver(const std::string& fileName);
    std::string operator()(std::string_view entry) const;

private:
    std::string m_folder;  // with a trailing "/", or empty
};

// The version of this system's own executables; empty for any other file.
std::string GetFileVersionString(const std::string& fileName);

// Copies min(highestIndex + 1, text length) bytes to the start of field; no terminator, the rest
// of the field is left as it was.
void CopyToBuffer(std::string_view text, char* field, int highestIndex);

// Duration through the audio library (an output device must be initialised, as for playback);
// 0 when the file cannot be measured.
std::int32_t GetFileDurationMs(const std::string& fileName);
// The same duration of a file already open as a stream of the audio library (its frames counted
// once, by the stream); 0 for a stream without a length.
std::int32_t GetStreamDurationMs(audiolib::Handle stream);

bool IsBitSet(std::uint32_t set, int n);
void SetBit(std::uint32_t& set, int n);

// Names (without the dot and extension) of the entries of folder ending in "." + ext, matched
// without regard to case and sorted by name without regard to case.
void ListFilesByExtension(const std::string& folder, const std::string& ext, std::vector<std::string>& list);

// ext is an extension with its dot (".MP3"), not a whole file name.
bool IsSupportedMediaFile(std::string_view ext);

// The file name part of path without its extension.
std::string ExtractFileBaseName(std::string_view path);

}  // namespace media
