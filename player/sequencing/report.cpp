// The daily play report file.
#include "player/sequencing/report.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace player {

PlayReport::PlayReport(std::string programFolder, Clock clock) : m_folder(std::move(programFolder)), m_clock(std::move(clock))
{
    if (!m_folder.empty() && m_folder.back() != '/')
        m_folder += '/';
}

std::string PlayReport::fileName(const QDate& date) const
{
    char name[64];
    std::snprintf(name, sizeof name, "Report/%.2d-%.2d-%.4d.txt", date.day(), date.month(), date.year());
    return m_folder + name;
}

std::string PlayReport::line(const QTime& time, const std::string& name)
{
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%.2d:%.2d:%.2d    ", time.hour(), time.minute(), time.second());
    return stamp + name;
}

std::string PlayReport::write(const std::string& name)
{
    const QDateTime now = m_clock();
    const std::string text = line(now.time(), name);
    QFile file(QString::fromStdString(fileName(now.date())));
    if (file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        const std::string withEnd = text + "\r\n";
        file.write(withEnd.data(), static_cast<qint64>(withEnd.size()));
    }
    return text;
}

std::string PlayReport::folder() const
{
    return m_folder + "Report";
}

bool PlayReport::ensureFolder() const
{
    return QDir().mkpath(QString::fromStdString(folder()));
}

std::vector<std::string> PlayReport::todayLines() const
{
    std::vector<std::string> lines;
    QFile file(QString::fromStdString(fileName(m_clock().date())));
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    while (!file.atEnd()) {
        QByteArray l = file.readLine();
        while (l.endsWith('\n') || l.endsWith('\r'))
            l.chop(1);
        lines.emplace_back(l.constData(), static_cast<std::size_t>(l.size()));
    }
    return lines;
}

}  // namespace player
