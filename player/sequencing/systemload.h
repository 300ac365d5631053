// The load figures of the status bar: this program's share of the processor since the last look,
// and the share of physical memory in use, read from the kernel's /proc/meminfo.
#pragma once

#include <cstdint>
#include <string_view>

namespace player {

// Processor time of this process as a percentage of the wall time since the previous sample (of
// one processor: a busy second thread can take it past 100). The first sample covers the time since
// construction.
class CpuLoadMeter {
public:
    CpuLoadMeter();
    double sample();

private:
    std::int64_t m_cpuNs = 0;
    std::int64_t m_wallNs = 0;
};

// Reads MemTotal and MemAvailable (kB) from the text of /proc/meminfo; false when either is
// missing or not a number. Takes any bytes: a line is read only up to its end or the text's.
bool parseMemInfo(std::string_view text, std::uint64_t& availableBytes, std::uint64_t& totalBytes);
// The share of physical memory in use now, 0..100; 0 when it cannot be read.
double physicalMemoryUsedPercent();

}  // namespace player
