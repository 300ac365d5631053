// ReadFileInfo: which reader serves which file type, and what goes into the tag record.
#include "player/fileinfo.h"

#include "media/inputfile.h"
#include "media/mpegaudio.h"
#include "media/oggvorbis.h"
#include "media/tag.h"
#include "media/textutil.h"
#include "media/wavfile.h"
#include "media/wmafile.h"
#include "platform/cp1251.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace player {

namespace {

// Copies at most size bytes of the code page 1251 form of a UTF-8 text into a fixed field.
void putField(char* field, std::size_t size, const std::string& utf8)
{
    const std::string bytes = platform::utf8ToCp1251(utf8);
    std::memcpy(field, bytes.data(), std::min(size, bytes.size()));
}

}  // namespace

TagReaders::TagReaders()
    : mpeg(new media::TMPEGaudio), wav(new media::TWAVfile), ogg(new media::TOggVorbis), wma(new media::TWMAfile)
{
}

TagReaders::~TagReaders()
{
    delete mpeg;
    delete wav;
    delete ogg;
    delete wma;
}

std::string TrimTagField(std::string_view field)
{
    const std::size_t zero = field.find('\0');
    if (zero != std::string_view::npos)
        field = field.substr(0, zero);
    std::size_t b = 0;
    std::size_t e = field.size();
    while (b < e && static_cast<unsigned char>(field[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(field[e - 1]) <= 32)
        --e;
    return std::string(field.substr(b, e - b));
}

bool ReadFileInfo(TagReaders& readers, const std::string& path, media::TTagRecord& record, std::string& info)
{
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return false;
    std::memset(&record, 0, sizeof record);
    const std::filesystem::path p(path);
    std::string ext = media::asciiLower(p.extension().string());
    if (media::asciiLower(p.filename().string()) == "line.in")
        ext = ".mp3";

    if (ext == ".mp3") {
        std::memcpy(record.Kind, "TAG", 3);
        // One open for the tag record and the frame reader with its two tag readers.
        const media::InputFile file(path);
        const bool found = media::ReadTagRecord(file, record);
        readers.mpeg->ReadInfo(file);
        info = readers.mpeg->ChannelModeName() + "   " + std::to_string(readers.mpeg->BitRate()) + "kbit   " +
               std::to_string(readers.mpeg->SampleRate()) + "Hz";
        return found;
    }
    if (ext == ".wav") {
        const bool found = media::ReadTagRecord(path, record);
        std::memcpy(record.Kind, "TAG", 3);
        readers.wav->ReadInfo(path);
        info = readers.wav->ChannelModeName() + "   " + std::to_string(readers.wav->SampleRate) + "Hz   " +
               std::to_string(readers.wav->BytesPerSecond) + " BytesPerSec";
        return found;
    }
    if (ext == ".ogg") {
        media::TOggVorbis& ogg = *readers.ogg;
        if (!ogg.ReadInfo(path) || !ogg.Valid())
            return false;
        std::memcpy(record.Kind, "OGG", 3);
        putField(record.Title, sizeof record.Title, ogg.Title);
        putField(record.Artist, sizeof record.Artist, ogg.Artist);
        putField(record.Comment, sizeof record.Comment, ogg.Comment);
        record.Genre.assign(platform::utf8ToCp1251(ogg.Genre));
        info = ogg.ChannelModeName() + "   " + std::to_string(ogg.BitRate()) + "kbit   " +
               std::to_string(ogg.SampleRate) + "Hz";
        return true;
    }
    if (ext == ".wma") {
        media::TWMAfile& wma = *readers.wma;
        if (!wma.ReadInfo(path) || !wma.Valid)
            return false;
        std::memcpy(record.Kind, "WMA", 3);
        putField(record.Title, sizeof record.Title, wma.Title);
        putField(record.Artist, sizeof record.Artist, wma.Artist);
        putField(record.Comment, sizeof record.Comment, wma.Comment);
        putField(record.Year, sizeof record.Year, wma.Year);
        record.Genre.assign(platform::utf8ToCp1251(wma.Genre));
        info = wma.ChannelModeName() + "   " + std::to_string(wma.BitRate) + "kbit   " +
               std::to_string(wma.SampleRate) + "Hz";
        return true;
    }
    return false;
}

}  // namespace player
