// Processor and memory figures for the status bar.
#include "player/sequencing/systemload.h"

#include "player/sequencing/displayformat.h"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <fstream>
#include <limits>
#include <string>

namespace player {

namespace {

std::int64_t nowNs(clockid_t clock)
{
    timespec ts{};
    if (clock_gettime(clock, &ts) != 0)
        return 0;
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// The number of kB after "Key:" at the start of a line; false when there is none.
bool readKb(std::string_view line, std::string_view key, std::uint64_t& bytes)
{
    if (line.size() <= key.size() || line.substr(0, key.size()) != key || line[key.size()] != ':')
        return false;
    std::string_view rest = line.substr(key.size() + 1);
    const auto first = rest.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return false;
    rest.remove_prefix(first);
    std::uint64_t kb = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), kb);
    if (error != std::errc() || end == rest.data() || kb > std::numeric_limits<std::uint64_t>::max() / 1024)
        return false;
    bytes = kb * 1024;
    return true;
}

}  // namespace

CpuLoadMeter::CpuLoadMeter() : m_cpuNs(nowNs(CLOCK_PROCESS_CPUTIME_ID)), m_wallNs(nowNs(CLOCK_MONOTONIC)) {}

double CpuLoadMeter::sample()
{
    const std::int64_t cpu = nowNs(CLOCK_PROCESS_CPUTIME_ID);
    const std::int64_t wall = nowNs(CLOCK_MONOTONIC);
    const std::int64_t cpuSpent = cpu - m_cpuNs;
    const std::int64_t wallSpent = wall - m_wallNs;
    m_cpuNs = cpu;
    m_wallNs = wall;
    if (wallSpent <= 0 || cpuSpent < 0)
        return 0;
    return static_cast<double>(cpuSpent) / static_cast<double>(wallSpent) * 100.0;
}

bool parseMemInfo(std::string_view text, std::uint64_t& availableBytes, std::uint64_t& totalBytes)
{
    bool haveTotal = false;
    bool haveAvailable = false;
    std::uint64_t total = 0;
    std::uint64_t available = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        haveTotal = readKb(line, "MemTotal", total) || haveTotal;
        haveAvailable = readKb(line, "MemAvailable", available) || haveAvailable;
    }
    if (!haveTotal || !haveAvailable)
        return false;
    totalBytes = total;
    availableBytes = std::min(available, total);
    return true;
}

double physicalMemoryUsedPercent()
{
    std::ifstream in("/proc/meminfo");
    std::string text;
    char chunk[4096];
    // The file is a few kB; more than 64 kB is not what it should be.
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (text.size() > 65536)
            break;
    }
    std::uint64_t available = 0;
    std::uint64_t total = 0;
    if (!parseMemInfo(text, available, total))
        return 0;
    return memoryUsedPercent(available, total);
}

}  // namespace player
