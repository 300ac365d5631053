// Helpers of the playlist generator tests.
#include "sorbelttest.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace sorbelttest {

namespace {

template <std::size_t N>
void setPadded(media::ShortString<N>& field, std::string_view text, std::size_t length)
{
    std::memset(&field, 0, sizeof field);
    std::memcpy(field.chars, text.data(), std::min(text.size(), N));
    field.length = static_cast<std::uint8_t>(length);
}

}  // namespace

media::TTrackRecord makeRow(std::string_view artist, std::string_view title, std::string_view fileName,
                            std::int32_t durationMs)
{
    media::TTrackRecord row;
    std::memset(&row, 0, sizeof row);
    setPadded(row.Title, title, 30);
    setPadded(row.Artist, artist, 30);
    setPadded(row.Album, "", 30);
    setPadded(row.Year, "", 4);
    setPadded(row.Comment, "", 30);
    row.Genre.assign("Rock");
    row.FileName.assign(fileName);
    row.Duration = durationMs;
    row.Size = 1000;
    return row;
}

void writeDfs(const std::string& path, const std::vector<media::TTrackRecord>& rows, std::size_t tailBytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const auto& row : rows)
        out.write(reinterpret_cast<const char*>(&row), sizeof row);
    const std::string tail(tailBytes, 'x');
    out.write(tail.data(), static_cast<std::streamsize>(tail.size()));
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

platform::LResult RecordingWindow::windowProc(std::uint32_t msg, platform::WParam wParam, platform::LParam lParam)
{
    received.push_back({msg, wParam, lParam});
    if (onMessage)
        onMessage(received.back());
    return 0;
}

ScopedProgramFolder::ScopedProgramFolder()
{
    if (const char* old = std::getenv("QUORVALEN_PROGRAM_DIR")) {
        m_previous = old;
        m_hadPrevious = true;
    }
    setenv("QUORVALEN_PROGRAM_DIR", m_dir.path().toStdString().c_str(), 1);
}

ScopedProgramFolder::~ScopedProgramFolder()
{
    if (m_hadPrevious)
        setenv("QUORVALEN_PROGRAM_DIR", m_previous.c_str(), 1);
    else
        unsetenv("QUORVALEN_PROGRAM_DIR");
}

std::string ScopedProgramFolder::path() const
{
    return m_dir.path().toStdString() + "/";
}

bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

}  // namespace sorbelttest
