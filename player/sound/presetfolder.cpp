// Preset files: names checked, found without regard to case, read and written through the ini
// layer.
#include "player/sound/presetfolder.h"

#include "media/tag.h"
#include "platform/inifile.h"
#include "platform/programfolder.h"
#include "player/language/playertexts.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <algorithm>
#include <utility>

namespace player {

bool isValidPresetName(const std::string& name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return c == '/' || c == '\\' || u < 0x20 || u == 0x7F;
    });
}

std::string invalidPresetNameText(const std::string& name)
{
    return LanguageTexts().Text(PlayerText::InvalidPresetName, {name});
}

std::string unableToWriteText(const std::string& path)
{
    return "Unable to write to " + path;
}

PresetFolder::PresetFolder(std::string folder, std::string extension, std::string section)
    : m_folder(std::move(folder)), m_extension(std::move(extension)), m_section(std::move(section))
{
}

std::string PresetFolder::path() const
{
    return platform::programPath("Presets/" + m_folder) + "/";
}

std::vector<std::string> PresetFolder::names() const
{
    std::vector<std::string> list;
    media::ListFilesByExtension(path(), m_extension, list);
    return list;
}

std::string PresetFolder::find(const std::string& name) const
{
    if (!isValidPresetName(name))
        return {};
    const QString wanted = QString::fromStdString(name + "." + m_extension);
    const QDir dir(QString::fromStdString(path()));
    const QStringList entries = dir.entryList(QDir::Files | QDir::Readable, QDir::Name);
    // The exact spelling first, so that of two names differing only in case each finds its own.
    if (entries.contains(wanted))
        return dir.filePath(wanted).toStdString();
    for (const QString& entry : entries)
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry).toStdString();
    return {};
}

long PresetFolder::load(const std::string& name, void* dst, std::size_t size) const
{
    const std::string file = find(name);
    if (file.empty())
        return -1;
    const platform::IniFile ini(file);
    return static_cast<long>(ini.readBinary(m_section, "Settings", dst, size));
}

bool PresetFolder::save(const std::string& name, const void* src, std::size_t size, std::string& written) const
{
    written = path() + name + "." + m_extension;
    if (!isValidPresetName(name))
        return false;
    if (const std::string existing = find(name); !existing.empty())
        written = existing;
    QDir().mkpath(QString::fromStdString(path()));
    platform::IniFile ini(written, platform::IniFile::Mode::Buffered);
    ini.writeBinary(m_section, "Settings", src, size);
    return ini.flush();
}

bool PresetFolder::remove(const std::string& name) const
{
    if (!isValidPresetName(name))
        return false;
    if (const std::string file = find(name); !file.empty())
        QFile::remove(QString::fromStdString(file));
    return true;
}

PresetFolder equalizerPresets()
{
    return PresetFolder("Equalizer", "eqp", "Equalizer");
}

PresetFolder crossfadePresets()
{
    return PresetFolder("Crossfade", "crp", "Crossfade");
}

}  // namespace player
