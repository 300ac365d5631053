// A stream's ring of decoded frames, its resampling and sync detection on the way out, its
// effect chain and the record of what was heard.
// Output-thread rules: render(), runChain() and storeHistory() never allocate, never do I/O and
// only take locks that the other side holds for a copy.
#include "audiolib/channel.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audiolib/config.h"
#include "audiolib/device.h"
#include "audiolib/dsp/effect.h"
#include "audiolib/handles.h"

namespace audiolib {

namespace {
constexpr int kChunkFrames = 2048;
constexpr int kMinBufferMs = 10;
constexpr int kMaxBufferMs = 5000;
}  // namespace

struct Channel::ChainEntry {
    std::uint32_t handle = 0;
    int priority = 0;
    std::uint64_t order = 0;
    int kind = 0;
    std::shared_ptr<dsp::Effect> effect;
    DspProc proc = nullptr;
    void* user = nullptr;
};

struct Channel::Sync {
    SyncHandle handle = 0;
    bool end = false;
    std::int64_t frame = 0;
    bool once = false;
    bool message = false;
    bool fired = false;
    std::uint32_t msg = 0;
    platform::LParam lParam = 0;
    SyncProc proc = nullptr;
    void* user = nullptr;
};

Channel::Channel(Handle handle, std::unique_ptr<Source> source, std::uint32_t flags, std::shared_ptr<Device> device)
    : m_handle(handle),
      m_flags(flags),
      m_device(std::move(device)),
      m_srcRate(source->rateHz()),
      m_srcChannels(source->channels()),
      m_length(source->lengthFrames()),
      m_live(source->live()),
      m_rate(source->rateHz()),
      m_source(std::move(source))
{
    m_chunk.resize(std::size_t(kChunkFrames) * 2);
    m_chunkPos.resize(kChunkFrames);
    if (!decodeOnly()) {
        const int ms = std::clamp(config().bufferMs.load(), kMinBufferMs, kMaxBufferMs);
        // Room for the buffer plus what a fast rate setting pulls in one output block.
        m_capacity = std::int64_t(ms) * m_srcRate / 1000 + 4 * kChunkFrames + 16384;
        m_ring.resize(std::size_t(m_capacity) * 2);
        m_ringPos.resize(std::size_t(m_capacity));
        m_history.assign(std::size_t(kHistoryFrames) * 2, 0.0f);
        m_marks.resize(kMarks);
    }
}

Channel::~Channel() = default;

int Channel::bytesPerSample() const
{
    if (m_flags & kSampleFloat)
        return 4;
    if (m_flags & kSample8Bits)
        return 1;
    return 2;
}

// ---- Control ------------------------------------------------------------------------------------

bool Channel::play(bool restart, int* error)
{
    if (decodeOnly()) {
        *error = kErrorDecodeStream;
        return false;
    }
    const int state = m_state.load();
    if (restart || state == kStateEnded) {
        if (!setPositionFrames(0) && m_length != -1) {
            // Only sources that cannot seek at all (user streams) may refuse the restart.
            *error = kErrorPosition;
            return false;
        }
    }
    if (m_live && state != kStatePlaying) {
        // A live input resumes with what comes in now, not with what waited in the buffer.
        std::lock_guard src(m_sourceMutex);
        std::lock_guard lk(m_ringMutex);
        const std::int64_t heard = m_heard.load();
        clearRing();
        m_heardFloor = heard;
    }
    // Buffer the first part here, so the output never starts this stream on an empty ring
    // (positions would start late) and the other streams are never kept waiting.
    fill(std::min(targetBufferFrames(), std::int64_t(m_srcRate) / 10 + 1));
    m_state.store(kStatePlaying);
    return true;
}

void Channel::pause()
{
    int expected = kStatePlaying;
    m_state.compare_exchange_strong(expected, kStatePaused);
}

void Channel::stop()
{
    const int state = m_state.load();
    if (state == kStatePlaying || state == kStatePaused)
        m_state.store(kStateStopped);
}

int Channel::activeState() const
{
    switch (m_state.load()) {
    case kStatePlaying: {
        std::lock_guard lk(m_ringMutex);
        return (m_count == 0 && !m_sourceEnded) ? kStalled : kPlaying;
    }
    case kStatePaused: return kPaused;
    default: return kStopped;
    }
}

std::int64_t Channel::positionFrames() const
{
    if (auto owner = tempoOwner())
        return owner->positionFrames();
    if (decodeOnly()) {
        std::lock_guard lk(m_sourceMutex);
        return m_source->position();
    }
    const int latency = m_device ? m_device->latencyFrames() : 0;
    if (latency <= 0)
        return m_heard.load();
    const std::int64_t now = m_device->renderedFrames() - latency;
    std::lock_guard lk(m_ringMutex);
    // Between the marks around the moment now being heard, positions ran evenly.
    const Mark* later = nullptr;
    for (int i = 0; i < m_markCount; ++i) {
        const Mark& m = m_marks[std::size_t((m_markWrite - 1 - i + kMarks) % kMarks)];
        if (m.deviceFrame <= now) {
            if (!later || later->deviceFrame <= m.deviceFrame)
                return m.position;
            const double t = double(now - m.deviceFrame) / double(later->deviceFrame - m.deviceFrame);
            return m.position + std::int64_t(t * double(later->position - m.position));
        }
        later = &m;
    }
    return m_heardFloor;
}

bool Channel::setPositionFrames(std::int64_t frame)
{
    if (frame < 0 || (m_length >= 0 && frame > m_length))
        return false;
    if (auto owner = tempoOwner())
        return owner->setPositionFrames(frame);  // the tempo stream flushes and seeks us
    {
        std::lock_guard src(m_sourceMutex);
        if (!m_source->seek(frame))
            return false;
        m_decodeEnded.store(false);
        if (decodeOnly())
            return true;
        std::lock_guard lk(m_ringMutex);
        clearRing();
        m_heard.store(m_source->position());
        if (m_state.load() == kStateEnded)
            m_state.store(kStateStopped);
    }
    // A playing channel goes on from the new place at once, without waiting for the decoder.
    if (m_state.load() == kStatePlaying)
        fill(std::min(targetBufferFrames(), std::int64_t(m_srcRate) / 10 + 1));
    return true;
}

void Channel::rewindToHeard()
{
    const int state = m_state.load();
    if (decodeOnly() || m_live || m_length < 0 || (state != kStatePlaying && state != kStatePaused))
        return;
    setPositionFrames(positionFrames());
}

void Channel::clearRing()
{
    m_markCount = 0;
    m_heardFloor = m_source->position();
    m_read = 0;
    m_count = 0;
    m_sourceEnded = false;
    m_primed = false;
    m_frac = 0.0;
}

bool Channel::setAttributes(int rateHz, int volume, int pan)
{
    if ((rateHz != kRateUnchanged && (rateHz < 100 || rateHz > 192000)) ||
        (volume != kVolumeUnchanged && (volume < 0 || volume > 100)) ||
        (pan != kPanUnchanged && (pan < -100 || pan > 100)))
        return false;
    if (rateHz != kRateUnchanged)
        m_rate.store(rateHz);
    if (volume != kVolumeUnchanged)
        m_volume.store(volume);
    if (pan != kPanUnchanged)
        m_pan.store(pan);
    return true;
}

void Channel::attributes(int* rateHz, int* volume, int* pan) const
{
    if (rateHz)
        *rateHz = m_rate.load();
    if (volume)
        *volume = m_volume.load();
    if (pan)
        *pan = m_pan.load();
}

void Channel::setTempoOwner(std::weak_ptr<Channel> owner)
{
    std::lock_guard lk(m_ownerMutex);
    m_tempoOwner = std::move(owner);
}

std::shared_ptr<Channel> Channel::tempoOwner() const
{
    std::lock_guard lk(m_ownerMutex);
    return m_tempoOwner.lock();
}

// ---- Decode-only reading ------------------------------------------------------------------------

int Channel::readDecoded(void* out, std::uint32_t bytes)
{
    const int frameBytes = bytesPerFrame();
    const int sampleBytes = bytesPerSample();
    std::int64_t framesWanted = bytes / std::uint32_t(frameBytes);
    auto* dst = static_cast<std::uint8_t*>(out);
    std::int64_t done = 0;
    std::lock_guard lk(m_sourceMutex);
    while (done < framesWanted) {
        const int want = int(std::min<std::int64_t>(framesWanted - done, kChunkFrames));
        const int got = m_source->read(m_chunk.data(), want, nullptr);
        if (got <= 0) {
            m_decodeEnded.store(true);
            break;
        }
        const int samples = got * m_srcChannels;
        for (int i = 0; i < samples; ++i) {
            const float v = std::clamp(m_chunk[std::size_t(i)], -1.0f, 1.0f);
            if (sampleBytes == 4) {
                std::memcpy(dst, &v, 4);
            } else if (sampleBytes == 2) {
                // 16-bit sources come in as s / 32768: the same scale back gives them out unchanged.
                const auto s = std::int16_t(std::clamp(std::lrint(v * 32768.0f), -32768L, 32767L));
                std::memcpy(dst, &s, 2);
            } else {
                *dst = std::uint8_t(std::lrint(v * 127.0f) + 128);
            }
            dst += sampleBytes;
        }
        done += got;
    }
    if (m_length >= 0 && m_source->position() >= m_length)
        m_decodeEnded.store(true);
    return int(done * frameBytes);
}

int Channel::readFloat(float* out, int maxFrames)
{
    std::lock_guard lk(m_sourceMutex);
    const int got = m_source->read(out, maxFrames, nullptr);
    if (got <= 0)
        m_decodeEnded.store(true);
    return got;
}

// ---- Decoding side ------------------------------------------------------------------------------

std::int64_t Channel::targetBufferFrames() const
{
    const int ms = std::clamp(config().bufferMs.load(), kMinBufferMs, kMaxBufferMs);
    const std::int64_t frames = std::int64_t(ms) * m_srcRate / 1000;
    return std::min(frames, m_capacity - kChunkFrames);
}

std::int64_t Channel::bufferedFrames() const
{
    std::lock_guard lk(m_ringMutex);
    return m_count;
}

bool Channel::wantsFeeding() const
{
    const int s = m_state.load();
    return !decodeOnly() && (s == kStatePlaying || (s == kStatePaused && !m_live));
}

bool Channel::fill(std::int64_t targetFrames)
{
    if (decodeOnly())
        return false;
    targetFrames = std::min(targetFrames, m_capacity - kChunkFrames);
    bool didWork = false;
    std::lock_guard src(m_sourceMutex);
    if (m_retired)
        return false;
    for (;;) {
        std::int64_t room;
        {
            std::lock_guard lk(m_ringMutex);
            if (m_sourceEnded || m_count >= targetFrames)
                return didWork;
            room = m_capacity - m_count;
        }
        const int want = int(std::min<std::int64_t>(kChunkFrames, room));
        const int got = m_source->read(m_chunk.data(), want, m_chunkPos.data());
        std::lock_guard lk(m_ringMutex);
        if (got <= 0) {
            // A user stream with nothing now is not at its end: try again on the next round.
            if (m_source->exhausted())
                m_sourceEnded = true;
            return didWork || m_sourceEnded;
        }
        didWork = true;
        std::int64_t write = (m_read + m_count) % m_capacity;
        for (int i = 0; i < got; ++i) {
            float l, r;
            if (m_srcChannels == 1) {
                l = r = m_chunk[std::size_t(i)];
            } else {
                l = m_chunk[std::size_t(i) * 2];
                r = m_chunk[std::size_t(i) * 2 + 1];
            }
            m_ring[std::size_t(write) * 2] = l;
            m_ring[std::size_t(write) * 2 + 1] = r;
            m_ringPos[std::size_t(write)] = m_chunkPos[std::size_t(i)];
            if (++write == m_capacity)
                write = 0;
        }
        m_count += got;
    }
}

void Channel::retire()
{
    std::lock_guard src(m_sourceMutex);
    m_retired = true;
}

// ---- Syncs --------------------------------------------------------------------------------------

SyncHandle Channel::addSync(std::uint32_t type, std::int64_t param, bool message, std::uint32_t msg,
                            platform::LParam lParam, SyncProc proc, void* user)
{
    Sync s;
    s.handle = allocateHandle();
    s.end = (type & 0xFFFF) == kSyncEnd;
    s.frame = s.end ? 0 : param / bytesPerFrame();
    s.once = (type & kSyncOnce) != 0;
    s.message = message;
    s.msg = msg;
    s.lParam = lParam;
    s.proc = proc;
    s.user = user;
    std::lock_guard lk(m_syncMutex);
    m_syncs.push_back(s);
    return s.handle;
}

bool Channel::removeSync(SyncHandle sync)
{
    std::lock_guard lk(m_syncMutex);
    auto it = std::find_if(m_syncs.begin(), m_syncs.end(), [sync](const Sync& s) { return s.handle == sync; });
    if (it == m_syncs.end())
        return false;
    m_syncs.erase(it);
    return true;
}

void Channel::dropFiredSyncs()
{
    std::lock_guard lk(m_syncMutex);
    m_syncs.erase(std::remove_if(m_syncs.begin(), m_syncs.end(), [](const Sync& s) { return s.once && s.fired; }),
                  m_syncs.end());
}

// ---- Chain --------------------------------------------------------------------------------------

FxHandle Channel::addEffect(std::unique_ptr<dsp::Effect> effect, int kind, int priority)
{
    auto entry = std::make_unique<ChainEntry>();
    entry->handle = allocateHandle();
    entry->priority = priority;
    entry->kind = kind;
    entry->effect = std::move(effect);
    const FxHandle h = entry->handle;
    std::lock_guard lk(m_chainMutex);
    entry->order = m_chainOrder++;
    m_chain.reserve(m_chain.size() + 1);
    auto pos = std::find_if(m_chain.begin(), m_chain.end(),
                            [priority](const std::unique_ptr<ChainEntry>& e) { return e->priority < priority; });
    m_chain.insert(pos, std::move(entry));
    return h;
}

DspHandle Channel::addDsp(DspProc proc, void* user, int priority)
{
    auto entry = std::make_unique<ChainEntry>();
    entry->handle = allocateHandle();
    entry->priority = priority;
    entry->proc = proc;
    entry->user = user;
    const DspHandle h = entry->handle;
    std::lock_guard lk(m_chainMutex);
    entry->order = m_chainOrder++;
    auto pos = std::find_if(m_chain.begin(), m_chain.end(),
                            [priority](const std::unique_ptr<ChainEntry>& e) { return e->priority < priority; });
    m_chain.insert(pos, std::move(entry));
    return h;
}

bool Channel::removeChainEntry(std::uint32_t handle)
{
    std::unique_ptr<ChainEntry> removed;
    {
        std::lock_guard lk(m_chainMutex);
        auto it = std::find_if(m_chain.begin(), m_chain.end(),
                               [handle](const std::unique_ptr<ChainEntry>& e) { return e->handle == handle; });
        if (it == m_chain.end())
            return false;
        removed = std::move(*it);
        m_chain.erase(it);
    }
    return true;  // removed (and its delay lines) freed here, not under the lock
}

std::shared_ptr<dsp::Effect> Channel::effect(FxHandle fx)
{
    std::lock_guard lk(m_chainMutex);
    for (auto& e : m_chain)
        if (e->handle == fx)
            return e->effect;
    return nullptr;
}

// ---- Output thread ------------------------------------------------------------------------------

int Channel::render(float* out, int frames, int deviceRate, std::int64_t deviceFrame, std::int64_t* pos,
                    SyncEvent* events, int maxEvents, int* eventCount)
{
    if (m_state.load(std::memory_order_relaxed) != kStatePlaying)
        return 0;
    int produced = 0;
    bool ended = false;
    std::int64_t heardBefore;
    {
        std::lock_guard lk(m_ringMutex);
        heardBefore = m_heard.load(std::memory_order_relaxed);
        const int rate = m_rate.load(std::memory_order_relaxed);
        if (rate == deviceRate) {
            m_primed = false;
            produced = int(std::min<std::int64_t>(frames, m_count));
            for (int i = 0; i < produced; ++i) {
                out[i * 2] = m_ring[std::size_t(m_read) * 2];
                out[i * 2 + 1] = m_ring[std::size_t(m_read) * 2 + 1];
                pos[i] = m_ringPos[std::size_t(m_read)];
                if (++m_read == m_capacity)
                    m_read = 0;
            }
            m_count -= produced;
            if (produced > 0)
                m_heard.store(pos[produced - 1] + 1, std::memory_order_relaxed);
        } else {
            // Linear interpolation between the two frames around the output instant.
            const double step = double(rate) / double(deviceRate);
            auto pop = [this](float* f, std::int64_t* p) {
                f[0] = m_ring[std::size_t(m_read) * 2];
                f[1] = m_ring[std::size_t(m_read) * 2 + 1];
                *p = m_ringPos[std::size_t(m_read)];
                if (++m_read == m_capacity)
                    m_read = 0;
                --m_count;
            };
            if (!m_primed && m_count >= 1) {
                pop(m_a, &m_posA);
                if (m_count >= 1)
                    pop(m_b, &m_posB);
                else {
                    m_b[0] = m_a[0];
                    m_b[1] = m_a[1];
                    m_posB = m_posA;
                }
                m_frac = 0.0;
                m_primed = true;
            }
            while (m_primed && produced < frames) {
                bool dry = false;
                while (m_frac >= 1.0) {
                    if (m_count == 0) {
                        dry = true;
                        break;
                    }
                    m_a[0] = m_b[0];
                    m_a[1] = m_b[1];
                    m_posA = m_posB;
                    pop(m_b, &m_posB);
                    m_frac -= 1.0;
                }
                if (dry)
                    break;
                const float t = float(m_frac);
                out[produced * 2] = m_a[0] + (m_b[0] - m_a[0]) * t;
                out[produced * 2 + 1] = m_a[1] + (m_b[1] - m_a[1]) * t;
                pos[produced] = m_posA;
                ++produced;
                m_frac += step;
            }
            if (produced > 0)
                m_heard.store(pos[produced - 1] + 1, std::memory_order_relaxed);
        }
        ended = m_sourceEnded && m_count == 0;
        if (produced > 0 && !m_marks.empty()) {
            m_marks[std::size_t(m_markWrite)] = Mark{deviceFrame + produced, m_heard.load(std::memory_order_relaxed)};
            m_markWrite = (m_markWrite + 1) % kMarks;
            m_markCount = std::min(m_markCount + 1, kMarks);
        }
    }
    if (produced > 0) {
        collectPositionSyncs(*this, pos, produced, heardBefore, events, maxEvents, eventCount);
        if (m_tempoInput)
            m_tempoInput->collectPositionSyncs(*m_tempoInput, pos, produced, heardBefore, events, maxEvents,
                                               eventCount);
    }
    if (ended) {
        m_state.store(kStateEnded);
        collectEndSyncs(produced, events, maxEvents, eventCount);
    }
    return produced;
}

void Channel::collectPositionSyncs(Channel& owner, const std::int64_t* pos, int frames, std::int64_t heardBefore,
                                   SyncEvent* events, int maxEvents, int* eventCount)
{
    std::lock_guard lk(owner.m_syncMutex);
    for (Sync& s : owner.m_syncs) {
        if (s.end || (s.once && s.fired))
            continue;
        // Fires on the first frame heard at or past the position, unless we were past it already.
        std::int64_t prev = heardBefore;
        for (int i = 0; i < frames; ++i) {
            if (pos[i] >= s.frame && prev <= s.frame) {
                if (*eventCount < maxEvents) {
                    SyncEvent& e = events[(*eventCount)++];
                    e = SyncEvent{s.handle, owner.m_handle, s.message, s.once, s.msg, s.lParam, s.proc, s.user, i};
                }
                s.fired = true;
                break;
            }
            prev = pos[i] + 1;
        }
    }
}

void Channel::collectEndSyncs(int frame, SyncEvent* events, int maxEvents, int* eventCount)
{
    std::lock_guard lk(m_syncMutex);
    for (Sync& s : m_syncs) {
        if (!s.end || (s.once && s.fired))
            continue;
        if (*eventCount < maxEvents) {
            SyncEvent& e = events[(*eventCount)++];
            e = SyncEvent{s.handle, m_handle, s.message, s.once, s.msg, s.lParam, s.proc, s.user, frame};
        }
        s.fired = true;
    }
}

void Channel::runChain(float* stereo, int frames, std::int16_t* scratch)
{
    std::lock_guard lk(m_chainMutex);
    for (auto& e : m_chain) {
        if (e->effect) {
            e->effect->process(stereo, frames);
        } else if (e->proc) {
            const int samples = frames * 2;
            for (int i = 0; i < samples; ++i)
                scratch[i] = std::int16_t(std::clamp(std::lrint(stereo[i] * 32768.0f), -32768L, 32767L));
            e->proc(e->handle, m_handle, scratch, std::uint32_t(samples) * 2, e->user);
            for (int i = 0; i < samples; ++i)
                stereo[i] = float(scratch[i]) * (1.0f / 32768.0f);
        }
    }
}

void Channel::storeHistory(const float* stereo, int frames)
{
    std::lock_guard lk(m_ringMutex);
    for (int i = 0; i < frames; ++i) {
        m_history[std::size_t(m_historyWrite) * 2] = stereo[i * 2];
        m_history[std::size_t(m_historyWrite) * 2 + 1] = stereo[i * 2 + 1];
        if (++m_historyWrite == kHistoryFrames)
            m_historyWrite = 0;
    }
}

float Channel::volumeGain() const { return volumeToGain(m_volume.load(std::memory_order_relaxed)); }

void Channel::panGains(float* left, float* right) const
{
    const int pan = m_pan.load(std::memory_order_relaxed);
    *left = pan > 0 ? float(100 - pan) / 100.0f : 1.0f;
    *right = pan < 0 ? float(100 + pan) / 100.0f : 1.0f;
}

// ---- Readers ------------------------------------------------------------------------------------

void Channel::peaks(int frames, float* left, float* right) const
{
    frames = std::clamp(frames, 1, kHistoryFrames);
    float l = 0.0f, r = 0.0f;
    std::lock_guard lk(m_ringMutex);
    if (m_history.empty()) {
        *left = *right = 0.0f;
        return;
    }
    int idx = m_historyWrite;
    for (int i = 0; i < frames; ++i) {
        idx = idx == 0 ? kHistoryFrames - 1 : idx - 1;
        l = std::max(l, std::fabs(m_history[std::size_t(idx) * 2]));
        r = std::max(r, std::fabs(m_history[std::size_t(idx) * 2 + 1]));
    }
    *left = l;
    *right = r;
}

int Channel::lastHeard(float* out, int frames) const
{
    frames = std::clamp(frames, 0, kHistoryFrames);
    std::lock_guard lk(m_ringMutex);
    if (m_history.empty())
        return 0;
    int idx = (m_historyWrite - frames + kHistoryFrames) % kHistoryFrames;
    for (int i = 0; i < frames; ++i) {
        out[i * 2] = m_history[std::size_t(idx) * 2];
        out[i * 2 + 1] = m_history[std::size_t(idx) * 2 + 1];
        if (++idx == kHistoryFrames)
            idx = 0;
    }
    return frames;
}

}  // namespace audiolib
