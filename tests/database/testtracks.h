// Helpers of the database tests: track records built from UTF-8 texts and audio-named files with
// ID3v1 tags written byte by byte.
#pragma once

#include "media/records.h"

#include <memory>
#include <string>

namespace dbtest {

struct TrackFields {
    std::string title = {};
    std::string artist = {};
    std::string album = {};
    std::string year = {};
    std::string genre = {};
    std::string comment = {};
    std::string fileName = {};
    std::int32_t duration = 0;
    std::int32_t size = 0;
};

// Tag fields are stored as the folder scan stores them: 30 bytes (4 for the year), zero-padded,
// converted to code page 1251.
std::unique_ptr<media::TTrackRecord> makeTrack(const TrackFields& track);

// A file of some bytes ending in an ID3v1 tag (texts in UTF-8, stored as code page 1251).
void writeTaggedFile(const std::string& path, const std::string& title, const std::string& artist,
                     unsigned char genre = 12, std::size_t bodyBytes = 256);
// A file with no tag.
void writeUntaggedFile(const std::string& path, std::size_t bodyBytes = 256);

// A 16-bit mono WAV of a sine tone.
void writeToneWav(const std::string& path, double seconds, double hz = 440, int rateHz = 44100);

std::string readAll(const std::string& path);
void writeAll(const std::string& path, const std::string& bytes);

}  // namespace dbtest
