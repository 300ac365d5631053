// A PulseAudio server of a test's own with one null sink, which the test starts, stops and starts
// again, and parec recording what reaches the sink (from the sink's monitor). XDG_RUNTIME_DIR and
// PULSE_RUNTIME_PATH point at the test's own folder, so that the test and every program it starts
// find this server and no other, and no client starts a server of its own.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace pulsetest {

inline pid_t spawn(const std::vector<std::string>& args, const std::string& outFile)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// SIGTERM, and SIGKILL when it has not ended within 2 s.
inline void stopProcess(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

inline bool exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

class PulseServer {
public:
    static constexpr const char* kSink = "qvtest";

    PulseServer() = default;
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;
    ~PulseServer()
    {
        stopRecording();
        stop();
        if (!m_dir.empty())
            std::system(("rm -rf '" + m_dir + "'").c_str());
    }

    // The folder and the environment; false when no folder can be made.
    bool prepare()
    {
        char tmpl[] = "/tmp/qv-pulse-XXXXXX";
        if (!mkdtemp(tmpl))
            return false;
        m_dir = tmpl;
        setenv("XDG_RUNTIME_DIR", m_dir.c_str(), 1);
        setenv("PULSE_RUNTIME_PATH", (m_dir + "/pulse").c_str(), 1);
        std::ofstream(m_dir + "/client.conf") << "autospawn = no\n";
        setenv("PULSE_CLIENTCONFIG", (m_dir + "/client.conf").c_str(), 1);
        unsetenv("PULSE_SERVER");
        unsetenv("QUORVALEN_NOSOUND");  // these tests are about the real output path
        return true;
    }

    // Starts the server and waits up to 5 s for its socket; why says what went wrong.
    bool start(std::string* why)
    {
        m_server = spawn({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
                          std::string("--load=module-null-sink sink_name=") + kSink,
                          "--load=module-native-protocol-unix"},
                         m_dir + "/pulseaudio.log");
        if (m_server <= 0) {
            *why = "the pulseaudio program cannot be started (package pulseaudio missing?)";
            return false;
        }
        for (int i = 0; i < 100 && !exists(socket()); ++i) {
            if (waitpid(m_server, nullptr, WNOHANG) == m_server) {
                m_server = -1;
                *why = "the PulseAudio server exited at start on this machine";
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (!exists(socket())) {
            *why = "the PulseAudio server did not open its socket within 5 s";
            return false;
        }
        return true;
    }

    // Ends the server (its clients lose it at once).
    void stop()
    {
        stopProcess(m_server);
        m_server = -1;
    }

    // Records what reaches the sink into raw (16-bit stereo at 44100 Hz) from now on.
    bool record(const std::string& raw)
    {
        m_raw = raw;
        m_recorder = spawn({"parec", "-d", std::string(kSink) + ".monitor", "--raw", "--format=s16le", "--rate=44100",
                            "--channels=2"},
                           raw);
        // parec connects and starts its stream within a few hundred ms.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        return m_recorder > 0;
    }
    void stopRecording()
    {
        stopProcess(m_recorder);
        m_recorder = -1;
    }
    // The left channel of what was recorded, as floats of full scale 1.
    std::vector<float> recordedLeft() const
    {
        std::ifstream in(m_raw, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
        std::vector<float> left;
        for (std::size_t p = 0; p + 4 <= bytes.size(); p += 4) {
            std::int16_t v = 0;
            std::memcpy(&v, &bytes[p], 2);
            left.push_back(v / 32768.0f);
        }
        return left;
    }

    const std::string& dir() const { return m_dir; }
    std::string socket() const { return m_dir + "/pulse/native"; }

private:
    std::string m_dir;
    std::string m_raw;
    pid_t m_server = -1;
    pid_t m_recorder = -1;
};

}  // namespace pulsetest
