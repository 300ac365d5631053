// Helpers for tests and benchmarks that run the real programs of the build's program folder: a
// generated database file, a launcher that starts the real executables and remembers their
// process ids, and waiting while this process keeps serving its messages.
#pragma once

#include "media/records.h"
#include "platform/process.h"
#include "player/link/linkprograms.h"

#include <QCoreApplication>
#include <QThread>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <sys/types.h>
#include <sys/wait.h>

namespace linktest {

// Row i of the generated bases: Latin and Cyrillic texts in both cases, distinct paths.
inline media::TTrackRecord baseRow(int i)
{
    media::TTrackRecord r{};
    static const char* const kArtists[] = {"The Beatles", "\xCA\xC8\xCD\xCE", "\xea\xe8\xed\xee band", "BEAT crew",
                                           "Nobody"};  // "КИНО", "кино band"
    r.Artist.assign(kArtists[i % 5]);
    r.Title.assign("Song " + std::to_string(i));
    r.Album.assign("Album " + std::to_string(i / 10));
    r.Year.assign(std::to_string(1960 + i % 60));
    r.Genre.assign("Rock");
    r.FileName.assign("/music/track" + std::to_string(i) + ".mp3");
    r.Duration = 60000 + (i % 300) * 1000;
    r.Size = 1000 + i;
    return r;
}

inline std::vector<media::TTrackRecord> writeBase(const std::string& path, int rows,
                                                  const std::function<void(int, media::TTrackRecord&)>& change = {})
{
    std::vector<media::TTrackRecord> all;
    all.reserve(static_cast<std::size_t>(rows));
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < rows; ++i) {
        media::TTrackRecord r = baseRow(i);
        if (change)
            change(i, r);
        out.write(reinterpret_cast<const char*>(&r), sizeof(r));
        all.push_back(r);
    }
    return all;
}

// Starts "Base" and "Sorbelt" from the build's program folder.
class RealLauncher {
public:
    player::ProgramLauncher launcher()
    {
        return [this](std::string_view program, const std::vector<std::string>& args) {
            const auto pid = platform::startProgram(std::string(QV_BIN_DIR "/") + std::string(program), args);
            if (pid)
                started.emplace_back(std::string(program), *pid);
            return pid.has_value();
        };
    }
    std::int64_t lastPid(std::string_view program) const
    {
        for (auto it = started.rbegin(); it != started.rend(); ++it)
            if (it->first == program)
                return it->second;
        return 0;
    }
    int count(std::string_view program) const
    {
        int n = 0;
        for (const auto& s : started)
            n += s.first == program ? 1 : 0;
        return n;
    }
    std::vector<std::pair<std::string, std::int64_t>> started;
};

// Detached children are not ours to reap; a zombie does not count as running.
inline bool processRunning(std::int64_t pid)
{
    if (pid <= 0 || ::kill(static_cast<pid_t>(pid), 0) != 0)
        return false;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const std::size_t close = line.rfind(')');
    return close == std::string::npos || close + 2 >= line.size() || line[close + 2] != 'Z';
}

// Waits until done() holds, serving this thread's events meanwhile.
inline bool waitUntil(const std::function<bool()>& done, int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (done())
            return true;
        QThread::msleep(10);
    }
    return done();
}

inline void endProcess(std::int64_t pid)
{
    if (!processRunning(pid))
        return;
    ::kill(static_cast<pid_t>(pid), SIGTERM);
    if (!waitUntil([pid] { return !processRunning(pid); }, 3000))
        ::kill(static_cast<pid_t>(pid), SIGKILL);
}

}  // namespace linktest
