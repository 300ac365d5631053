// PortAudio output. The callback is the output thread: it only calls the device's mixer, which
// neither allocates nor waits on anything but the short mix locks, and notes that it ran, so that
// an output that stopped asking for sound is noticed.
#include "audiolib/paoutput.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include <alsa/asoundlib.h>
#include <portaudio.h>

#include "audiolib/alsaendpoint.h"
#include "audiolib/realtime.h"

namespace audiolib {

namespace {

// A bigger buffer than PortAudio's default for plugin devices (35 ms on PulseAudio), so that the
// output rides out a machine whose every core is busy; the sequencer takes the latency into its
// points. 80 ms still ran dry there now and then.
constexpr double kMinLatencySeconds = 0.1;
// An output that has asked for sound steadily and then not for this long has stopped. An output
// whose stream ends says so at once; this is for one that hangs, and must not take a sound server
// that a busy machine holds up for a moment for one that has gone (opening again takes longer).
constexpr std::int64_t kStallNs = 1'000'000'000;
// Asking steadily: blocks for this long with no gap above kGapNs between them.
constexpr std::int64_t kSteadyNs = 1'000'000'000;
constexpr std::int64_t kGapNs = 200'000'000;
// A new stream may take a while to go from its first blocks to a steady flow: a sound server's
// idle sink wakes up only every two seconds or so.
constexpr std::int64_t kStartNs = 4'000'000'000;

std::atomic<int> g_openStreams{0};
bool g_initialised = false;  // under portAudioLock()

std::int64_t nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

// PortAudio probes every ALSA, OSS and JACK back end at start-up and they all print to stderr.
class StderrSilencer {
public:
    StderrSilencer()
    {
        std::fflush(stderr);
        m_saved = dup(STDERR_FILENO);
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, STDERR_FILENO);
            ::close(null);
        }
    }
    ~StderrSilencer()
    {
        std::fflush(stderr);
        if (m_saved >= 0) {
            dup2(m_saved, STDERR_FILENO);
            ::close(m_saved);
        }
    }

private:
    int m_saved = -1;
};

// PortAudio's error, with the host's own words where it has them ("Device unavailable: No such
// file or directory").
std::string paErrorText(PaError error)
{
    std::string text = Pa_GetErrorText(error);
    if (error == paUnanticipatedHostError) {
        const PaHostErrorInfo* host = Pa_GetLastHostErrorInfo();
        if (host && host->errorText && *host->errorText)
            text += std::string(": ") + host->errorText;
    }
    return text;
}

class PaOutput : public Output {
public:
    PaOutput(Device* device, const PaOutputInfo& info) : m_device(device), m_info(info) {}
    ~PaOutput() override { stop(); }

    bool open() override
    {
        if (m_stream)
            return true;
        std::lock_guard lk(portAudioLock());
        PaStreamParameters out{};
        out.device = m_info.paIndex;
        out.channelCount = m_device->outChannels();
        out.sampleFormat = paFloat32;
        const PaDeviceInfo* di = Pa_GetDeviceInfo(m_info.paIndex);
        if (!di) {
            m_failure = "the output is no longer listed";
            return false;
        }
        // Safety over latency: a dropout on the air is worse than a late meter.
        out.suggestedLatency = std::max(di->defaultHighOutputLatency, kMinLatencySeconds);
        StderrSilencer quiet;
        // Opened from a thread of real-time priority where the system allows it: a sound server's
        // plug-in starts the thread that carries our sound to the server here, and a new thread
        // takes its creator's scheduling. Starved by a busy machine, that thread is a dropout.
        PaError error = paNoError;
        std::thread([&] {
            raiseThreadToRealtime();
            error = Pa_OpenStream(&m_stream, nullptr, &out, m_device->rateHz(), paFramesPerBufferUnspecified,
                                  paNoFlag, &PaOutput::callback, this);
        }).join();
        if (error != paNoError) {
            m_stream = nullptr;
            m_failure = paErrorText(error);
            return false;
        }
        ++g_openStreams;
        Pa_SetStreamFinishedCallback(m_stream, &PaOutput::finished);
        return true;
    }

    bool start() override
    {
        if (!open())
            return false;
        std::lock_guard lk(portAudioLock());
        m_startNs.store(nowNs());
        const PaError error = Pa_StartStream(m_stream);
        if (error != paNoError) {
            m_failure = paErrorText(error);
            closeLocked();
            return false;
        }
        const PaStreamInfo* si = Pa_GetStreamInfo(m_stream);
        m_latencyMs.store(si ? int(si->outputLatency * 1000.0 + 0.5) : 0);
        return true;
    }

    void stop() override
    {
        if (!m_stream)
            return;
        std::lock_guard lk(portAudioLock());
        closeLocked();
    }

    int latencyMs() const override { return m_latencyMs.load(); }

