// Timings of the cross-process window messages and the shared search area: a sendMessage round
// trip to another process, and copying the 6,360,424-byte area in and out.
#include "ipc_testsupport.h"

#include "platform/objectnames.h"
#include "platform/sharedmemory.h"
#include "platform/window.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

ipctest::PeerProcess* g_peer = nullptr;
platform::WindowHandle g_remote = 0;

void BM_SendMessageRoundTrip(benchmark::State& state)
{
    if (!g_remote) {
        state.SkipWithError("no peer window");
        return;
    }
    std::vector<double> micros;
    micros.reserve(1 << 16);
    platform::WParam i = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const auto answer = platform::sendMessage(g_remote, ipctest::kAdd, i, 1);
        const auto end = std::chrono::steady_clock::now();
        if (answer != i + 1) {
            state.SkipWithError("wrong answer");
            return;
        }
        ++i;
        if (micros.size() < micros.capacity())
            micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::sort(micros.begin(), micros.end());
    if (!micros.empty()) {
        state.counters["median_us"] = micros[micros.size() / 2];
        state.counters["p99_us"] = micros[micros.size() * 99 / 100];
    }
}
BENCHMARK(BM_SendMessageRoundTrip)->MinTime(2.0);

void BM_SharedSearchAreaCopy(benchmark::State& state)
{
    constexpr std::size_t kSize = 6360424;
    platform::SharedMemory writer;
    platform::SharedMemory reader;
    if (!writer.open("SHARED_DATA_FILE", kSize) || !reader.open("SHARED_DATA_FILE", kSize)) {
        state.SkipWithError("no shared memory");
        return;
    }
    std::vector<unsigned char> source(kSize);
    std::vector<unsigned char> target(kSize);
    ipctest::fillPattern(source.data(), kSize, 3);
    for (auto _ : state) {
        std::memcpy(writer.data(), source.data(), kSize);  // one side fills the area
        std::memcpy(target.data(), reader.data(), kSize);  // the other copies it out
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    if (std::memcmp(source.data(), target.data(), kSize) != 0)
        state.SkipWithError("bytes differ");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSize);
}
BENCHMARK(BM_SharedSearchAreaCopy)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--peer") == 0)
        return ipctest::runPeer(argc, argv);
    const std::string prefix = "qvb-ipc-" + std::to_string(getpid());
    setenv("QUORVALEN_PREFIX", prefix.c_str(), 1);
    int result = 0;
    {
        QCoreApplication app(argc, argv);
        ipctest::PeerProcess peer;
        if (peer.start({"window", "bench"})) {
            g_peer = &peer;
            g_remote = static_cast<platform::WindowHandle>(peer.readyValue().toULong());
        }
        benchmark::Initialize(&argc, argv);
        if (benchmark::ReportUnrecognizedArguments(argc, argv))
            result = 1;
        else
            benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        if (g_remote)
            platform::sendMessage(g_remote, ipctest::kQuit, 0, 0);
        peer.waitFinished(5000);
        g_peer = nullptr;
    }
    platform::removeNamedObjects();
    return result;
}
