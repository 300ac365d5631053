// ID3v1 reader.
#include "media/id3v1.h"

#include "media/inputfile.h"
#include "media/textutil.h"
#include "platform/cp1251.h"

#include <cstring>
#include <string_view>

namespace media {

namespace {

std::string field(const unsigned char* block, std::size_t offset, std::size_t size)
{
    const std::string_view raw(reinterpret_cast<const char*>(block) + offset, size);
    return platform::cp1251ToUtf8(trimRight(raw));
}

}  // namespace

void TID3v1::ResetInfo()
{
    Exists = false;
    VersionID = 1;
    Title.clear();
    Artist.clear();
    Album.clear();
    Year.clear();
    Comment.clear();
    Track = 0;
    GenreID = 255;
}

bool TID3v1::ReadInfo(const std::string& fileName)
{
    return ReadInfo(InputFile(fileName));
}

bool TID3v1::ReadInfo(const InputFile& file)
{
    ResetInfo();
    unsigned char block[128];
    if (!file.isOpen() || file.size() < 128 || !file.readExact(file.size() - 128, block, sizeof block))
        return false;
    if (std::memcmp(block, "TAG", 3) != 0)
        return true;
    Exists = true;
    VersionID = ((block[125] == 0 && block[126] != 0) || (block[125] == 32 && block[126] != 32)) ? 2 : 1;
    Title = field(block, 3, 30);
    Artist = field(block, 33, 30);
    Album = field(block, 63, 30);
    Year = field(block, 93, 4);
    if (VersionID == 1) {
        Comment = field(block, 97, 30);
    } else {
        Comment = field(block, 97, 28);
        Track = block[126];
    }
    GenreID = block[127];
    return true;
}

}  // namespace media
