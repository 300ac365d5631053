// Writing track records as extended M3U text.
#include "media/m3uexport.h"

#include "media/textutil.h"
#include "platform/cp1251.h"

namespace media {

namespace {

// Artist and title share the "#EXTINF:" line: a line break or tab inside them becomes a blank.
std::string lineText(std::string_view raw)
{
    std::string text = m3uFieldText(raw);
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 32)
            c = ' ';
    }
    return platform::cp1251ToUtf8(text);
}

}  // namespace

std::int64_t m3uSeconds(std::int32_t durationMs)
{
    // Rounded to the nearest whole second, halves to the even neighbour, the same on both sides
    // of zero: -2500 ms is -2 s and -3500 ms is -4 s, as 2500 ms is 2 s and 3500 ms is 4 s.
    std::int64_t seconds = durationMs / 1000;
    const std::int32_t rest = durationMs % 1000;
    const std::int32_t away = rest < 0 ? -rest : rest;
    if (away > 500 || (away == 500 && seconds % 2 != 0))
        seconds += rest < 0 ? -1 : 1;
    return seconds;
}

std::string m3uFieldText(std::string_view raw)
{
    const std::size_t nul = raw.find('\0');
    if (nul != std::string_view::npos)
        raw = raw.substr(0, nul);
    return std::string(trimText(raw));
}

M3uText::M3uText() : m_text("#EXTM3U\r\n") {}

bool M3uText::add(const TTrackRecord& row)
{
    const std::string path = m3uFieldText(row.FileName.str());
    if (path.find_first_of("\r\n") != std::string::npos || !platform::isValidUtf8(path))
        return false;
    m_text += "#EXTINF:";
    m_text += std::to_string(m3uSeconds(row.Duration));
    m_text += ',';
    m_text += lineText(row.Artist.str());
    m_text += " - ";
    m_text += lineText(row.Title.str());
    m_text += "\r\n";
    m_text += path;
    m_text += "\r\n";
    return true;
}

std::string m3uText(std::span<const TTrackRecord> rows)
{
    M3uText out;
    for (const TTrackRecord& row : rows)
        out.add(row);
    return out.text();
}

}  // namespace media
