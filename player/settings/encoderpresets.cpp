// Reading and writing "Presets\Encoder.prs".
#include "player/settings/encoderpresets.h"

#include "platform/cp1251.h"
#include "platform/regularfile.h"
#include "platform/savefile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace player {

namespace {

// The text's bytes for a field of `capacity` bytes: code page 1251 when every character has a
// place there, else UTF-8, cut where a character ends.
std::string fieldBytes(const QString& text, std::size_t capacity)
{
    const std::string utf8 = text.toStdString();
    const std::string cp = platform::utf8ToCp1251(utf8);
    if (platform::cp1251ToUtf8(cp) == utf8)
        return cp.substr(0, capacity);
    std::size_t end = std::min(capacity, utf8.size());
    // Back to the first byte of a character (UTF-8 continuation bytes are 10xxxxxx).
    while (end > 0 && end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
        --end;
    return utf8.substr(0, end);
}

void putField(EncoderPresetRecord& record, std::size_t offset, std::size_t size, const QString& text)
{
    const std::string bytes = fieldBytes(text, size - 1);
    record[offset] = static_cast<char>(bytes.size());
    std::memcpy(record.data() + offset + 1, bytes.data(), bytes.size());
}

QString getField(const EncoderPresetRecord& record, std::size_t offset, std::size_t size)
{
    const std::size_t length = std::min<std::size_t>(static_cast<unsigned char>(record[offset]), size - 1);
    return QString::fromStdString(platform::decodeText(std::string_view(record.data() + offset + 1, length)));
}

constexpr std::size_t kNameAt = 0;
constexpr std::size_t kCommandAt = kNameAt + kPresetNameField;
constexpr std::size_t kExtAt = kCommandAt + kPresetCommandField;
static_assert(kExtAt + kPresetExtField == kEncoderPresetSize);

}  // namespace

EncoderPresetRecord encodePreset(const EncoderPreset& preset)
{
    EncoderPresetRecord record{};
    putField(record, kNameAt, kPresetNameField, preset.Name);
    putField(record, kCommandAt, kPresetCommandField, preset.Command);
    putField(record, kExtAt, kPresetExtField, preset.Ext);
    return record;
}

EncoderPreset decodePreset(const EncoderPresetRecord& record)
{
    return {getField(record, kNameAt, kPresetNameField), getField(record, kCommandAt, kPresetCommandField),
            getField(record, kExtAt, kPresetExtField)};
}

EncoderPreset cutToFields(const EncoderPreset& preset)
{
    return decodePreset(encodePreset(preset));
}

std::optional<std::vector<EncoderPreset>> readEncoderPresets(const std::string& path)
{
    // A file far larger than any preset list (it has room for 101 presets) is not one.
    std::string bytes;
    switch (platform::readRegularFile(path, platform::kMaxSettingsFileBytes, bytes)) {
    case platform::FileRead::Missing:
        return std::vector<EncoderPreset>{};
    case platform::FileRead::Refused:
        return std::nullopt;
    case platform::FileRead::Ok:
        break;
    }
    std::vector<EncoderPreset> presets;
    const auto count = static_cast<std::size_t>(bytes.size()) / kEncoderPresetSize;
    presets.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        EncoderPresetRecord record;
        std::memcpy(record.data(), bytes.data() + i * kEncoderPresetSize, kEncoderPresetSize);
        presets.push_back(decodePreset(record));
    }
    return presets;
}

bool writeEncoderPresets(const std::string& path, const std::vector<EncoderPreset>& presets)
{
    const QString name = QString::fromStdString(path);
    if (!QDir().mkpath(QFileInfo(name).absolutePath()))
        return false;
    // Whole or not at all: on a full disk the presets saved before stay.
    std::string bytes;
    bytes.reserve(presets.size() * kEncoderPresetSize);
    for (const EncoderPreset& preset : presets) {
        const EncoderPresetRecord record = encodePreset(preset);
        bytes.append(record.data(), kEncoderPresetSize);
    }
    return platform::saveFile(path, bytes);
}

}  // namespace player
