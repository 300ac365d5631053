// Peer processes and helpers for the cross-process window, shared-memory and mutex tests.
#include "ipc_testsupport.h"

#include "platform/namedmutex.h"
#include "platform/sharedmemory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace ipctest {

PeerProcess::~PeerProcess()
{
    if (m_process && m_process->state() != QProcess::NotRunning)
        killHard();
}

bool PeerProcess::start(const QStringList& arguments)
{
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process->start(QCoreApplication::applicationFilePath(), QStringList{"--peer"} + arguments);
    if (!m_process->waitForStarted(5000))
        return false;
    const QByteArray line = readLine(10000);
    if (!line.startsWith("READY"))
        return false;
    m_ready = line.mid(5).trimmed();
    return true;
}

qint64 PeerProcess::pid() const
{
    return m_process ? m_process->processId() : 0;
}

void PeerProcess::writeLine(const QByteArray& line)
{
    m_process->write(line + "\n");
    m_process->waitForBytesWritten(5000);
}

QByteArray PeerProcess::readLine(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!m_process->canReadLine()) {
        const int left = timeoutMs - static_cast<int>(timer.elapsed());
        if (left <= 0 || !m_process->waitForReadyRead(left))
            return m_process->canReadLine() ? m_process->readLine().trimmed() : QByteArray();
    }
    return m_process->readLine().trimmed();
}

void PeerProcess::killHard()
{
    m_process->kill();
    m_process->waitForFinished(5000);
}

bool PeerProcess::waitFinished(int timeoutMs)
{
    return m_process->waitForFinished(timeoutMs);
}

bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void fillPattern(unsigned char* data, std::size_t size, std::uint32_t seed)
{
    std::uint32_t x = seed ? seed : 1;
    for (std::size_t i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        data[i] = static_cast<unsigned char>(x);
    }
}

std::size_t checkPattern(const unsigned char* data, std::size_t size, std::uint32_t seed)
{
    std::uint32_t x = seed ? seed : 1;
    for (std::size_t i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        if (data[i] != static_cast<unsigned char>(x))
            return i;
    }
    return size;
}

int connectTo(const std::string& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

namespace {

void ready(const std::string& value)
{
    std::printf("READY %s\n", value.c_str());
    std::fflush(stdout);
}

int peerWindow(QCoreApplication& app, const std::string& caption)
{
    FunctionWindow* self = nullptr;
    FunctionWindow window("QvPeer", caption, [&](std::uint32_t msg, WParam wParam, LParam lParam) -> LResult {
        switch (msg) {
        case kAdd:
            return wParam + lParam;
        case kSlowAdd:
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            return wParam + lParam;
        case kKick: {
            const LResult answer = platform::sendMessage(static_cast<WindowHandle>(wParam), kSlowEcho, 7, 0);
            platform::postMessage(static_cast<WindowHandle>(wParam), kResult, answer, 0);
            return 0;
        }
        case kCallback:
            return platform::sendMessage(static_cast<WindowHandle>(wParam), kEcho, lParam, 0) + 1;
        case kHang:
            std::this_thread::sleep_for(std::chrono::milliseconds(lParam));
            return 1;
        case kRename:
            self->setCaption("renamed-" + std::to_string(wParam));
            return 1;
        case kPostMany: {
            std::thread poster([=] {
                for (LParam i = 0; i < lParam; ++i)
                    platform::postMessage(static_cast<WindowHandle>(wParam), kResult, i, 0);
            });
            poster.join();
            return 1;
        }
        case kQuit:
            app.quit();
            return 1;
        default:
            return 0;
        }
    });
    self = &window;
    ready(std::to_string(window.handle()));
    return app.exec();
}

int peerSharedMemory(const std::string& name, std::size_t size, std::uint32_t seedOut, std::uint32_t seedIn)
{
    platform::SharedMemory area;
    if (!area.open(name, size)) {
        ready("failed");
        return 1;
    }
    auto* bytes = static_cast<unsigned char*>(area.data());
    fillPattern(bytes, size, seedOut);
    ready(area.alreadyExisted() ? "existed" : "created");
    std::string line;
    std::getline(std::cin, line);  // the other side has written its pattern
    const std::size_t bad = checkPattern(bytes, size, seedIn);
    if (bad == size)
        std::printf("OK\n");
    else
        std::printf("BAD %zu\n", bad);
    std::fflush(stdout);
    std::getline(std::cin, line);  // keep holding the area until told
    return 0;
}

int peerMutex(const std::string& name)
{
    platform::NamedMutex mutex(name);
    ready(mutex.owned() ? "owned" : "not-owned");
    std::string line;
    std::getline(std::cin, line);  // held until killed or told
    return 0;
}

// How many descriptors of this process point at a mutex file: a child must inherit none.
int peerCountMutexDescriptors()
{
    int count = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", ec)) {
        const auto target = std::filesystem::read_symlink(entry.path(), ec);
        if (!ec && target.filename().string().rfind("mutex.", 0) == 0)
            ++count;
    }
    ready(std::to_string(count));
    return 0;
}

// A window in a process that then uses up every descriptor it may have, so that no connection
// to it can be accepted any more.
int peerWithoutDescriptors(QCoreApplication& app)
{
    FunctionWindow window("QvPeer", "no-descriptors", [](std::uint32_t, WParam, LParam) -> LResult { return 1; });
    int highest = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", ec))
        highest = std::max(highest, std::atoi(entry.path().filename().c_str()));
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(highest) + 16;
    if (setrlimit(RLIMIT_NOFILE, &limit) != 0) {
        ready("failed");
        return 1;
    }
    // Everything that may need a descriptor (the sanitizers' checks open pipes) happens first.
    const std::string handle = std::to_string(window.handle());
    while (::open("/dev/null", O_RDONLY | O_CLOEXEC) >= 0) {
    }
    ready(handle);
    return app.exec();
}

}  // namespace

int runPeer(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const std::string mode = argc > 2 ? argv[2] : "";
    if (mode == "window" && argc > 3)
        return peerWindow(app, argv[3]);
    if (mode == "shm" && argc > 6)
        return peerSharedMemory(argv[3], std::stoul(argv[4]), std::stoul(argv[5]), std::stoul(argv[6]));
    if (mode == "mutex" && argc > 3)
        return peerMutex(argv[3]);
    if (mode == "fds")
        return peerCountMutexDescriptors();
    if (mode == "nofds")
        return peerWithoutDescriptors(app);
    std::fprintf(stderr, "unknown peer mode\n");
    return 2;
}

}  // namespace ipctest
