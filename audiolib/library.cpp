// Process-wide state of the library and its decoding thread (which fills the buffers of playing
// channels ahead of the output; it may block on file I/O, the output thread never does).
#include "audiolib/library.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "audiolib/config.h"
#include "audiolib/handles.h"
#include "audiolib/paoutput.h"

namespace audiolib {

namespace {

constexpr int kUnselected = -1000;
thread_local int t_device = kUnselected;

bool envFlag(const char* name)
{
    const char* v = std::getenv(name);
    return v && *v && std::strcmp(v, "0") != 0;
}

void deliverSync(const SyncEvent& e, platform::WindowHandle window)
{
    if (e.message) {
        if (window)
            platform::postMessage(window, e.msg, platform::WParam(e.channel), e.lParam);
    } else if (e.proc) {
        e.proc(e.sync, e.channel, 0, e.user);
    }
    if (e.once) {
        if (auto ch = Library::instance().channel(e.channel))
            ch->dropFiredSyncs();
    }
}

}  // namespace

Config& config()
{
    static Config c;
    return c;
}

Library& Library::instance()
{
    static Library* lib = new Library();
    return *lib;
}

Library::Library()
{
    manualClock.store(envFlag("QUORVALEN_MANUAL_CLOCK"));
    m_feeder = std::thread([this] { feederLoop(); });
    std::atexit([] { Library::instance().shutdownAtExit(); });
}

void Library::shutdownAtExit()
{
    {
        std::lock_guard lk(m_feederMutex);
        m_feederStop = true;
    }
    m_feederWake.notify_all();
    if (m_feeder.joinable())
        m_feeder.join();
    std::map<int, std::shared_ptr<Device>> devices;
    {
        std::lock_guard lk(m_mutex);
        devices.swap(m_devices);
    }
    for (auto& [n, d] : devices)
        d->shutdown();
}

std::shared_ptr<Channel> Library::channel(Handle h)
{
    std::lock_guard lk(m_mutex);
    auto it = m_channels.find(h);
    return it == m_channels.end() ? nullptr : it->second;
}

std::shared_ptr<Channel> Library::channelOfFx(std::uint32_t fx)
{
    std::lock_guard lk(m_mutex);
    auto it = m_fxOwner.find(fx);
    if (it == m_fxOwner.end())
        return nullptr;
    auto ch = m_channels.find(it->second);
    return ch == m_channels.end() ? nullptr : ch->second;
}

void Library::registerFx(std::uint32_t fx, Handle channel)
{
    std::lock_guard lk(m_mutex);
    m_fxOwner[fx] = channel;
}

void Library::unregisterFx(std::uint32_t fx)
{
    std::lock_guard lk(m_mutex);
    m_fxOwner.erase(fx);
}

std::shared_ptr<Device> Library::selectedDevice(int* error)
{
    std::lock_guard lk(m_mutex);
    const int number = t_device != kUnselected ? t_device : m_lastInit;
    auto it = m_devices.find(number);
    if (it == m_devices.end()) {
        *error = kErrorNotInitialised;
        return nullptr;
    }
    return it->second;
}

std::shared_ptr<Device> Library::device(int number)
{
    std::lock_guard lk(m_mutex);
    auto it = m_devices.find(number);
    return it == m_devices.end() ? nullptr : it->second;
}

int Library::selectedNumber()
{
    std::lock_guard lk(m_mutex);
    const int number = t_device != kUnselected ? t_device : m_lastInit;
    return m_devices.count(number) ? number : -1;
}

bool Library::selectDevice(int number, int* error)
{
    if (number < 0) {
        *error = kErrorDevice;
        return false;
    }
    std::lock_guard lk(m_mutex);
    t_device = number;
    if (!m_devices.count(number)) {
        *error = kErrorNotInitialised;
        return false;
    }
    return true;
}

bool Library::initDevice(int number, int rateHz, platform::WindowHandle window, int* error)
{
    if (number < 0) {
        *error = kErrorDevice;
        return false;
    }
    if (rateHz <= 0)
        rateHz = 44100;
    if (rateHz < 8000 || rateHz > 192000) {
        *error = kErrorParameter;
        return false;
    }
    {
        std::lock_guard lk(m_mutex);
        if (m_devices.count(number)) {
            t_device = number;
            *error = kErrorAlreadyInitialised;
            return false;
        }
    }
    Device::Params p;
    p.number = number;
    p.rateHz = rateHz;
    p.window = window;
    p.noSound = number == kDeviceNoSound || envFlag("QUORVALEN_NOSOUND");
    p.manual = p.noSound && manualClock.load();
    PaOutputInfo pa;
    if (p.noSound) {
        p.outChannels = 2;
        p.name = "No sound";
    } else {
        const auto outputs = portAudioOutputs();
        if (std::size_t(number - 1) >= outputs.size()) {
            *error = kErrorDevice;
            return false;
        }
        pa = outputs[std::size_t(number - 1)];
        // Rear speakers only where the hardware has them: plug-in devices (ALSA's "default",
        // "pulse") claim 32 or more channels and fold extra ones into the front pair, which would
        // put a pre-listen stream on the air. Real cards report what they have, 4 to 8.
        p.outChannels = (pa.maxChannels >= 4 && pa.maxChannels <= 8) ? 4 : 2;
        p.name = pa.name;
    }
    auto dev = std::make_shared<Device>(
        p, [window](const SyncEvent& e) { deliverSync(e, window); });
    std::unique_ptr<Output> output;
    if (!p.noSound)
        output = openPortAudioOutput(dev.get(), pa);
    if (!dev->start(std::move(output))) {
        *error = kErrorDeviceFailed;
        return false;
    }
    std::lock_guard lk(m_mutex);
    if (p.noSound && !m_wavUsed) {
        if (const char* wav = std::getenv("QUORVALEN_NOSOUND_WAV"); wav && *wav) {
            dev->setRenderFile(wav);
            m_wavUsed = true;
        }
    }
    m_devices[number] = dev;
    m_lastInit = number;
    t_device = number;
    return true;
}

bool Library::freeDevice(int* error)
{
    std::shared_ptr<Device> dev;
    std::vector<Handle> handles;
    bool fromOwnSync = false;
    {
        std::lock_guard lk(m_mutex);
        const int number = t_device != kUnselected ? t_device : m_lastInit;
        auto it = m_devices.find(number);
        if (it == m_devices.end()) {
            *error = kErrorNotInitialised;
            return false;
        }
        dev = it->second;
        fromOwnSync = dev->onSyncThread();
        m_devices.erase(it);
        if (m_lastInit == number)
            m_lastInit = m_devices.empty() ? -1 : m_devices.rbegin()->first;
        for (auto& [h, ch] : m_channels)
            if (ch->device() == dev)
                handles.push_back(h);
    }
    // Tempo streams first: they hold their decode streams.
    std::sort(handles.begin(), handles.end(), [this](Handle a, Handle b) {
        return tempoSource(a) != nullptr && tempoSource(b) == nullptr;
    });
    for (Handle h : handles)
        freeChannel(h);
    dev->shutdown();
    if (fromOwnSync) {
        // Freed from one of its own sync procedures: that thread goes on inside the device once
        // the procedure returns (and then ends), so the device must outlive this call.
        std::lock_guard lk(m_mutex);
        m_keptDevices.push_back(std::move(dev));
    }
    return true;
}

Handle Library::addChannel(std::unique_ptr<Source> source, std::uint32_t flags, int* error,
                           std::shared_ptr<Channel> tempoInput, TempoSource* tempo)
{
    const bool decode = (flags & kStreamDecode) != 0;
    int err = kOk;
    std::shared_ptr<Device> dev = selectedDevice(&err);
    if (!dev && !decode) {
        *error = err;
        return 0;
    }
    if (!decode && (flags & kSpeakerRear) && dev->outChannels() < 4) {
        // Never fall back to the front pair: a pre-listen stream must not reach the air.
        *error = kErrorSpeaker;
        return 0;
    }
    const Handle h = allocateHandle();
    auto ch = std::make_shared<Channel>(h, std::move(source), flags, dev);
    if (tempoInput) {
        ch->setTempoInput(tempoInput);
        tempoInput->setTempoOwner(ch);
    }
    {
        std::lock_guard lk(m_mutex);
        m_channels[h] = ch;
        if (tempo)
            m_tempo[h] = tempo;
    }
    if (!decode)
        dev->attach(ch.get());
    return h;
}

bool Library::freeChannel(Handle h)
{
    std::shared_ptr<Channel> ch;
    {
        std::lock_guard lk(m_mutex);
        auto it = m_channels.find(h);
        if (it == m_channels.end())
            return false;
        ch = it->second;
        m_channels.erase(it);
        m_tempo.erase(h);
        m_bpm.erase(h);
        for (auto f = m_fxOwner.begin(); f != m_fxOwner.end();)
            f = f->second == h ? m_fxOwner.erase(f) : std::next(f);
    }
    ch->stop();
    if (!ch->decodeOnly() && ch->device())
        ch->device()->detach(ch.get());
    // The decoding thread may still hold the channel and be reading its source right now.
    ch->retire();
    if (ch->tempoInput())
        ch->tempoInput()->setTempoOwner({});
    return true;
}

TempoSource* Library::tempoSource(Handle h)
{
    std::lock_guard lk(m_mutex);
    auto it = m_tempo.find(h);
    return it == m_tempo.end() ? nullptr : it->second;
}

void Library::setBpm(Handle h, float bpm)
{
    std::lock_guard lk(m_mutex);
    m_bpm[h] = bpm;
}

float Library::bpm(Handle h, bool* known)
{
    std::lock_guard lk(m_mutex);
    auto it = m_bpm.find(h);
    *known = it != m_bpm.end();
    return *known ? it->second : 0.0f;
}

void Library::forgetBpm(Handle h)
{
    std::lock_guard lk(m_mutex);
    m_bpm.erase(h);
}

void Library::wakeFeeder()
{
    {
        std::lock_guard lk(m_feederMutex);
        m_feederKick = true;
    }
    m_feederWake.notify_one();
}

void Library::feederLoop()
{
    std::vector<std::shared_ptr<Channel>> work;
    for (;;) {
        {
            std::unique_lock lk(m_feederMutex);
            m_feederWake.wait_for(lk, std::chrono::milliseconds(5), [this] { return m_feederStop || m_feederKick; });
            if (m_feederStop)
                return;
            m_feederKick = false;
        }
        work.clear();
        {
            std::lock_guard lk(m_mutex);
            for (auto& [h, ch] : m_channels)
                if (ch->wantsFeeding() && ch->device() && !ch->device()->manual())
                    work.push_back(ch);
        }
        // Fill the emptiest first, one chunk at a time, so that one slow source delays no other.
        bool more = true;
        while (more) {
            more = false;
            for (auto& ch : work) {
                const std::int64_t target = ch->targetBufferFrames();
                if (ch->bufferedFrames() < target && ch->fill(std::min(target, ch->bufferedFrames() + 4096)))
                    more = true;
            }
            std::lock_guard lk(m_feederMutex);
            if (m_feederStop)
                return;
        }
        work.clear();  // the last reference to a freed channel may go here, never on the output thread
    }
}

}  // namespace audiolib
