// Process-wide state of the library, its decoding thread (which fills the buffers of playing
// channels ahead of the output; it may block on file I/O, the output thread never does) and its
// keeper thread (which watches the real outputs and opens a lost one again).
#include "audiolib/library.h"

#include <algorithm>
#include <chrono>
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

// How often the keeper looks at the outputs: a stopped one is noticed within its stall time and this.
constexpr auto kKeeperPoll = std::chrono::milliseconds(100);
// How often a device that does not answer is tried again.
constexpr auto kRetry = std::chrono::milliseconds(500);

// The output device number (ours: 1 the default output, 2.. the others) stands for in the list;
// one that was opened before is looked for by its name, as a new reading may number them anew.
const PaOutputInfo* findOutput(int number, const std::string& name, const std::vector<PaOutputInfo>& outputs)
{
    if (number == kDeviceDefault)
        return outputs.empty() ? nullptr : &outputs.front();
    if (!name.empty()) {
        auto it = std::find_if(outputs.begin(), outputs.end(), [&](const PaOutputInfo& o) { return o.name == name; });
        return it == outputs.end() ? nullptr : &*it;
    }
    return std::size_t(number - 1) < outputs.size() ? &outputs[std::size_t(number - 1)] : nullptr;
}

std::string notListedText(int number)
{
    return number == kDeviceDefault ? "the system lists no output device"
                                    : "the system lists no output device " + std::to_string(number);
}

std::string sameOutputText(int other)
{
    return "it plays to the same output as device " + std::to_string(other);
}

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
        std::lock_guard lk(m_keeperMutex);
        m_keeperStop = true;
    }
    m_keeperWake.notify_all();
    if (m_keeper.joinable())
        m_keeper.join();
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
    auto deliver = [window](const SyncEvent& e) { deliverSync(e, window); };
    std::shared_ptr<Device> dev;
    if (p.noSound) {
        p.outChannels = 2;
        p.name = "No sound";
        dev = std::make_shared<Device>(p, deliver);
        if (!dev->start(nullptr)) {
            *error = kErrorDeviceFailed;
            return false;
        }
    } else {
        // The list and the open see one reading of the system's outputs, a new one while none of
        // ours is open: an earlier reading may have caught a sound server coming up (some of its
        // outputs not answering yet) or going, and numbers would then stand for other outputs.
        std::lock_guard pa(portAudioLock());
        portAudioReread();
        const auto outputs = portAudioOutputs();
        const PaOutputInfo* info = findOutput(number, {}, outputs);
        if (info) {
            if (sameOutputAs(info->endpoint, nullptr, realDevices()) != 0) {
                // Never a second name for an output already open: a pre-listen stream must not
                // reach the air.
                *error = kErrorSameOutput;
                return false;
            }
            // Rear speakers only where the hardware has them: plug-in devices (ALSA's "default",
            // "pulse") claim 32 or more channels and fold extra ones into the front pair, which
            // would put a pre-listen stream on the air. Real cards report what they have, 4 to 8.
            p.outChannels = (info->maxChannels >= 4 && info->maxChannels <= 8) ? 4 : 2;
            p.name = info->name;
        }
        dev = std::make_shared<Device>(p, deliver);
        std::string why = notListedText(number);
        if (info)
            dev->setOutputName(info->name, info->endpoint);
        // A device that cannot be opened now plays on a clock, as "no sound" does, while the keeper
        // tries it again: the air goes on, and the sound comes once the device answers.
        if (!info || !dev->start(makePortAudioOutput(dev.get(), *info), &why))
            dev->startStandIn(why);
    }
    std::lock_guard lk(m_mutex);
    if (p.noSound && !m_wavUsed) {
        if (const char* wav = std::getenv("QUORVALEN_NOSOUND_WAV"); wav && *wav) {
            dev->setRenderFile(wav);
            m_wavUsed = true;
        }
    }
    if (!p.noSound && !m_keeper.joinable())
        m_keeper = std::thread([this] { keeperLoop(); });
    m_devices[number] = dev;
    m_lastInit = number;
    t_device = number;
    return true;
}

