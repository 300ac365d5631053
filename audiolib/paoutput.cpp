// PortAudio output. The callback is the output thread: it only calls the device's mixer, which
// neither allocates nor blocks on anything but the short mix lock.
#include "audiolib/paoutput.h"

#include <fcntl.h>
#include <unistd.h>

#include <mutex>

#include <alsa/asoundlib.h>
#include <portaudio.h>

namespace audiolib {

namespace {

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

class PaOutput : public Output {
public:
    PaOutput(Device* device, const PaOutputInfo& info) : m_device(device), m_info(info) {}
    ~PaOutput() override { stop(); }

    bool start() override
    {
        PaStreamParameters out{};
        out.device = m_info.paIndex;
        out.channelCount = m_device->outChannels();
        out.sampleFormat = paFloat32;
        const PaDeviceInfo* di = Pa_GetDeviceInfo(m_info.paIndex);
        // Safety over latency: a dropout on the air is worse than a late meter.
        out.suggestedLatency = di ? di->defaultHighOutputLatency : 0.1;
        StderrSilencer quiet;
        if (Pa_OpenStream(&m_stream, nullptr, &out, m_device->rateHz(), paFramesPerBufferUnspecified, paNoFlag,
                          &PaOutput::callback, this) != paNoError) {
            m_stream = nullptr;
            return false;
        }
        if (Pa_StartStream(m_stream) != paNoError) {
            Pa_CloseStream(m_stream);
            m_stream = nullptr;
            return false;
        }
        return true;
    }

    void stop() override
    {
        if (!m_stream)
            return;
        StderrSilencer quiet;
        Pa_StopStream(m_stream);
        Pa_CloseStream(m_stream);
        m_stream = nullptr;
    }

    int latencyMs() const override
    {
        if (!m_stream)
            return 0;
        const PaStreamInfo* si = Pa_GetStreamInfo(m_stream);
        return si ? int(si->outputLatency * 1000.0 + 0.5) : 0;
    }

private:
    static int callback(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
                        PaStreamCallbackFlags, void* user)
    {
        auto* self = static_cast<PaOutput*>(user);
        self->m_device->mix(static_cast<float*>(output), int(frames));
        return paContinue;
    }

    Device* m_device;
    PaOutputInfo m_info;
    PaStream* m_stream = nullptr;
};

}  // namespace

bool portAudioReady()
{
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] {
        snd_lib_error_set_handler(&quietAlsa);
        StderrSilencer quiet;
        ok = Pa_Initialize() == paNoError;
    });
    return ok;
}

std::vector<PaOutputInfo> portAudioOutputs()
{
    std::vector<PaOutputInfo> list;
    if (!portAudioReady())
        return list;
    const int count = Pa_GetDeviceCount();
    const PaDeviceIndex def = Pa_GetDefaultOutputDevice();
    auto add = [&list](int index) {
        const PaDeviceInfo* di = Pa_GetDeviceInfo(index);
        if (!di || di->maxOutputChannels < 1)
            return;
        PaOutputInfo info;
        info.paIndex = index;
        info.name = di->name ? di->name : "";
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

std::unique_ptr<Output> openPortAudioOutput(Device* device, const PaOutputInfo& info)
{
    return std::make_unique<PaOutput>(device, info);
}

}  // namespace audiolib
