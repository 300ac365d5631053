// The encoder presets, "Presets\Encoder.prs": a plain sequence of 366-byte records (name, the
// command handed to the encoder, the target extension), no header, in list order.
#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace player {

struct EncoderPreset {
    QString Name;     // at most 100 bytes in the file
    QString Command;  // at most 255: the plug-in of the encoder, under its "plugins" folder
    QString Ext;      // at most 8: the extension the encoder gives its output
};

inline constexpr std::size_t kEncoderPresetSize = 366;
inline constexpr std::size_t kPresetNameField = 101;
inline constexpr std::size_t kPresetCommandField = 256;
inline constexpr std::size_t kPresetExtField = 9;

using EncoderPresetRecord = std::array<char, kEncoderPresetSize>;

// A file far longer than any preset list is not one: no more records than this are read.
inline constexpr int kMaxEncoderPresets = 45000;

// A preset as a record. Each text goes in as code page 1251 when it can, else as UTF-8 (a
// plug-in path may hold any character), cut to its field at a character's end.
EncoderPresetRecord encodePreset(const EncoderPreset& preset);
// A length byte larger than its field is taken as the whole field; bytes past a length mean nothing.
EncoderPreset decodePreset(const EncoderPresetRecord& record);

// The preset as "Add" and "Save" store it: each text cut to what its field holds.
EncoderPreset cutToFields(const EncoderPreset& preset);

// The records of the file in order; a trailing piece shorter than a record is ignored. A missing
// file is an empty list; a file that exists but cannot be read gives nothing.
std::optional<std::vector<EncoderPreset>> readEncoderPresets(const std::string& path);
// Replaces the file with these records (a temporary file renamed into place); false on failure,
// the old file then stays as it was.
bool writeEncoderPresets(const std::string& path, const std::vector<EncoderPreset>& presets);

}  // namespace player
