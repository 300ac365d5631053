// The daily play report file.
#include "player/sequencing/report.h"

#include "platform/regularfile.h"

#include <QDir>

#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    // Appended at every start of a track: whatever stands under the day's name, the start never
    // waits on it (a FIFO would wait for a reader) and writes into nothing but a file.
    const int fd = ::open(fileName(now.date()).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY,
                          0644);
    if (fd >= 0) {
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
            const std::string withEnd = text + "\r\n";
            [[maybe_unused]] const ssize_t n = ::write(fd, withEnd.data(), withEnd.size());
        }
        ::close(fd);
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
    std::string bytes;
    if (platform::readRegularFile(fileName(m_clock().date()), platform::kMaxSettingsFileBytes, bytes) !=
        platform::FileRead::Ok)
        return lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::size_t last = end;
        while (last > start && (bytes[last - 1] == '\r' || bytes[last - 1] == '\n'))
            --last;
        lines.emplace_back(bytes, start, last - start);
        start = end + 1;
    }
    return lines;
}

}  // namespace player
