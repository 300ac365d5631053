// The tag page's save: record from the page's fields, genre byte, and the writer of each type.
#include "player/tagpage/tagwriter.h"

#include "media/oggvorbis.h"
#include "media/tag.h"
#include "media/textutil.h"
#include "platform/cp1251.h"
#include "player/fileinfo.h"

#include <QString>

#include <cstring>
#include <filesystem>

namespace player {

namespace {

// A changed field into its place in the record; an untouched one stays zero.
template <std::size_t N>
void putField(char (&field)[N], const TagPageField& f)
{
    if (!f.changed())
        return;
    const std::string bytes = f.text.empty() ? std::string(" ") : platform::utf8ToCp1251(f.text);
    media::CopyToBuffer(bytes, field, static_cast<int>(N) - 1);
}

// An edited Ogg value from a record field; false when the field is zero (left alone).
bool oggValue(std::string_view field, std::string& value)
{
    if (field.empty() || field[0] == '\0')
        return false;
    value = platform::cp1251ToUtf8(TrimTagField(field));
    return true;
}

}  // namespace

int TagFileTypeOf(const std::string& path)
{
    const std::string ext = media::asciiLower(std::filesystem::path(path).extension().string());
    if (ext == ".mp3")
        return kTagMp3;
    if (ext == ".wav")
        return kTagWav;
    if (ext == ".ogg")
        return kTagOgg;
    if (ext == ".wma")
        return kTagWma;
    return kTagNone;
}

bool TagTypeWritable(int type)
{
    return type == kTagMp3 || type == kTagWav || type == kTagOgg;
}

std::uint8_t GenreNumberOf(std::string_view name)
{
    const QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).trimmed();
    if (text.isEmpty())
        return media::kNoGenre;
    for (int i = 0; i < media::kGenreCount; ++i) {
        const std::string_view genre = media::GenreName(i);
        if (text.compare(QString::fromLatin1(genre.data(), static_cast<qsizetype>(genre.size())), Qt::CaseInsensitive) == 0)
            return static_cast<std::uint8_t>(i);
    }
    return media::kNoGenre;
}

media::TTagRecord TagRecordForSave(const TagPageEdits& edits)
{
    media::TTagRecord record{};
    std::memcpy(record.Kind, edits.tagWanted ? "TAG" : "000", 3);
    putField(record.Title, edits.title);
    putField(record.Artist, edits.artist);
    putField(record.Album, edits.album);
    putField(record.Year, edits.year);
    putField(record.Comment, edits.comment);
    if (edits.genre.changed())
        record.Genre.assign(edits.genre.text.empty() ? std::string(" ") : platform::utf8ToCp1251(edits.genre.text));
    return record;
}

std::uint8_t GenreForSave(const TagPageEdits& edits)
{
    if (!edits.genre.changed() && edits.fileHadTag)
        return kKeepGenre;
    return GenreNumberOf(edits.genre.text);
}

bool WriteFileTag(TagReaders& readers, int type, const std::string& path, const media::TTagRecord& record,
                  std::uint8_t genre)
{
    switch (type) {
    case kTagMp3:
    case kTagWav:
        media::WriteTagRecord(path, record, genre);
        return true;
    case kTagOgg: {
        // The reader is shared with every other file the window reads: its fields are taken from
        // the file being saved, never left over from the last one read.
        media::TOggVorbis& ogg = *readers.ogg;
        if (!ogg.ReadInfo(path) || !ogg.Valid())
            return false;
        oggValue(std::string_view(record.Title, sizeof record.Title), ogg.Title);
        oggValue(std::string_view(record.Artist, sizeof record.Artist), ogg.Artist);
        oggValue(std::string_view(record.Comment, sizeof record.Comment), ogg.Comment);
        oggValue(record.Genre.str(), ogg.Genre);
        return ogg.WriteTag(path);
    }
    default:
        return false;
    }
}

}  // namespace player
