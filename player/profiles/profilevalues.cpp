// Fonts and column widths in a profile.
#include "player/profiles/profilevalues.h"

#include "platform/inifile.h"
#include "platform/usermessagesqt.h"

namespace player {
namespace {

enum : int { kBold = 2, kItalic = 4, kUnderline = 8, kStrikeOut = 16 };

constexpr std::string_view kColumns = "Columns";

using ColumnBytes = std::array<unsigned char, sizeof(ColumnWidths)>;

ColumnBytes toBytes(const ColumnWidths& widths)
{
    ColumnBytes bytes{};
    for (std::size_t c = 0; c < widths.size(); ++c)
        for (std::size_t b = 0; b < 4; ++b)
            bytes[4 * c + b] = static_cast<unsigned char>(static_cast<std::uint32_t>(widths[c]) >> (8 * b));
    return bytes;
}

}  // namespace

ProfileFont profileFontOf(const QFont& font, const QColor& color)
{
    ProfileFont f;
    f.family = font.family();
    f.pointSize = font.pointSize();
    f.color = color;
    f.styleBits = (font.bold() ? kBold : 0) | (font.italic() ? kItalic : 0) | (font.underline() ? kUnderline : 0) |
                  (font.strikeOut() ? kStrikeOut : 0);
    return f;
}

void readProfileFont(const platform::IniFile& ini, std::string_view section, ProfileFont& font)
{
    const std::string name = ini.readString(section, "Name", font.family.toStdString());
    if (!name.empty())
        font.family = QString::fromStdString(name);
    const int size = ini.readInteger(section, "Size", font.pointSize);
    if (size >= 1 && size <= kMaxFontPoints)
        font.pointSize = size;
    const auto rgb = platform::qtmessages::fromQColor(font.color);
    font.color = platform::qtmessages::toQColor(
        static_cast<std::uint32_t>(ini.readInteger(section, "Color", static_cast<std::int32_t>(rgb))));
    if (ini.valueExists(section, "Style"))
        font.styleBits = ini.readInteger(section, "Style", 0);
}

void writeProfileFont(platform::IniFile& ini, std::string_view section, const ProfileFont& font)
{
    ini.writeString(section, "Name", font.family.toStdString());
    ini.writeInteger(section, "Size", font.pointSize);
    ini.writeInteger(section, "Color", static_cast<std::int32_t>(platform::qtmessages::fromQColor(font.color)));
    ini.writeInteger(section, "Style", font.styleBits);
}

QFont applyProfileFont(QFont base, const ProfileFont& font)
{
    base.setFamily(font.family);
    if (font.pointSize >= 1 && font.pointSize <= kMaxFontPoints)
        base.setPointSize(font.pointSize);
    base.setBold((font.styleBits & kBold) != 0);
    base.setItalic((font.styleBits & kItalic) != 0);
    base.setUnderline((font.styleBits & kUnderline) != 0);
    base.setStrikeOut((font.styleBits & kStrikeOut) != 0);
    return base;
}

void readColumnWidths(const platform::IniFile& ini, std::string_view key, ColumnWidths& widths)
{
    ColumnBytes bytes = toBytes(widths);
    ini.readBinary(kColumns, key, bytes.data(), bytes.size());
    for (std::size_t c = 0; c < widths.size(); ++c) {
        std::uint32_t v = 0;
        for (std::size_t b = 0; b < 4; ++b)
            v |= static_cast<std::uint32_t>(bytes[4 * c + b]) << (8 * b);
        widths[c] = static_cast<std::int32_t>(v);
    }
}

void writeColumnWidths(platform::IniFile& ini, std::string_view key, const ColumnWidths& widths)
{
    const ColumnBytes bytes = toBytes(widths);
    ini.writeBinary(kColumns, key, bytes.data(), bytes.size());
}

}  // namespace player
