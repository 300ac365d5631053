// Recording: the capture devices PortAudio lists are the inputs (the system's default first,
// reported as the line input); one capture at a time, 16-bit stereo, queued in a ring until read.
// Without a capture device (or with QUORVALEN_NOSOUND=1) the input is silent: the capture still
// delivers zero bytes in real time, so a line-in deck plays silence.
#include "audiolib/audiolib.h"
#include "audiolib/errors.h"
#include "audiolib/handles.h"
#include "audiolib/paoutput.h"
#include "audiolib/recordingring.h"

#include <portaudio.h>

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace audiolib {

namespace {

constexpr int kDefaultRateHz = 44100;
constexpr std::uint32_t kRingFrames = 1u << 16;  // about 1.5 s at 44100 Hz
constexpr std::uint32_t kBytesPerFrame = 4;
constexpr int kDefaultVolume = 100;

extern "C" void alsaQuiet(const char*, int, const char*, int, const char*, ...);

// PortAudio's host layers (ALSA, JACK) print their probing to the terminal. Their own error hooks
// are looked up at run time (the libraries come in with PortAudio) and pointed at nothing; file
// descriptors are never touched, so nothing else of the program loses its stderr.
void silenceAudioBackends()
{
    static std::once_flag once;
    std::call_once(once, [] {
        ::setenv("JACK_NO_START_SERVER", "1", 0);
        using AlsaHandler = void (*)(const char*, int, const char*, int, const char*, ...);
        using AlsaSetHandler = int (*)(AlsaHandler);
        using JackSetFunction = void (*)(void (*)(const char*));
        if (auto set = reinterpret_cast<AlsaSetHandler>(::dlsym(RTLD_DEFAULT, "snd_lib_error_set_handler")))
            set(alsaQuiet);
        for (const char* name : {"jack_set_error_function", "jack_set_info_function"})
            if (auto set = reinterpret_cast<JackSetFunction>(::dlsym(RTLD_DEFAULT, name)))
                set([](const char*) {});
    });
}

extern "C" void alsaQuiet(const char*, int, const char*, int, const char*, ...) {}

bool noSoundRequested()
{
    const char* v = std::getenv("QUORVALEN_NOSOUND");
    return v && *v && std::strcmp(v, "0") != 0;
}

struct Input {
    std::string name;
    PaDeviceIndex device = paNoDevice;  // paNoDevice: the silent input
    bool on = false;
    int volume = kDefaultVolume;
};

// One capture: the ring, its producer (the PortAudio callback, or the silence clock while no
// device feeds it) and the consumer's lock.
class Capture {
public:
    explicit Capture(int rateHz) : m_rateHz(rateHz), m_ring(kRingFrames, static_cast<std::uint32_t>(rateHz / 10)) {}

    int rateHz() const { return m_rateHz; }
    CaptureRing& ring() { return m_ring; }
    std::atomic<float>& gain() { return m_gain; }

    // Consumer side.
    std::int64_t availableBytes()
    {
        std::lock_guard lock(m_consumerMutex);
        produceSilence();
        return static_cast<std::int64_t>(m_ring.available()) * kBytesPerFrame;
    }
    std::uint32_t read(void* buffer, std::uint32_t lengthBytes)
    {
        std::lock_guard lock(m_consumerMutex);
        produceSilence();
        // Through a local block: the caller's buffer need not be aligned for 32-bit frames.
        auto* out = static_cast<unsigned char*>(buffer);
        std::uint32_t wanted = lengthBytes / kBytesPerFrame;
        std::uint32_t done = 0;
        std::uint32_t block[1024];
        while (done < wanted) {
            const std::uint32_t n = m_ring.read(block, std::min<std::uint32_t>(wanted - done, 1024));
            if (n == 0)
                break;
            std::memcpy(out + static_cast<std::size_t>(done) * kBytesPerFrame, block, n * kBytesPerFrame);
            done += n;
        }
        return done * kBytesPerFrame;
    }

    // Control side: the silence clock produces while no device does (never both at once).
    void startSilenceClock()
    {
        std::lock_guard lock(m_consumerMutex);
        m_clockStart = std::chrono::steady_clock::now();
        m_clockFrames = 0;
        m_clockRunning = true;
    }
    void stopSilenceClock()
    {
        std::lock_guard lock(m_consumerMutex);
        produceSilence();
        m_clockRunning = false;
    }

    PaStream* stream = nullptr;  // control side, under the recording lock
    int streamChannels = 2;

private:
    void produceSilence()
    {
        if (!m_clockRunning)
            return;
        const auto elapsed = std::chrono::steady_clock::now() - m_clockStart;
        const auto due = static_cast<std::uint64_t>(
            std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count() * m_rateHz / 1000000);
        std::uint64_t pending = due - m_clockFrames;
        m_clockFrames = due;
        pending = std::min<std::uint64_t>(pending, kRingFrames);
        static const std::uint32_t zeros[1024] = {};
        while (pending > 0) {
            const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(pending, 1024));
            m_ring.write(zeros, n);
            pending -= n;
        }
    }

    const int m_rateHz;
    CaptureRing m_ring;
    std::atomic<float> m_gain{1.0f};
    std::mutex m_consumerMutex;
    std::chrono::steady_clock::time_point m_clockStart;
    std::uint64_t m_clockFrames = 0;
    bool m_clockRunning = false;
};

// Device thread: converts the input to stereo frames with the input's volume and queues them.
int captureCallback(const void* input, void*, unsigned long frames, const PaStreamCallbackTimeInfo*,
                    PaStreamCallbackFlags, void* user)
{
    auto* capture = static_cast<Capture*>(user);
    if (!input)
        return paContinue;
    const auto* in = static_cast<const std::int16_t*>(input);
    const float gain = capture->gain().load(std::memory_order_relaxed);
    const int channels = capture->streamChannels;
    // Volumes are 0..100 %, so a scaled sample always fits 16 bits again.
    auto pack = [gain](std::int16_t v) -> std::uint32_t {
        return static_cast<std::uint16_t>(gain == 1.0f ? v : static_cast<std::int16_t>(static_cast<float>(v) * gain));
    };
    std::uint32_t block[512];
    while (frames > 0) {
        const auto n = static_cast<std::uint32_t>(std::min<unsigned long>(frames, 512));
        for (std::uint32_t i = 0; i < n; ++i) {
            const std::int16_t l = in[0];
            const std::int16_t r = channels > 1 ? in[1] : in[0];
            in += channels;
            block[i] = pack(l) | pack(r) << 16;  // little-endian: left first, as interleaved PCM
        }
        capture->ring().write(block, n);
        frames -= n;
    }
    return paContinue;
}

class Recorder {
public:
    bool init(int device)
    {
        std::lock_guard lock(m_mutex);
        if (m_initialised)
            return fail(kErrorAlreadyInitialised);
        std::vector<Input> inputs;
        bool portAudio = false;
        std::lock_guard pa(portAudioLock());
        if (!noSoundRequested()) {
            silenceAudioBackends();
            portAudio = Pa_Initialize() == paNoError;
            if (portAudio)
                inputs = listInputs();
        }
        if (inputs.empty())
            inputs.push_back(Input{"Silence", paNoDevice, false, kDefaultVolume});
        if (device < 0 || device >= static_cast<int>(inputs.size())) {
            if (portAudio)
                Pa_Terminate();
            return fail(kErrorDevice);
        }
        inputs[static_cast<std::size_t>(device)].on = true;
        m_inputs = std::move(inputs);
        m_portAudio = portAudio;
        m_initialised = true;
        return ok();
    }

    bool free()
    {
        std::lock_guard lock(m_mutex);
        if (!m_initialised)
            return fail(kErrorRecording);
        std::lock_guard pa(portAudioLock());
        stopCaptureLocked();
        if (m_portAudio)
            Pa_Terminate();
        m_portAudio = false;
        m_inputs.clear();
        m_initialised = false;
        return ok();
    }

    Handle start(int rateHz)
    {
        std::lock_guard lock(m_mutex);
        if (!m_initialised)
            return failHandle(kErrorRecording);
        if (rateHz == 0)
            rateHz = kDefaultRateHz;
        if (rateHz < 8000 || rateHz > 192000)
            return failHandle(kErrorParameter);
        if (m_capture)
            return failHandle(kErrorRecording);  // one capture at a time
        auto capture = std::make_shared<Capture>(rateHz);
        const Handle handle = allocateHandle();
        {
            std::lock_guard captureLock(m_captureMutex);
            m_capture = capture;
            m_handle = handle;
        }
        connectLocked();
        setLastError(kOk);
        return m_handle;
    }

    bool stop(Handle capture)
    {
        std::lock_guard lock(m_mutex);
        if (!m_capture || capture != m_handle)
            return fail(kErrorHandle);
        stopCaptureLocked();
        return ok();
    }

    std::int32_t available(Handle handle)
    {
        std::shared_ptr<Capture> capture = find(handle);
        if (!capture)
            return failValue(kErrorHandle);
        setLastError(kOk);
        return static_cast<std::int32_t>(std::min<std::int64_t>(capture->availableBytes(), INT32_MAX));
    }

    std::int32_t read(Handle handle, void* buffer, std::uint32_t lengthBytes)
    {
        if (!buffer && lengthBytes > 0)
            return failValue(kErrorParameter);
        std::shared_ptr<Capture> capture = find(handle);
        if (!capture)
            return failValue(kErrorHandle);
        lengthBytes = std::min<std::uint32_t>(lengthBytes, INT32_MAX) & ~(kBytesPerFrame - 1);
        setLastError(kOk);
        return static_cast<std::int32_t>(capture->read(buffer, lengthBytes));
    }

    std::int32_t getInput(int input)
    {
        std::lock_guard lock(m_mutex);
        if (!m_initialised)
            return failValue(kErrorRecording);
        if (input < 0 || input >= static_cast<int>(m_inputs.size()))
            return failValue(kErrorParameter);
        const Input& in = m_inputs[static_cast<std::size_t>(input)];
        // The default (first) input is the one a line-in deck looks for.
        const std::uint32_t type = input == 0 ? kInputTypeLine : kInputTypeUndefined;
        setLastError(kOk);
        return static_cast<std::int32_t>(type | (in.on ? 0u : static_cast<std::uint32_t>(kInputOffBit)) |
                                         static_cast<std::uint32_t>(in.volume));
    }

    std::string inputName(int input)
    {
        std::lock_guard lock(m_mutex);
        if (!m_initialised || input < 0 || input >= static_cast<int>(m_inputs.size())) {
            setLastError(m_initialised ? kErrorParameter : kErrorRecording);
            return {};
        }
        setLastError(kOk);
        return m_inputs[static_cast<std::size_t>(input)].name;
    }

    bool setInput(int input, std::uint32_t setting)
    {
        std::lock_guard lock(m_mutex);
        if (!m_initialised)
            return fail(kErrorRecording);
        if (input < 0 || input >= static_cast<int>(m_inputs.size()))
            return fail(kErrorParameter);
        const bool on = setting & kInputOn;
        const bool off = setting & kInputOff;
        const std::uint32_t volume = setting & 0xFFFFu;
        if ((on && off) || volume > 100 || (setting & ~(kInputOn | kInputOff | 0xFFFFu)))
            return fail(kErrorParameter);
        Input& in = m_inputs[static_cast<std::size_t>(input)];
        if (volume > 0)
            in.volume = static_cast<int>(volume);
        const int before = capturedInput();
        if (on) {
            // One input is captured at a time: switching one on switches the others off.
            for (Input& other : m_inputs)
                other.on = false;
            in.on = true;
        } else if (off) {
            in.on = false;
        }
        if (m_capture) {
            if (capturedInput() != before)
                connectLocked();
            else if (capturedInput() >= 0)
                m_capture->gain().store(gainOf(m_inputs[static_cast<std::size_t>(capturedInput())]));
        }
        return ok();
    }

private:
    static bool ok()
    {
        setLastError(kOk);
        return true;
    }
    static bool fail(int error)
    {
        setLastError(error);
        return false;
    }
    static Handle failHandle(int error)
    {
        setLastError(error);
        return 0;
    }
    static std::int32_t failValue(int error)
    {
        setLastError(error);
        return -1;
    }
    static float gainOf(const Input& in) { return static_cast<float>(in.volume) / 100.0f; }

    // Readers take only the short capture lock: a control call that waits on a slow device open
    // never holds up the thread that reads the captured bytes.
    std::shared_ptr<Capture> find(Handle handle)
    {
        std::lock_guard lock(m_captureMutex);
        return m_capture && handle == m_handle && handle != 0 ? m_capture : nullptr;
    }

    static std::vector<Input> listInputs()
    {
        std::vector<Input> inputs;
        const PaDeviceIndex def = Pa_GetDefaultInputDevice();
        const PaDeviceIndex count = Pa_GetDeviceCount();
        auto add = [&](PaDeviceIndex i) {
            const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
            if (info && info->maxInputChannels > 0)
                inputs.push_back(Input{info->name ? info->name : "", i, false, kDefaultVolume});
        };
        if (def >= 0)
            add(def);
        for (PaDeviceIndex i = 0; i < count; ++i)
            if (i != def)
                add(i);
        return inputs;
    }

    int capturedInput() const
    {
        for (std::size_t i = 0; i < m_inputs.size(); ++i)
            if (m_inputs[i].on)
                return static_cast<int>(i);
        return -1;
    }

    // (Re)connects the capture to the input switched on; silence when there is none or the device
    // will not open.
    void connectLocked()
    {
        std::lock_guard pa(portAudioLock());
        closeStreamLocked();
        const int index = capturedInput();
        if (index >= 0)
            m_capture->gain().store(gainOf(m_inputs[static_cast<std::size_t>(index)]));
        const PaDeviceIndex device = index >= 0 ? m_inputs[static_cast<std::size_t>(index)].device : paNoDevice;
        if (m_portAudio && device != paNoDevice && openStreamLocked(device))
            return;
        m_capture->startSilenceClock();
    }

    bool openStreamLocked(PaDeviceIndex device)
    {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
        if (!info)
            return false;
        m_capture->stopSilenceClock();
        for (int channels : {2, 1}) {
            if (info->maxInputChannels < channels)
                continue;
            PaStreamParameters params{};
            params.device = device;
            params.channelCount = channels;
            params.sampleFormat = paInt16;
            params.suggestedLatency = info->defaultLowInputLatency;
            m_capture->streamChannels = channels;
            PaStream* stream = nullptr;
            if (Pa_OpenStream(&stream, &params, nullptr, m_capture->rateHz(), paFramesPerBufferUnspecified, paClipOff,
                              captureCallback, m_capture.get()) != paNoError)
                continue;
            if (Pa_StartStream(stream) != paNoError) {
                Pa_CloseStream(stream);
                continue;
            }
            m_capture->stream = stream;
            return true;
        }
        return false;
    }

    void closeStreamLocked()
    {
        if (m_capture && m_capture->stream) {
            std::lock_guard pa(portAudioLock());
            // After Pa_CloseStream returns the callback no longer runs, so the silence clock may
            // take over as the ring's producer.
            Pa_AbortStream(m_capture->stream);
            Pa_CloseStream(m_capture->stream);
            m_capture->stream = nullptr;
        }
    }

    void stopCaptureLocked()
    {
        closeStreamLocked();
        if (m_capture)
            m_capture->stopSilenceClock();
        std::lock_guard captureLock(m_captureMutex);
        m_capture.reset();  // a reader still holding it finishes on its own copy
        m_handle = 0;
    }

    std::mutex m_mutex;         // control calls, held across PortAudio calls (with PortAudio's lock)
    std::mutex m_captureMutex;  // m_capture and m_handle, for readers; taken inside m_mutex
    bool m_initialised = false;
    bool m_portAudio = false;
    std::vector<Input> m_inputs;
    std::shared_ptr<Capture> m_capture;
    Handle m_handle = 0;
};

Recorder& recorder()
{
    static Recorder instance;
    return instance;
}

}  // namespace

bool recordInit(int device) { return recorder().init(device); }
bool recordFree() { return recorder().free(); }
Handle recordStart(int rateHz, std::uint32_t flags)
{
    (void)flags;  // 16-bit stereo is the only capture format
    return recorder().start(rateHz);
}
std::int32_t recordAvailable(Handle capture) { return recorder().available(capture); }
std::int32_t recordRead(Handle capture, void* buffer, std::uint32_t lengthBytes)
{
    return recorder().read(capture, buffer, lengthBytes);
}
bool recordStop(Handle capture) { return recorder().stop(capture); }
std::int32_t recordGetInput(int input) { return recorder().getInput(input); }
std::string recordGetInputName(int input) { return recorder().inputName(input); }
bool recordSetInput(int input, std::uint32_t setting) { return recorder().setInput(input, setting); }

}  // namespace audiolib
