// What the tag page saves: the tag writer a file's type selects, the genre byte from the genre
// box's text, the record built from the page's fields, and the write itself.
#pragma once

#include "media/records.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace player {

struct TagReaders;

// TagFileType: which writer serves a file, from its extension.
enum TagFileKind : int { kTagNone = 0, kTagMp3 = 1, kTagWav = 2, kTagOgg = 3, kTagWma = 4 };

// From the extension, without regard to case; kTagNone for every other file ("line.in" too).
int TagFileTypeOf(const std::string& path);
// MP3, WAV and Ogg have a writer; WMA and the rest do not.
bool TagTypeWritable(int type);

// The genre byte passed with a record when the operator left the genre alone: the ID3v1 writer
// then keeps the byte the file holds.
inline constexpr std::uint8_t kKeepGenre = 250;
// The number of a genre name, matched without regard to case; 255 for "<none>", an empty text and
// any name not in the table.
std::uint8_t GenreNumberOf(std::string_view name);

// One field of the page: its text now and the text it showed when the file was read (both UTF-8).
struct TagPageField {
    std::string text;
    std::string shown;
    bool changed() const { return text != shown; }
};

struct TagPageEdits {
    bool tagWanted = true;    // cbTag: unticked, the save removes the file's ID3v1 tag
    bool fileHadTag = false;  // the file held an ID3v1 tag when the page was filled
    TagPageField title, artist, album, year, comment, genre;
};

// The record a save writes, in code page 1251: a changed field as typed (cut to its size), an
// emptied one as a single blank so that the writer clears it; a field the operator did not change
// stays zero, which the writers take as "keep what the file holds", so a save never cuts or
// re-encodes a value nobody touched. Kind is "TAG", or "000" when no tag is wanted.
media::TTagRecord TagRecordForSave(const TagPageEdits& edits);
// kKeepGenre for an untouched genre of a file that has a tag; otherwise the text's number.
std::uint8_t GenreForSave(const TagPageEdits& edits);

// Writes the record by type: MP3 and WAV through the ID3v1 writer (which shows its own errors),
// Ogg by reading the file being saved afresh, putting the changed title, artist, comment and genre
// over what it holds and rewriting its comments. False when nothing was written (an Ogg file that
// could not be read or rewritten, a type without a writer).
bool WriteFileTag(TagReaders& readers, int type, const std::string& path, const media::TTagRecord& record,
                  std::uint8_t genre);

}  // namespace player
