// Values of a profile that take more than one key or a record: a font (name, size, colour, style
// bits) and a list's column widths (sixteen int32 as a record). Shared by the hooks that keep them.
#pragma once

#include <QColor>
#include <QFont>

#include <array>
#include <cstdint>
#include <string_view>

namespace platform {
class IniFile;
}

namespace player {

struct ProfileFont {
    QString family;
    int pointSize = 8;
    QColor color;
    int styleBits = 0;  // 2 bold, 4 italic, 8 underline, 16 strike-out
};

constexpr int kMaxFontPoints = 200;

ProfileFont profileFontOf(const QFont& font, const QColor& color);
// Each key of the section over font: a missing key keeps what font holds, and so does a name that
// is empty or a size outside 1 to kMaxFontPoints; a Style that is present sets the style exactly.
void readProfileFont(const platform::IniFile& ini, std::string_view section, ProfileFont& font);
void writeProfileFont(platform::IniFile& ini, std::string_view section, const ProfileFont& font);
// base with the family, size and style of font.
QFont applyProfileFont(QFont base, const ProfileFont& font);

using ColumnWidths = std::array<std::int32_t, 16>;
constexpr int kMaxColumnWidth = 10000;

// The record (little-endian int32 in column order) over widths: a short value replaces only the
// first bytes, a missing one nothing.
void readColumnWidths(const platform::IniFile& ini, std::string_view key, ColumnWidths& widths);
void writeColumnWidths(platform::IniFile& ini, std::string_view key, const ColumnWidths& widths);

}  // namespace player
