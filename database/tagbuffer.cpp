// Tag buffers for the tag editor.
#include "database/tagbuffer.h"

#include <algorithm>
#include <cstring>

namespace database {

namespace {

template <std::size_t N>
std::size_t copyField(const media::ShortString<N>& from, char* to, std::size_t width)
{
    const std::size_t n = std::min<std::size_t>({from.length, N, width});
    std::memcpy(to, from.chars, n);
    return n;
}

bool blank(const char* bytes, std::size_t n)
{
    return std::all_of(bytes, bytes + n, [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

}  // namespace

media::TTagRecord tagFromRecord(const media::TTrackRecord& r)
{
    media::TTagRecord tag;
    std::memset(&tag, 0, sizeof tag);
    const std::size_t title = copyField(r.Title, tag.Title, sizeof tag.Title);
    const std::size_t artist = copyField(r.Artist, tag.Artist, sizeof tag.Artist);
    const std::size_t album = copyField(r.Album, tag.Album, sizeof tag.Album);
    const std::size_t comment = copyField(r.Comment, tag.Comment, sizeof tag.Comment);
    const std::size_t year = copyField(r.Year, tag.Year, sizeof tag.Year);
    const std::string genre = r.Genre.str();
    tag.Genre.assign(genre);
    const bool empty = blank(tag.Title, title) && blank(tag.Artist, artist) && blank(tag.Album, album) &&
                       blank(tag.Comment, comment) && blank(tag.Year, year) && blank(genre.data(), genre.size());
    std::memcpy(tag.Kind, empty ? "NO_" : "TAG", 3);
    return tag;
}

media::TTagRecord tagForSeveralRows()
{
    media::TTagRecord tag;
    std::memset(&tag, 0, sizeof tag);
    std::memcpy(tag.Kind, "TAG", 3);
    return tag;
}

}  // namespace database
