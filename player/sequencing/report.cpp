// The daily play report file.
#include "player/sequencing/report.h"

#include "platform/regularfile.h"

#include <QDir>

#include <cerrno>
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
    appendLine(fileName(now.date()), text + "\r\n");
    return text;
}

void PlayReport::appendLine(const std::string& path, const std::string& bytes)
{
    // Whatever stands under the day's name, the start never waits on it (a FIFO would wait for a
    // reader) and writes into nothing but a file.
    constexpr int kFlags = O_WRONLY | O_APPEND | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    bool made = false;
    int fd = ::open(path.c_str(), kFlags);
    if (fd < 0 && errno == ENOENT) {
        fd = ::open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0644);
        made = fd >= 0;
        if (fd < 0 && errno == EEXIST)
            fd = ::open(path.c_str(), kFlags);
    }
    if (fd < 0)
        return;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    // A line that did not fit (a full disk) is taken back whole, and a day's file made for it goes
    // again: no half line, no empty file. Only while nothing else was appended meanwhile.
    struct stat now {};
    if (done < bytes.size() && ::fstat(fd, &now) == 0 && now.st_size == st.st_size + static_cast<off_t>(done)) {
        if (made) {
            ::unlink(path.c_str());
        } else if (done > 0) {
            [[maybe_unused]] const int rc = ::ftruncate(fd, st.st_size);
        }
    }
    ::close(fd);
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
