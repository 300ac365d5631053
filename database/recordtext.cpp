// Decoding, case folding and formatting of track-record fields.
#include "database/recordtext.h"

#include "media/tag.h"
#include "platform/cp1251.h"

#include <array>
#include <cstdio>
#include <cstring>

namespace database {

namespace {

template <std::size_t N>
std::string_view upToZero(const media::ShortString<N>& s)
{
    const std::size_t len = std::min<std::size_t>(s.length, N);  // a corrupt length byte is clamped
    const void* zero = std::memchr(s.chars, 0, len);
    return std::string_view(s.chars, zero ? static_cast<const char*>(zero) - s.chars : len);
}

// Latin and Cyrillic letters of code page 1251 mapped to the other case; other bytes unchanged.
std::array<unsigned char, 256> makeCaseTable(bool upper)
{
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c) {
        t[c] = static_cast<unsigned char>(c);
        if (c < 0x80) {
            if (upper && c >= 'a' && c <= 'z')
                t[c] = static_cast<unsigned char>(c - 'a' + 'A');
            if (!upper && c >= 'A' && c <= 'Z')
                t[c] = static_cast<unsigned char>(c - 'A' + 'a');
            continue;
        }
        const char byte = static_cast<char>(c);
        const QString text = QString::fromStdString(platform::cp1251ToUtf8(std::string_view(&byte, 1)));
        const std::string back = platform::utf8ToCp1251((upper ? text.toUpper() : text.toLower()).toStdString());
        if (back.size() == 1 && back[0] != '?')
            t[c] = static_cast<unsigned char>(back[0]);
    }
    return t;
}

}  // namespace

const std::array<unsigned char, 256>& cp1251UpperTable()
{
    static const std::array<unsigned char, 256> table = makeCaseTable(true);
    return table;
}

const std::array<unsigned char, 256>& cp1251LowerTable()
{
    static const std::array<unsigned char, 256> table = makeCaseTable(false);
    return table;
}

unsigned char cp1251Upper(unsigned char c) { return cp1251UpperTable()[c]; }

std::string_view storedBytes(const TTrackRecord& r, Field f)
{
    switch (f) {
    case Field::Title: return upToZero(r.Title);
    case Field::Artist: return upToZero(r.Artist);
    case Field::Album: return upToZero(r.Album);
    case Field::Year: return upToZero(r.Year);
    case Field::Genre: return upToZero(r.Genre);
    case Field::Comment: return upToZero(r.Comment);
    case Field::FileName: return upToZero(r.FileName);
    case Field::Time: break;
    }
    return {};
}

bool isCp1251Field(Field f) { return f != Field::FileName && f != Field::Time; }

QString fieldText(const TTrackRecord& r, Field f)
{
    if (f == Field::Time)
        return QString::fromStdString(media::FormatTimeShort(r.Duration));
    const std::string_view bytes = storedBytes(r, f);
    if (f == Field::FileName)
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return QString::fromStdString(platform::cp1251ToUtf8(bytes));
}

bool columnField(int column, Field* f)
{
    static constexpr Field kByColumn[] = {Field::Artist, Field::Title,   Field::Album, Field::Year,
                                          Field::Genre,  Field::Comment, Field::Time,  Field::FileName};
    if (column < 0 || column >= 8)
        return false;
    *f = kByColumn[column];
    return true;
}

QString columnText(const TTrackRecord& r, int column)
{
    Field f;
    if (columnField(column, &f))
        return fieldText(r, f);
    if (column == 8)
        return QString::number(r.Size);
    return {};
}

int colorSlot(const TTrackRecord& r)
{
    const std::string_view name = storedBytes(r, Field::FileName);
    const std::size_t slash = name.rfind('/');
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return 0;
    std::string ext(name.substr(dot));
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    if (ext == ".wma")
        return 1;
    if (ext == ".ogg")
        return 2;
    if (ext == ".wav")
        return 3;
    return 0;
}

std::string_view shownTime(std::int32_t ms, char* buf)
{
    const auto v = static_cast<std::uint32_t>(ms);
    if (v == 0)
        return "??:??";
    std::uint32_t minutes = (v / 1000) / 60;
    const std::uint32_t seconds = (v / 1000) % 60;
    char digits[12];
    int d = 0;
    do {
        digits[d++] = static_cast<char>('0' + minutes % 10);
        minutes /= 10;
    } while (minutes != 0);
    int len = 0;
    if (d < 2)
        buf[len++] = '0';
    while (d > 0)
        buf[len++] = digits[--d];
    buf[len++] = ':';
    buf[len++] = static_cast<char>('0' + seconds / 10);
    buf[len++] = static_cast<char>('0' + seconds % 10);
    return std::string_view(buf, static_cast<std::size_t>(len));
}

std::string formatTotalTime(std::int64_t ms)
{
    if (ms < 0)
        ms = 0;
    char text[48];
    std::snprintf(text, sizeof text, "%lld:%.2lld:%.2lld", static_cast<long long>(ms / 3600000),
                  static_cast<long long>((ms / 60000) % 60), static_cast<long long>((ms / 1000) % 60));
    return text;
}

}  // namespace database
