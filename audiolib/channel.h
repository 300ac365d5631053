// One stream as the mixer sees it: its source, the ring of decoded frames between the decoding
// thread and the output, attributes, the effect chain, syncs, and what has been heard.
// render(), runChain() and storeHistory() run on the output (mixing) thread: no allocation, no I/O,
// no decoding there; the locks they take are held by the other side only for a copy or a swap, and
// lift a holder to the output thread's priority while it waits (audiolib/rtmutex.h).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "audiolib/audiolib.h"
#include "audiolib/rtmutex.h"
#include "audiolib/source.h"

namespace audiolib::dsp {
class Effect;
}

namespace audiolib {

class Device;

// A sync that fired, on its way from the mixer to whoever delivers it.
struct SyncEvent {
    SyncHandle sync = 0;
    Handle channel = 0;
    bool message = false;
    bool once = false;
    std::uint32_t msg = 0;
    platform::LParam lParam = 0;
    SyncProc proc = nullptr;
    void* user = nullptr;
    std::int64_t frame = 0;  // output frame of the block at which it fired
};

class Channel {
public:
    static constexpr int kHistoryFrames = 4096;  // what was heard last, for level, FFT and data

    Channel(Handle handle, std::unique_ptr<Source> source, std::uint32_t flags, std::shared_ptr<Device> device);
    ~Channel();
    Channel(const Channel&) = delete;
    Channel& operator=(const Channel&) = delete;

    Handle handle() const { return m_handle; }
    std::uint32_t flags() const { return m_flags; }
    bool decodeOnly() const { return (m_flags & kStreamDecode) != 0; }
    const std::shared_ptr<Device>& device() const { return m_device; }
    int sourceRate() const { return m_srcRate; }
    int sourceChannels() const { return m_srcChannels; }
    int bytesPerSample() const;
    int bytesPerFrame() const { return bytesPerSample() * m_srcChannels; }
    std::int64_t lengthFrames() const { return m_length; }

    // ---- Control (any thread but the output one) ----
    bool play(bool restart, int* error);
    void pause();
    void stop();
    int activeState() const;
    // What has been heard (decode-only: the read position). Of a channel on a device with output
    // latency, what was mixed that long ago.
    std::int64_t positionFrames() const;
    bool setPositionFrames(std::int64_t frame);
    // The output was lost with what it held: a playing or paused file goes back to what was heard,
    // to be played again once an output pulls the mix (live and user streams go on as they are).
    void rewindToHeard();
    bool setAttributes(int rateHz, int volume, int pan);
    void attributes(int* rateHz, int* volume, int* pan) const;

    // Decode-only streams: PCM in the stream's sample format; bytes written, 0 at the end.
    int readDecoded(void* out, std::uint32_t bytes);
    // Float frames for the library's own readers (BPM): frames read, 0 at the end.
    int readFloat(float* out, int maxFrames);

    // The tempo stream that reads this decode stream (its positions and position syncs then follow
    // what that stream has made heard).
    void setTempoOwner(std::weak_ptr<Channel> owner);
    std::shared_ptr<Channel> tempoOwner() const;
    // Decode-only streams: false once reading has reached the end.
    bool decodeActive() const { return !m_decodeEnded.load(); }
    // For a tempo stream: the decode stream it reads.
    void setTempoInput(std::shared_ptr<Channel> input) { m_tempoInput = std::move(input); }
    const std::shared_ptr<Channel>& tempoInput() const { return m_tempoInput; }
    Source* source() { return m_source.get(); }
    std::mutex& sourceMutex() { return m_sourceMutex; }

    // ---- Decoding side (decoding thread, or inline) ----
    // Decodes until targetFrames are buffered or the source ended. False when nothing was needed.
    bool fill(std::int64_t targetFrames);
    std::int64_t bufferedFrames() const;
    std::int64_t targetBufferFrames() const;
    bool wantsFeeding() const;  // playing or paused, not at its end
    // For a freed stream: waits for a fill in progress and refuses every later one, so that a
    // user stream's procedure is never called once the stream has been freed.
    void retire();

    // ---- Syncs ----
    SyncHandle addSync(std::uint32_t type, std::int64_t param, bool message, std::uint32_t msg,
                       platform::LParam lParam, SyncProc proc, void* user);
    bool removeSync(SyncHandle sync);
    void dropFiredSyncs();

