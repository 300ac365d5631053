// Timing of the ini file with a profile-sized file: a few hundred keys written in buffered mode
// and flushed, and read back key by key.
#include "platform/inifile.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <string>

namespace {

void writeProfile(platform::IniFile& ini, int keys)
{
    for (int i = 0; i < keys; ++i)
        ini.writeInteger("Section" + std::to_string(i % 12), "Key" + std::to_string(i), i);
}

void BM_BufferedProfileWriteAndFlush(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/profile.prf";
    const int keys = static_cast<int>(state.range(0));
    for (auto _ : state) {
        platform::IniFile ini(path, platform::IniFile::Mode::Buffered);
        writeProfile(ini, keys);
        benchmark::DoNotOptimize(ini.flush());
    }
}
BENCHMARK(BM_BufferedProfileWriteAndFlush)->Arg(300)->Arg(3000)->Unit(benchmark::kMillisecond);

void BM_ProfileLoadAndReadEveryKey(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/profile.prf";
    const int keys = static_cast<int>(state.range(0));
    {
        platform::IniFile ini(path, platform::IniFile::Mode::Buffered);
        writeProfile(ini, keys);
        ini.flush();
    }
    for (auto _ : state) {
        platform::IniFile ini(path, platform::IniFile::Mode::Buffered);
        std::int64_t sum = 0;
        for (int i = 0; i < keys; ++i)
            sum += ini.readInteger("section" + std::to_string(i % 12), "KEY" + std::to_string(i), 0);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_ProfileLoadAndReadEveryKey)->Arg(300)->Arg(3000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
