// The tag and the one-line technical description of an audio file, by file type, for the rows
// of the playlists, the now-playing data and the tag page.
#pragma once

#include "media/records.h"

#include <string>
#include <string_view>

namespace media {
class TMPEGaudio;
class TWAVfile;
class TOggVorbis;
class TWMAfile;
}  // namespace media

namespace player {

// One reader of each kind, made once by the main window and reused for every file.
struct TagReaders {
    TagReaders();
    ~TagReaders();
    TagReaders(const TagReaders&) = delete;
    TagReaders& operator=(const TagReaders&) = delete;
    media::TMPEGaudio* mpeg;
    media::TWAVfile* wav;
    media::TOggVorbis* ogg;
    media::TWMAfile* wma;
};

// False when the file does not exist (record and info untouched), when its type is not one of
// ".mp3"/"line.in", ".wav", ".ogg", ".wma", when an Ogg or WMA file is not valid, and for MP3 and
// WAV files without an ID3v1 tag (the record is still filled as far as it was read).
bool ReadFileInfo(TagReaders& readers, const std::string& path, media::TTagRecord& record, std::string& info);

// The text up to its first zero character, without leading and trailing characters of codes
// 0 to 32.
std::string TrimTagField(std::string_view field);

}  // namespace player
