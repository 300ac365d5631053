// Record and file builders for the database tests.
#include "testtracks.h"

#include "platform/cp1251.h"

#include <cmath>
#include <cstring>
#include <numbers>
#include <fstream>
#include <sstream>

namespace dbtest {

namespace {
template <std::size_t N>
void padded(media::ShortString<N>& field, const std::string& utf8, std::size_t width)
{
    const std::string bytes = platform::utf8ToCp1251(utf8);
    std::memset(field.chars, 0, N);
    std::memcpy(field.chars, bytes.data(), std::min(bytes.size(), width));
    field.length = static_cast<std::uint8_t>(width);
}
}  // namespace

std::unique_ptr<media::TTrackRecord> makeTrack(const TrackFields& s)
{
    auto r = std::make_unique<media::TTrackRecord>();
    std::memset(r.get(), 0, sizeof *r);
    padded(r->Title, s.title, 30);
    padded(r->Artist, s.artist, 30);
    padded(r->Album, s.album, 30);
    padded(r->Year, s.year, 4);
    padded(r->Comment, s.comment, 30);
    r->Genre.assign(platform::utf8ToCp1251(s.genre));
    r->FileName.assign(s.fileName);
    r->Duration = s.duration;
    r->Size = s.size;
    return r;
}

void writeTaggedFile(const std::string& path, const std::string& title, const std::string& artist,
                     unsigned char genre, std::size_t bodyBytes)
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

void writeUntaggedFile(const std::string& path, std::size_t bodyBytes) { writeAll(path, std::string(bodyBytes, 'x')); }

void writeToneWav(const std::string& path, double seconds, double hz, int rateHz)
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

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeAll(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace dbtest
