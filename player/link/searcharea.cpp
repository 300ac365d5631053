// Reading and writing the shared search area's slots.
#include "player/link/searcharea.h"

#include "media/tag.h"
#include "platform/cp1251.h"
#include "platform/pathtext.h"
#include "player/playlist/playlistrows.h"

#include <algorithm>
#include <cstring>

namespace player {

namespace {

constexpr std::size_t kSlot = sizeof(media::TTrackRecord);

template <std::size_t N>
std::string_view untilZero(const media::ShortString<N>& field, std::string& holder)
{
    holder = field.str();
    const std::size_t zero = holder.find('\0');
    if (zero != std::string::npos)
        holder.resize(zero);
    return holder;
}

template <std::size_t N>
QString tagText(const media::ShortString<N>& field)
{
    std::string holder;
    return QString::fromStdString(platform::cp1251ToUtf8(untilZero(field, holder)));
}

}  // namespace

void WriteSearchQuery(void* area, std::size_t areaSize, const QString& text)
{
    if (area == nullptr || areaSize < kSlot)
        return;
    const std::string bytes = platform::utf8ToCp1251(text.left(kMaxQueryChars).toStdString());
    media::ShortString<30> query{};
    query.assign(bytes);
    std::memcpy(area, &query, sizeof(query));
}

std::vector<controls::TVirtualItem> ReadSearchResults(const void* area, std::size_t areaSize, std::int64_t count)
{
    std::vector<controls::TVirtualItem> rows;
    if (area == nullptr || count <= 0 || areaSize < kSlot)
        return rows;
    const std::int64_t slotCount = static_cast<std::int64_t>(std::min(areaSize / kSlot, kSearchSlotCount)) - 1;
    const std::int64_t n = std::min({count, slotCount, kMaxSearchResults});
    rows.reserve(static_cast<std::size_t>(std::max<std::int64_t>(n, 0)));
    const auto* bytes = static_cast<const unsigned char*>(area);
    std::string holder;
    for (std::int64_t i = 1; i <= n; ++i) {
        // A copy, so the record is read once and aligned, whatever the other program does.
        media::TTrackRecord rec;
        std::memcpy(&rec, bytes + static_cast<std::size_t>(i) * kSlot, kSlot);
        controls::TVirtualItem row;
        row.Caption = tagText(rec.Artist);
        row.SubItems[0] = tagText(rec.Title);
        row.SubItems[1] = QString::fromStdString(media::FormatTimeShort(rec.Duration));
        // The file name holds the path's bytes as the file system gives them.
        row.SubItems[2] = platform::pathToQString(untilZero(rec.FileName, holder));
        rows.push_back(std::move(row));
    }
    return rows;
}

controls::TVirtualItem FoundRowToPlaylistRow(const controls::TVirtualItem& found, const QString& caption)
{
    controls::TVirtualItem row;
    row.Caption = caption;
    row.SubItems[kColName] = JoinArtistTitle(found.Caption, found.SubItems[0]);
    row.SubItems[kColDuration] = found.SubItems[1];
    row.SubItems[kColPath] = found.SubItems[2];
    row.ImageIndex = kImageOrdinary;
    return row;
}

}  // namespace player
