// "Base.ini": the database program's options, list font, preview volume and last base.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace platform {
class IniFile;
}

namespace database {

struct BaseOptions {
    // Row text colours by file type (0x00BBGGRR): [0] MP3 and others, [1] WMA, [2] OGG, [3] WAV.
    std::array<std::uint32_t, 4> Colors = {0x000000, 0x000080, 0x800000, 0x008000};
    bool NoEmpty = true;
    bool NoError = true;
    bool CheckTimeOnce = true;
    bool OverwriteOnCopy = false;
    bool OpenLastBase = false;
    bool Tag_NoChangeGenre = false;
    bool QSearch = true;
    bool CountTime = true;
    std::int32_t Volume = 100;
    std::int32_t MonType = 3;
    std::int32_t Color1 = 128;  // read, never written
    std::string FontName;       // empty: the list's own font
    std::int32_t FontSize = 0;  // 0: the list's own size; at most 96
    std::int32_t FontStyle = 0; // 2 bold, 4 italic, 8 underline, 16 strike-out
    std::string LastBaseName = "---";
};

// Reads every key with the current value of opts as its default (the window's design font).
void readBaseOptions(const platform::IniFile& ini, BaseOptions& opts);
// Writes every key but Color1 into a buffered ini; the caller flushes.
void writeBaseOptions(platform::IniFile& ini, const BaseOptions& opts);

}  // namespace database
