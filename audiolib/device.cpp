// The mixer of an output device, its "no sound" clock, its sync thread, the manual clock, and the
// output's replacement when it stops.
// mix()/mixBlock() run on the output thread: no allocation, no I/O, short locks only. The "no
// sound" clock thread also writes the optional WAV file, outside the mix lock.
#include "audiolib/device.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

#include "audiolib/config.h"
#include "audiolib/wavwriter.h"

namespace audiolib {

namespace {
constexpr auto kClockTick = std::chrono::milliseconds(10);
constexpr auto kSyncPoll = std::chrono::milliseconds(5);
}  // namespace

Device::Device(const Params& params, std::function<void(const SyncEvent&)> deliver)
    : m_p(params), m_deliver(std::move(deliver))
{
    m_chBuf.resize(std::size_t(kMaxBlockFrames) * 2);
    m_posBuf.resize(kMaxBlockFrames);
    m_i16.resize(std::size_t(kMaxBlockFrames) * 2);
    m_clockBuf.resize(std::size_t(kMaxBlockFrames) * std::size_t(std::max(2, m_p.outChannels)));
}

Device::~Device() { shutdown(); }

bool Device::start(std::unique_ptr<Output> output, std::string* why)
{
    if (output && !output->start()) {
        if (why)
            *why = output->failure();
        return false;
    }
    m_running.store(true);
    if (!m_p.manual)
        m_syncThread = std::thread([this] { syncLoop(); });
    if (output) {
        std::lock_guard out(m_outputMutex);
        m_output = std::move(output);
        takeLatencyLocked();
    } else if (!m_p.manual) {
        std::lock_guard out(m_outputMutex);
        startClock();
    }
    return true;
}

void Device::startStandIn(const std::string& why)
{
    m_running.store(true);
    m_syncThread = std::thread([this] { syncLoop(); });
    std::lock_guard out(m_outputMutex);
    m_state = OutputState::StandIn;
    m_why = why;
    startClock();
}

void Device::shutdown()
{
    std::unique_ptr<Output> output;
    {
        std::lock_guard out(m_outputMutex);
        m_shutDown = true;
        output = std::move(m_output);
        stopClock();
    }
    // Outside the lock: an output takes PortAudio's lock, which is taken before ours.
    if (output)
        output->stop();
    {
        std::lock_guard lk(m_wakeMutex);
        m_running.store(false);
    }
    m_wake.notify_all();
    if (m_syncThread.joinable() && m_syncThread.get_id() != std::this_thread::get_id())
        m_syncThread.join();
    else if (m_syncThread.joinable())
        m_syncThread.detach();  // freed from one of its own sync procedures
    std::lock_guard lk(m_wavMutex);
    m_wav.reset();
}

void Device::startClock()
{
    m_clockOn.store(true);
    m_clock = std::thread([this] { clockLoop(); });
}

void Device::stopClock()
{
    {
        std::lock_guard lk(m_wakeMutex);
        m_clockOn.store(false);
    }
    m_wake.notify_all();
    if (m_clock.joinable())
        m_clock.join();
}

void Device::takeLatencyLocked()
{
    // Positions and syncs follow the sound at the speaker, not the mixer; a latency reported
    // beyond half a second is not believed.
    m_latencyFrames.store(int(std::int64_t(std::clamp(m_output->latencyMs(), 0, 500)) * m_p.rateHz / 1000));
}

int Device::latencyMs() const { return int(std::int64_t(latencyFrames()) * 1000 / m_p.rateHz); }

OutputState Device::outputState() const
{
    std::lock_guard out(m_outputMutex);
    return m_state;
}

bool Device::loseFailedOutput()
{
    std::unique_ptr<Output> output;
    {
        std::lock_guard out(m_outputMutex);
        if (m_state != OutputState::Open || !m_output || !m_output->failed())
            return false;
        output = std::move(m_output);
        m_state = OutputState::Lost;
        m_why = output->failure();
        ++m_changes;
    }
    output->stop();  // no callback runs after this: the mix stands still
    // What was mixed but not yet heard went with the output.
    std::lock_guard lk(m_mixMutex);
    for (Channel* ch : m_channels)
        ch->rewindToHeard();
    return true;
}

bool Device::reopen(std::unique_ptr<Output> output, std::string* why)
{
    std::lock_guard out(m_outputMutex);
    if (m_shutDown || m_state == OutputState::Open)
        return false;
    const bool standIn = m_state == OutputState::StandIn;
    if (standIn)
        stopClock();  // one thread mixes at a time
    if (!output->start()) {
        if (why)
            *why = output->failure();
        if (standIn)
            startClock();
        return false;
    }
    m_output = std::move(output);
    m_state = OutputState::Open;
    m_why.clear();
    ++m_changes;
    takeLatencyLocked();
    return true;
}

std::string Device::why() const
{
    std::lock_guard out(m_outputMutex);
    return m_why;
}

void Device::setWhy(const std::string& why)
{
    std::lock_guard out(m_outputMutex);
    m_why = why;
}

std::string Device::endpoint() const
{
    std::lock_guard out(m_outputMutex);
    return m_endpoint;
}

void Device::setOutputName(const std::string& name, const std::string& endpoint)
{
    std::lock_guard out(m_outputMutex);
    m_p.name = name;
    m_endpoint = endpoint;
}

std::string Device::name() const
{
    std::lock_guard out(m_outputMutex);
    return m_p.name;
}

bool Device::realtime() const
{
    std::lock_guard out(m_outputMutex);
    return m_output && m_output->realtime();
}

void Device::attach(Channel* channel)
{
    std::lock_guard lk(m_mixMutex);
    m_channels.push_back(channel);
}

void Device::detach(Channel* channel)
{
    std::lock_guard lk(m_mixMutex);
    m_channels.erase(std::remove(m_channels.begin(), m_channels.end(), channel), m_channels.end());
}

void Device::mix(float* out, int frames)
{
    const auto t0 = std::chrono::steady_clock::now();
    const int oc = m_p.outChannels;
    int done = 0;
    while (done < frames) {
        const int n = std::min(kMaxBlockFrames, frames - done);
        if (m_outputPaused.load(std::memory_order_relaxed))
            std::memset(out + std::size_t(done) * oc, 0, sizeof(float) * std::size_t(n) * oc);
        else
            mixBlock(out + std::size_t(done) * oc, n);
        done += n;
    }
    const double spent = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double span = double(frames) / m_p.rateHz;
    if (span > 0) {
        const float load = float(100.0 * spent / span);
        m_cpu.store(m_cpu.load(std::memory_order_relaxed) * 0.9f + load * 0.1f, std::memory_order_relaxed);
    }
}

void Device::mixBlock(float* out, int frames)
{
    const int oc = m_p.outChannels;
    std::memset(out, 0, sizeof(float) * std::size_t(frames) * oc);
    const float streamGain = volumeToGain(config().streamVolume.load(std::memory_order_relaxed));
    int eventCount = 0;
    {
        std::lock_guard lk(m_mixMutex);
        for (Channel* ch : m_channels) {
            const int before = eventCount;
            const int n = ch->render(m_chBuf.data(), frames, m_p.rateHz, m_rendered.load(std::memory_order_relaxed),
                                     m_posBuf.data(), m_blockEvents.data(), int(m_blockEvents.size()), &eventCount);
            (void)before;
            if (n <= 0)
                continue;
            ch->runChain(m_chBuf.data(), n, m_i16.data());
            ch->storeHistory(m_chBuf.data(), n);
            float pl, pr;
            ch->panGains(&pl, &pr);
            const float g = ch->volumeGain() * streamGain;
            const float gl = g * pl, gr = g * pr;
            const int offset = ((ch->flags() & kSpeakerRear) && oc >= 4) ? 2 : 0;
            for (int i = 0; i < n; ++i) {
                out[std::size_t(i) * oc + offset] += m_chBuf[std::size_t(i) * 2] * gl;
                out[std::size_t(i) * oc + offset + 1] += m_chBuf[std::size_t(i) * 2 + 1] * gr;
            }
        }
    }
    const std::int64_t base = m_rendered.load(std::memory_order_relaxed);
    std::sort(m_blockEvents.begin(), m_blockEvents.begin() + eventCount,
              [](const SyncEvent& a, const SyncEvent& b) { return a.frame < b.frame; });
    for (int i = 0; i < eventCount; ++i) {
        const std::size_t head = m_queueHead.load(std::memory_order_relaxed);
        const std::size_t next = (head + 1) % kQueueSize;
        if (next == m_queueTail.load(std::memory_order_acquire))
            break;  // the consumer is far behind; a sync that cannot be queued is lost, not waited for
        m_queue[head] = m_blockEvents[std::size_t(i)];
        m_queue[head].frame += base;
        m_queueHead.store(next, std::memory_order_release);
    }
    m_rendered.fetch_add(frames, std::memory_order_relaxed);
    for (int i = 0; i < frames * oc; ++i)
        out[i] = std::clamp(out[i], -1.0f, 1.0f);
}

void Device::deliverPending()
{
    for (;;) {
        const std::size_t tail = m_queueTail.load(std::memory_order_relaxed);
        if (tail == m_queueHead.load(std::memory_order_acquire))
            return;
        // Not before it is heard: the output plays what was mixed a latency ago.
        if (m_queue[tail].frame > m_rendered.load() - latencyFrames() && m_running.load() && latencyFrames() > 0)
            return;
        const SyncEvent e = m_queue[tail];
        m_queueTail.store((tail + 1) % kQueueSize, std::memory_order_release);
        if (m_deliver)
            m_deliver(e);  // no lock held: a procedure may stop or free its channel
    }
}

bool Device::advance(std::uint32_t frames, float* mixOutStereo)
{
    if (!m_p.manual)
        return false;
    const int oc = m_p.outChannels;
    std::uint32_t done = 0;
    while (done < frames) {
        const int n = int(std::min<std::uint32_t>(kMaxBlockFrames, frames - done));
        {
            // Decode inline what this block needs, so results never depend on thread timing.
            std::lock_guard lk(m_mixMutex);
            for (Channel* ch : m_channels) {
                if (!ch->wantsFeeding())
                    continue;
                int rate = 0;
                ch->attributes(&rate, nullptr, nullptr);
                const std::int64_t need = std::int64_t(std::ceil(double(n) * rate / m_p.rateHz)) + 2;
                ch->fill(std::max(need, ch->targetBufferFrames() / 4));
            }
        }
        if (m_outputPaused.load())
            std::memset(m_clockBuf.data(), 0, sizeof(float) * std::size_t(n) * oc);
        else
            mixBlock(m_clockBuf.data(), n);
        if (mixOutStereo) {
            for (int i = 0; i < n; ++i) {
                mixOutStereo[(std::size_t(done) + i) * 2] = m_clockBuf[std::size_t(i) * oc];
                mixOutStereo[(std::size_t(done) + i) * 2 + 1] = m_clockBuf[std::size_t(i) * oc + 1];
            }
        }
        render(m_clockBuf.data(), n);
        deliverPending();
        done += std::uint32_t(n);
    }
    return true;
}

bool Device::setRenderFile(const std::string& path)
{
    std::lock_guard lk(m_wavMutex);
    m_wav.reset();
    if (path.empty())
        return true;
    auto wav = std::make_unique<WavWriter>();
    if (!wav->open(path, m_p.rateHz, 2))
        return false;
    m_wav = std::move(wav);
    return true;
}

void Device::render(const float* out, int frames)
{
    std::lock_guard lk(m_wavMutex);
    if (!m_wav)
        return;
    const int oc = m_p.outChannels;
    if (oc == 2) {
        m_wav->write(out, frames);
        return;
    }
    float stereo[2 * kMaxBlockFrames];
    for (int i = 0; i < frames; ++i) {
        stereo[i * 2] = out[std::size_t(i) * oc];
        stereo[i * 2 + 1] = out[std::size_t(i) * oc + 1];
    }
    m_wav->write(stereo, frames);
}

void Device::clockLoop()
{
    using Clock = std::chrono::steady_clock;
    auto start = Clock::now();
    std::int64_t clocked = 0;  // frames the clock has consumed since start
    while (m_clockOn.load()) {
        {
            std::unique_lock lk(m_wakeMutex);
            m_wake.wait_for(lk, kClockTick, [this] { return !m_clockOn.load(); });
        }
        if (!m_clockOn.load())
            break;
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        std::int64_t due = std::int64_t(elapsed * m_p.rateHz) - clocked;
        if (due > m_p.rateHz) {
            // The machine stalled for over a second: do not race to catch up.
            clocked += due - kMaxBlockFrames;
            due = kMaxBlockFrames;
        }
        while (due > 0) {
            const int n = int(std::min<std::int64_t>(due, kMaxBlockFrames));
            mix(m_clockBuf.data(), n);
            render(m_clockBuf.data(), n);
            due -= n;
            clocked += n;
        }
    }
}

void Device::syncLoop()
{
    while (m_running.load()) {
        deliverPending();
        std::unique_lock lk(m_wakeMutex);
        m_wake.wait_for(lk, kSyncPoll, [this] { return !m_running.load(); });
    }
    deliverPending();
}

}  // namespace audiolib
