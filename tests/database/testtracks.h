// Helpers of the database tests: track records built from UTF-8 texts and audio-named files with
// ID3v1 tags written byte by byte. Header-only, so every test folder of the database can use them.
#pragma once

#include "media/records.h"
#include "platform/cp1251.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>
#include <numbers>
#include <sstream>
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

inline void writeAll(const std::string& path, const std::string& bytes);

namespace detail {
template <std::size_t N>
void padded(media::ShortString<N>& field, const std::string& utf8, std::size_t width)
{
    const std::string bytes = platform::utf8ToCp1251(utf8);
    std::memset(field.chars, 0, N);
    std::memcpy(field.chars, bytes.data(), std::min(bytes.size(), width));
    field.length = static_cast<std::uint8_t>(width);
}
}  // namespace detail

// Tag fields are stored as the folder scan stores them: 30 bytes (4 for the year), zero-padded,
// converted to code page 1251.
inline std::unique_ptr<media::TTrackRecord> makeTrack(const TrackFields& s)
{
    auto r = std::make_unique<media::TTrackRecord>();
    std::memset(r.get(), 0, sizeof *r);
    detail::padded(r->Title, s.title, 30);
    detail::padded(r->Artist, s.artist, 30);
    detail::padded(r->Album, s.album, 30);
    detail::padded(r->Year, s.year, 4);
    detail::padded(r->Comment, s.comment, 30);
    r->Genre.assign(platform::utf8ToCp1251(s.genre));
    r->FileName.assign(s.fileName);
    r->Duration = s.duration;
    r->Size = s.size;
    return r;
}

// A file of some bytes ending in an ID3v1 tag (texts in UTF-8, stored as code page 1251).
inline void writeTaggedFile(const std::string& path, const std::string& title, const std::string& artist,
                            unsigned char genre = 12, std::size_t bodyBytes = 256)
{
    std::string data(bodyBytes, '\x55');
    char tag[128] = {};
    std::memcpy(tag, "TAG", 3);
    const std::string t = platform::utf8ToCp1251(title), a = platform::utf8ToCp1251(artist);
    std::memcpy(tag + 3, t.data(), std::min<std::size_t>(t.size(), 30));
    std::memcpy(tag + 33, a.data(), std::min<std::size_t>(a.size(), 30));
    std::memcpy(tag + 93, "1999", 4);
    tag[127] = static_cast<char>(genre);
    data.append(tag, 128);
    writeAll(path, data);
}

// A file with no tag.
inline void writeUntaggedFile(const std::string& path, std::size_t bodyBytes = 256)
{
    writeAll(path, std::string(bodyBytes, 'x'));
}

// A 16-bit mono WAV of a sine tone.
inline void writeToneWav(const std::string& path, double seconds, double hz = 440, int rateHz = 44100)
{
    const auto frames = static_cast<std::uint32_t>(seconds * rateHz);
    auto u32 = [](std::string& s, std::uint32_t v) { s.append(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [](std::string& s, std::uint16_t v) { s.append(reinterpret_cast<const char*>(&v), 2); };
    std::string s = "RIFF";
    u32(s, 36 + frames * 2);
    s += "WAVEfmt ";
    u32(s, 16);
    u16(s, 1);
    u16(s, 1);
    u32(s, static_cast<std::uint32_t>(rateHz));
    u32(s, static_cast<std::uint32_t>(rateHz) * 2);
    u16(s, 2);
    u16(s, 16);
    s += "data";
    u32(s, frames * 2);
    for (std::uint32_t i = 0; i < frames; ++i)
        u16(s, static_cast<std::uint16_t>(static_cast<std::int16_t>(
                   12000 * std::sin(2 * std::numbers::pi * hz * i / rateHz))));
    writeAll(path, s);
}

inline std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeAll(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace dbtest
