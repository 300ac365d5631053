// Reading and writing "Base.ini".
#include "database/baseoptions.h"

#include "platform/inifile.h"

#include <algorithm>

namespace database {

namespace {
constexpr const char* kOptions = "Options";
constexpr std::int32_t kMaxFontSize = 96;
constexpr std::int32_t kFontStyleBits = 2 | 4 | 8 | 16;
}  // namespace

void readBaseOptions(const platform::IniFile& ini, BaseOptions& o)
{
    std::uint8_t colors[16];
    for (int i = 0; i < 4; ++i)
        for (int b = 0; b < 4; ++b)
            colors[i * 4 + b] = static_cast<std::uint8_t>(o.Colors[i] >> (8 * b));
    ini.readBinary(kOptions, "Colors", colors, sizeof colors);
    for (int i = 0; i < 4; ++i)
        o.Colors[i] = static_cast<std::uint32_t>(colors[i * 4]) | static_cast<std::uint32_t>(colors[i * 4 + 1]) << 8 |
                      static_cast<std::uint32_t>(colors[i * 4 + 2]) << 16 |
                      static_cast<std::uint32_t>(colors[i * 4 + 3]) << 24;
    o.NoEmpty = ini.readBool(kOptions, "NoEmpty", true);
    o.NoError = ini.readBool(kOptions, "NoError", true);
    o.CheckTimeOnce = ini.readBool(kOptions, "CheckTimeOnce", true);
    o.OverwriteOnCopy = ini.readBool(kOptions, "OverwriteOnCopy", false);
    o.OpenLastBase = ini.readBool(kOptions, "OpenLastBase", false);
    o.Tag_NoChangeGenre = ini.readBool(kOptions, "Tag_NoChangeGenre", false);
    o.QSearch = ini.readBool(kOptions, "QSearch", true);
    o.CountTime = ini.readBool(kOptions, "CountTime", true);
    // Every number within its range here, so nothing that uses one can overflow or index past.
    o.Volume = std::clamp(ini.readInteger(kOptions, "Volume", 100), 0, 100);
    o.MonType = std::clamp(ini.readInteger(kOptions, "MonType", 3), 0, 3);
    o.Color1 = std::clamp(ini.readInteger(kOptions, "Color1", 128), 0, 0xFFFFFF);
    o.FontName = ini.readString("Font", "Name", o.FontName);
    o.FontSize = std::clamp(ini.readInteger("Font", "Size", o.FontSize), 0, kMaxFontSize);
    o.FontStyle = ini.readInteger("Font", "Style", 0) & kFontStyleBits;
    o.LastBaseName = ini.readString("Data", "LastBaseName", "---");
}

void writeBaseOptions(platform::IniFile& ini, const BaseOptions& o)
{
    ini.writeBool(kOptions, "NoEmpty", o.NoEmpty);
    ini.writeBool(kOptions, "NoError", o.NoError);
    ini.writeBool(kOptions, "CheckTimeOnce", o.CheckTimeOnce);
    ini.writeBool(kOptions, "OverwriteOnCopy", o.OverwriteOnCopy);
    ini.writeBool(kOptions, "OpenLastBase", o.OpenLastBase);
    ini.writeBool(kOptions, "Tag_NoChangeGenre", o.Tag_NoChangeGenre);
    ini.writeBool(kOptions, "QSearch", o.QSearch);
    ini.writeBool(kOptions, "CountTime", o.CountTime);
    ini.writeString("Data", "LastBaseName", o.LastBaseName);
    ini.writeInteger(kOptions, "Volume", o.Volume);
    ini.writeInteger(kOptions, "MonType", o.MonType);
    std::uint8_t colors[16];
    for (int i = 0; i < 4; ++i)
        for (int b = 0; b < 4; ++b)
            colors[i * 4 + b] = static_cast<std::uint8_t>(o.Colors[i] >> (8 * b));
    ini.writeBinary(kOptions, "Colors", colors, sizeof colors);
    ini.writeString("Font", "Name", o.FontName);
    ini.writeInteger("Font", "Size", o.FontSize);
    ini.writeInteger("Font", "Style", o.FontStyle);
}

}  // namespace database
