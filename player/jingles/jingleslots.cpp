// Jingle menu captions, the decks' lowering and jingle list files.
#include "player/jingles/jingleslots.h"

#include "platform/inifile.h"

#include <algorithm>

namespace player {

QString jingleMenuCaption(int slot, const QString& path)
{
    QString caption = QString::number(slot);
    if (!path.isEmpty())
        caption += QLatin1Char(' ') + QString(path).replace(QLatin1Char('&'), QStringLiteral("&&"));
    return caption;
}

std::optional<int> JingleDucking::opened(int onAirLevel)
{
    ++m_open;
    if (m_ducked || onAirLevel >= 100)
        return std::nullopt;
    m_ducked = true;
    return std::max(onAirLevel, 0);
}

std::optional<int> JingleDucking::closed()
{
    if (m_open > 0)
        --m_open;
    if (m_open > 0 || !m_ducked)
        return std::nullopt;
    m_ducked = false;
    return 100;
}

std::array<QString, 9> readJingleList(const std::string& path)
{
    std::array<QString, 9> paths;
    const platform::IniFile ini(path);
    for (std::size_t k = 0; k < paths.size(); ++k)
        paths[k] = QString::fromStdString(ini.readString("Jingles", "Path" + std::to_string(k + 1), ""));
    return paths;
}

bool writeJingleList(const std::string& path, const std::array<QString, 9>& paths)
{
    platform::IniFile ini(path, platform::IniFile::Mode::Buffered);
    for (std::size_t k = 0; k < paths.size(); ++k)
        ini.writeString("Jingles", "Path" + std::to_string(k + 1), paths[k].toStdString());
    return ini.flush();
}

}  // namespace player