    bool failed() const override
    {
        if (m_finished.load())
            return true;
        const std::int64_t started = m_startNs.load();
        if (started == 0)
            return false;
        const std::int64_t last = m_lastBlockNs.load(std::memory_order_relaxed);
        if (m_steady.load())
            return nowNs() - last > kStallNs;
        return nowNs() - std::max(started, last) > kStartNs;
    }

    std::string failure() const override
    {
        if (m_finished.load())
            return "its stream ended";
        if (m_startNs.load() != 0 && failed())
            return "it stopped asking for sound";
        return m_failure;
    }

    bool realtime() const override { return m_realtime.load(); }

private:
    void closeLocked()
    {
        StderrSilencer quiet;
        // Aborted, not drained: a stream whose server has gone would wait for ever to drain.
        Pa_AbortStream(m_stream);
        Pa_CloseStream(m_stream);
        m_stream = nullptr;
        --g_openStreams;
    }

    static int callback(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
                        PaStreamCallbackFlags, void* user)
    {
        auto* self = static_cast<PaOutput*>(user);
        if (!self->m_asked) {
            // Once, on the thread PortAudio made for this stream.
            self->m_asked = true;
            self->m_realtime.store(raiseThreadToRealtime());
        }
        const std::int64_t now = nowNs();
        const std::int64_t last = self->m_lastBlockNs.load(std::memory_order_relaxed);
        if (last == 0 || now - last > kGapNs)
            self->m_runStartNs = now;
        else if (now - self->m_runStartNs > kSteadyNs)
            self->m_steady.store(true, std::memory_order_relaxed);
        self->m_lastBlockNs.store(now, std::memory_order_relaxed);
        self->m_device->mix(static_cast<float*>(output), int(frames));
        return paContinue;
    }

    static void finished(void* user) { static_cast<PaOutput*>(user)->m_finished.store(true); }

    Device* m_device;
    PaOutputInfo m_info;
    PaStream* m_stream = nullptr;
    std::string m_failure;
    bool m_asked = false;          // output thread only
    std::int64_t m_runStartNs = 0;  // output thread only: start of the present run of blocks
    std::atomic<bool> m_steady{false};
    std::atomic<bool> m_realtime{false};
    std::atomic<int> m_latencyMs{0};
    std::atomic<bool> m_finished{false};
    std::atomic<std::int64_t> m_startNs{0};
    std::atomic<std::int64_t> m_lastBlockNs{0};
};

bool initialiseLocked()
{
    snd_lib_error_set_handler(&quietAlsa);
    StderrSilencer quiet;
    g_initialised = Pa_Initialize() == paNoError;
    return g_initialised;
}

}  // namespace

std::recursive_mutex& portAudioLock()
{
    static std::recursive_mutex lock;
    return lock;
}

bool portAudioReady()
{
    std::lock_guard lk(portAudioLock());
    // Once: a reading anew (portAudioReread) may have started it already, and a second start
    // would keep the next reading from ending it.
    static bool tried = false;
    if (!tried && !g_initialised)
        initialiseLocked();
    tried = true;
    return g_initialised;
}

bool portAudioReread()
{
    std::lock_guard lk(portAudioLock());
    if (g_openStreams.load() > 0)
        return false;
    if (g_initialised) {
        StderrSilencer quiet;
        Pa_Terminate();
        // A capture holding PortAudio of its own keeps it from ending: the list then stays.
        g_initialised = false;
    }
    return initialiseLocked();
}

std::vector<PaOutputInfo> portAudioOutputs()
{
    std::vector<PaOutputInfo> list;
    if (!portAudioReady())
        return list;
    std::lock_guard lk(portAudioLock());
    const int count = Pa_GetDeviceCount();
    const PaDeviceIndex def = Pa_GetDefaultOutputDevice();
    auto add = [&list](int index) {
        const PaDeviceInfo* di = Pa_GetDeviceInfo(index);
        if (!di || di->maxOutputChannels < 1)
            return;
        PaOutputInfo info;
        info.paIndex = index;
        info.name = di->name ? di->name : "";
        const PaHostApiInfo* host = Pa_GetHostApiInfo(di->hostApi);
        info.endpoint = host && host->type == paALSA ? alsaEndpoint(info.name)
                                                     : std::string(host ? host->name : "") + ":" + info.name;
        info.maxChannels = di->maxOutputChannels;
        info.defaultRate = di->defaultSampleRate;
        info.latencyMs = int(di->defaultLowOutputLatency * 1000.0 + 0.5);
        list.push_back(info);
    };
    if (def != paNoDevice)
        add(def);
    for (int i = 0; i < count; ++i)
        if (i != def)
            add(i);
    return list;
}

std::unique_ptr<Output> makePortAudioOutput(Device* device, const PaOutputInfo& info)
{
    return std::make_unique<PaOutput>(device, info);
}

}  // namespace audiolib