    // ---- Chain ----
    // Takes ownership; returns the handle (never 0).
    FxHandle addEffect(std::unique_ptr<dsp::Effect> effect, int kind, int priority);
    DspHandle addDsp(DspProc proc, void* user, int priority);
    bool removeChainEntry(std::uint32_t handle);  // the removed effect is destroyed outside the lock
    std::shared_ptr<dsp::Effect> effect(FxHandle fx);

    // ---- Output thread ----
    // Pulls frames at the device rate into out (stereo), returns the frames produced; positions
    // of each produced frame go to pos. Appends due syncs to events.
    // deviceFrame: the device's frame count at the start of this block.
    int render(float* out, int frames, int deviceRate, std::int64_t deviceFrame, std::int64_t* pos,
               SyncEvent* events, int maxEvents, int* eventCount);
    void runChain(float* stereo, int frames, std::int16_t* scratch);
    void storeHistory(const float* stereo, int frames);
    float volumeGain() const;
    void panGains(float* left, float* right) const;

    // ---- Readers of what was heard ----
    // Peak of the last frames heard per side, 0..1.
    void peaks(int frames, float* left, float* right) const;
    // The last frames heard, oldest first (stereo float); returns frames copied.
    int lastHeard(float* out, int frames) const;

private:
    struct ChainEntry;
    struct Sync;

    void clearRing();  // under m_ringMutex
    void collectPositionSyncs(Channel& owner, const std::int64_t* pos, int frames, std::int64_t heardBefore,
                              SyncEvent* events, int maxEvents, int* eventCount);
    void collectEndSyncs(int frame, SyncEvent* events, int maxEvents, int* eventCount);

    const Handle m_handle;
    const std::uint32_t m_flags;
    std::shared_ptr<Device> m_device;
    int m_srcRate;
    int m_srcChannels;
    std::int64_t m_length;
    bool m_live;

    enum State { kStateStopped, kStatePlaying, kStatePaused, kStateEnded };
    std::atomic<int> m_state{kStateStopped};
    std::atomic<int> m_rate;
    std::atomic<int> m_volume{100};
    std::atomic<int> m_pan{0};
    std::atomic<std::int64_t> m_heard{0};  // index of the next frame to be heard

    // Decoding: the source, and scratch for one chunk.
    mutable std::mutex m_sourceMutex;
    std::unique_ptr<Source> m_source;
    std::vector<float> m_chunk;
    std::vector<std::int64_t> m_chunkPos;
    bool m_retired = false;  // under m_sourceMutex

    // The ring between decoding and output, and the resampler state of the output side.
    mutable RtMutex m_ringMutex;
    std::vector<float> m_ring;  // stereo
    std::vector<std::int64_t> m_ringPos;
    std::int64_t m_capacity = 0;
    std::int64_t m_read = 0;
    std::int64_t m_count = 0;
    bool m_sourceEnded = false;
    bool m_primed = false;
    double m_frac = 0.0;
    float m_a[2] = {0, 0};
    float m_b[2] = {0, 0};
    std::int64_t m_posA = 0;
    std::int64_t m_posB = 0;
    std::vector<float> m_history;  // stereo, kHistoryFrames
    // (device frame at the end of a block, position after it), newest last: what was mixed when,
    // to answer positions behind the output latency.
    struct Mark {
        std::int64_t deviceFrame;
        std::int64_t position;
    };
    static constexpr int kMarks = 256;
    std::vector<Mark> m_marks;
    int m_markWrite = 0;
    int m_markCount = 0;
    std::int64_t m_heardFloor = 0;  // position at the last start or seek
    int m_historyWrite = 0;

    mutable RtMutex m_chainMutex;
    std::vector<std::unique_ptr<ChainEntry>> m_chain;
    std::uint64_t m_chainOrder = 0;

    mutable RtMutex m_syncMutex;
    std::vector<Sync> m_syncs;

    mutable std::mutex m_ownerMutex;
    std::weak_ptr<Channel> m_tempoOwner;
    std::atomic<bool> m_decodeEnded{false};
    std::shared_ptr<Channel> m_tempoInput;
};

}  // namespace audiolib
