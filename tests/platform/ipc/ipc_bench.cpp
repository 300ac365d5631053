// Timings of the cross-process window messages and the shared search area: a sendMessage round
// trip to another process, and copying the 6,360,424-byte area in and out; each next to its
// floor: a bare Unix-socket ping-pong between two processes, the same with one hand-over between
// two threads of the answering process (as a window's own thread answers), and a plain memcpy.
#include "ipc_testsupport.h"

#include "platform/objectnames.h"
#include "platform/sharedmemory.h"
#include "platform/window.h"

#include <QCoreApplication>
#include <QDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

ipctest::PeerProcess* g_peer = nullptr;
platform::WindowHandle g_remote = 0;

// A message frame's size on the wire, near enough.
constexpr std::size_t kPingBytes = 48;

bool readAll(int fd, char* data, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, data + done, size - done);
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool writeAll(int fd, const char* data, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The floor's other process: connects to the socket and sends back every ping, read on one
// thread and answered either on it or (with a hop) on a second one.
int runEchoPeer(const std::string& path, bool hop)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return 1;
    std::printf("READY 0\n");
    std::fflush(stdout);
    char ping[kPingBytes];
    if (!hop) {
        while (readAll(fd, ping, sizeof ping) && writeAll(fd, ping, sizeof ping)) {
        }
        return 0;
    }
    std::mutex mutex;
    std::condition_variable cv;
    bool full = false;
    bool done = false;
    std::thread reader([&] {
        char in[kPingBytes];
        while (readAll(fd, in, sizeof in)) {
            std::lock_guard lock(mutex);
            std::memcpy(ping, in, sizeof in);
            full = true;
            cv.notify_one();
        }
        std::lock_guard lock(mutex);
        done = true;
        cv.notify_one();
    });
    for (;;) {
        std::unique_lock lock(mutex);
        cv.wait(lock, [&] { return full || done; });
        if (!full)
            break;
        full = false;
        lock.unlock();
        if (!writeAll(fd, ping, sizeof ping))
            break;
    }
    ::shutdown(fd, SHUT_RDWR);
    reader.join();
    return 0;
}

void socketFloor(benchmark::State& state, bool hop)
{
    const std::string path = QDir::tempPath().toStdString() + "/qvb-echo-" + std::to_string(getpid());
    ::unlink(path.c_str());
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener, 1) != 0) {
        state.SkipWithError("no socket");
        return;
    }
    ipctest::PeerProcess echo;
    if (!echo.start({"echo", QString::fromStdString(path), hop ? "hop" : "direct"})) {
        state.SkipWithError("no echo peer");
        ::close(listener);
        return;
    }
    const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    std::vector<double> micros;
    micros.reserve(1 << 16);
    char ping[kPingBytes] = {};
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!writeAll(fd, ping, sizeof ping) || !readAll(fd, ping, sizeof ping)) {
            state.SkipWithError("echo ended");
            break;
        }
        const auto end = std::chrono::steady_clock::now();
        if (micros.size() < micros.capacity())
            micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    ::close(fd);
    ::close(listener);
    ::unlink(path.c_str());
    echo.waitFinished(5000);
    std::sort(micros.begin(), micros.end());
    if (!micros.empty()) {
        state.counters["median_us"] = micros[micros.size() / 2];
        state.counters["p99_us"] = micros[micros.size() * 99 / 100];
    }
}

void BM_FloorSocketPingPong(benchmark::State& state) { socketFloor(state, false); }
BENCHMARK(BM_FloorSocketPingPong)->MinTime(2.0);

void BM_FloorSocketPingPongWithThreadHop(benchmark::State& state) { socketFloor(state, true); }
BENCHMARK(BM_FloorSocketPingPongWithThreadHop)->MinTime(2.0);

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

// The floor of the area copy: the same bytes in and out of ordinary memory.
void BM_FloorMemcpyOfTheAreaSize(benchmark::State& state)
{
    constexpr std::size_t kSize = 6360424;
    std::vector<unsigned char> source(kSize);
    std::vector<unsigned char> middle(kSize);
    std::vector<unsigned char> target(kSize);
    ipctest::fillPattern(source.data(), kSize, 3);
    for (auto _ : state) {
        std::memcpy(middle.data(), source.data(), kSize);
        std::memcpy(target.data(), middle.data(), kSize);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSize);
}
BENCHMARK(BM_FloorMemcpyOfTheAreaSize)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 4 && std::strcmp(argv[1], "--peer") == 0 && std::strcmp(argv[2], "echo") == 0)
        return runEchoPeer(argv[3], std::strcmp(argv[4], "hop") == 0);
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