bool Library::deviceStatus(int number, DeviceStatus* status, int* error)
{
    std::shared_ptr<Device> dev = device(number);
    if (!dev) {
        *error = kErrorNotInitialised;
        return false;
    }
    switch (dev->outputState()) {
    case OutputState::Open: status->state = kDeviceOpen; break;
    case OutputState::Lost: status->state = kDeviceLost; break;
    case OutputState::StandIn: status->state = kDeviceStandIn; break;
    }
    status->name = dev->name();
    status->why = dev->why();
    status->latencyMs = dev->latencyMs();
    status->realtime = dev->realtime();
    status->changes = dev->outputChanges();
    return true;
}

std::vector<std::shared_ptr<Device>> Library::realDevices()
{
    std::vector<std::shared_ptr<Device>> devices;
    std::lock_guard lk(m_mutex);
    for (auto& [n, d] : m_devices)
        if (!d->noSound())
            devices.push_back(d);
    return devices;
}

int Library::sameOutputAs(const std::string& endpoint, const Device* self,
                          const std::vector<std::shared_ptr<Device>>& devices)
{
    for (const auto& d : devices)
        if (d.get() != self && !endpoint.empty() && d->endpoint() == endpoint)
            return d->number();
    return 0;
}

void Library::keeperLoop()
{
    using Clock = std::chrono::steady_clock;
    std::map<const Device*, Clock::time_point> due;  // the next try of each device that waits
    for (;;) {
        {
            std::unique_lock lk(m_keeperMutex);
            m_keeperWake.wait_for(lk, kKeeperPoll, [this] { return m_keeperStop; });
            if (m_keeperStop)
                return;
        }
        const std::vector<std::shared_ptr<Device>> devices = realDevices();
        std::vector<std::shared_ptr<Device>> waiting;
        bool anyOpen = false;
        const auto now = Clock::now();
        for (const auto& d : devices) {
            if (d->loseFailedOutput())
                due[d.get()] = now;  // tried at once: the output may only have hiccuped
            if (d->outputState() == OutputState::Open) {
                anyOpen = true;
                due.erase(d.get());
                continue;
            }
            auto it = due.try_emplace(d.get(), now).first;
            if (now >= it->second) {
                waiting.push_back(d);
                it->second = now + kRetry;
            }
        }
        for (auto it = due.begin(); it != due.end();) {
            const bool live = std::any_of(devices.begin(), devices.end(), [&](const auto& d) { return d.get() == it->first; });
            it = live ? std::next(it) : due.erase(it);
        }
        if (!waiting.empty())
            reopenOutputs(waiting, devices, !anyOpen);
    }
}

void Library::reopenOutputs(const std::vector<std::shared_ptr<Device>>& waiting,
                            const std::vector<std::shared_ptr<Device>>& all, bool reread)
{
    std::lock_guard pa(portAudioLock());
    // Only a new reading shows a device that was not there (a sound server that was not up).
    if (reread)
        portAudioReread();
    const std::vector<PaOutputInfo> outputs = portAudioOutputs();
    for (const auto& d : waiting) {
        const PaOutputInfo* info = findOutput(d->number(), d->name(), outputs);
        if (!info) {
            d->setWhy(notListedText(d->number()));
            continue;
        }
        if (const int other = sameOutputAs(info->endpoint, d.get(), all)) {
            d->setWhy(sameOutputText(other));
            continue;
        }
        auto output = makePortAudioOutput(d.get(), *info);
        if (!output->open()) {
            d->setWhy(output->failure());
            continue;
        }
        d->setOutputName(info->name, info->endpoint);
        std::string why;
        if (!d->reopen(std::move(output), &why))
            d->setWhy(why);
    }
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
