// An output device: the list of channels it mixes, the mixer, the sync events the mixer raises,
// and the output behind it (PortAudio, or the "no sound" clock, or the manual clock of tests). An
// output that stops is dropped and can be replaced; a device whose output could not be opened at
// all plays on a clock of its own meanwhile, as the "no sound" device does.
// mix() runs on the output thread: it takes only the short mix locks and allocates nothing.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audiolib/channel.h"
#include "platform/window.h"

namespace audiolib {

class WavWriter;

// What pulls the mix out of a device.
class Output {
public:
    virtual ~Output() = default;
    // Opens without starting; false when the system refuses (failure() says why).
    virtual bool open() { return true; }
    // Opens when not open yet and starts pulling the mix.
    virtual bool start() = 0;
    virtual void stop() = 0;
    virtual int latencyMs() const = 0;
    // It stopped by itself: its stream ended, or it no longer asks for sound.
    virtual bool failed() const { return false; }
    // Why it could not open or start, or why it failed, in a few words for the operator.
    virtual std::string failure() const { return {}; }
    // The thread that pulls the mix runs with real-time scheduling.
    virtual bool realtime() const { return false; }
};

enum class OutputState {
    Open,     // the output pulls the mix
    Lost,     // the output stopped: nothing is mixed, positions stay where they were heard
    StandIn,  // never opened: a clock consumes the mix in real time, as on the "no sound" device
};

class Device {
public:
    static constexpr int kMaxBlockFrames = 1024;

    struct Params {
        int number = 0;
        int rateHz = 44100;
        int outChannels = 2;
        platform::WindowHandle window = 0;
        bool noSound = false;
        bool manual = false;
        std::string name;
    };
    // deliver is called for every fired sync, on the sync thread or inside advance().
    Device(const Params& params, std::function<void(const SyncEvent&)> deliver);
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    int number() const { return m_p.number; }
    int rateHz() const { return m_p.rateHz; }
    int outChannels() const { return m_p.outChannels; }
    platform::WindowHandle window() const { return m_p.window; }
    bool noSound() const { return m_p.noSound; }
    bool manual() const { return m_p.manual; }
    std::string name() const;  // the output's name as the system lists it

    // Starts the output: the given one, or the "no sound" clock when output is null. False, with
    // nothing started, when the output does not start (why, when given, says why).
    bool start(std::unique_ptr<Output> output, std::string* why = nullptr);
    // A real device whose output cannot be opened now: the clock stands in until reopen().
    void startStandIn(const std::string& why);
    // Stops output and threads; the device mixes no more.
    void shutdown();

    // ---- The output's life (the library's keeper thread) ------------------------------------
    OutputState outputState() const;
    // Drops the open output when it has stopped by itself; every playing stream is put back to
    // what was heard, so that it goes on from there once an output pulls the mix again. True
    // when it was dropped now.
    bool loseFailedOutput();
    // Starts output (opened already) in place of a lost one or of the stand-in clock. False, the
    // device as it was, when it does not start (why says why).
    bool reopen(std::unique_ptr<Output> output, std::string* why);
    // Why the output is lost or standing in ("" while open); what it plays to.
    std::string why() const;
    void setWhy(const std::string& why);
    std::string endpoint() const;
    // The output it is about to open: its name and what it plays to.
    void setOutputName(const std::string& name, const std::string& endpoint);
    // Counts every loss and every reopening.
    std::uint32_t outputChanges() const { return m_changes.load(); }
    bool realtime() const;
    // True on the thread that delivers this device's syncs.
    bool onSyncThread() const { return m_syncThread.get_id() == std::this_thread::get_id(); }
    void pauseOutput(bool paused) { m_outputPaused.store(paused); }
    bool outputPaused() const { return m_outputPaused.load(); }
    // What is mixed now is heard this much later: the latency positions and syncs follow.
    int latencyMs() const;
    // Output latency in frames (0 for "no sound"): what is mixed now is heard that much later.
    int latencyFrames() const { return m_latencyFrames.load(std::memory_order_relaxed); }

    void attach(Channel* channel);
    void detach(Channel* channel);  // after it returns, the mixer no longer touches the channel

    // Output thread: mixes frames (any number) into out, outChannels interleaved.
    void mix(float* out, int frames);
    // Manual clock: decodes inline, mixes, delivers syncs on this thread.
    bool advance(std::uint32_t frames, float* mixOutStereo);

    std::int64_t renderedFrames() const { return m_rendered.load(); }
    float cpuPercent() const { return m_cpu.load(); }
    bool setRenderFile(const std::string& path);

private:
    // Under m_outputMutex.
    void startClock();
    void stopClock();
    void takeLatencyLocked();
    void mixBlock(float* out, int frames);
    void deliverPending();
    void clockLoop();
    void syncLoop();
    void render(const float* out, int frames);  // WAV file of the "no sound" device

    Params m_p;
    std::function<void(const SyncEvent&)> m_deliver;

    // The output, its state and the clock thread change together under this lock.
    mutable std::mutex m_outputMutex;
    std::string m_endpoint;
    std::unique_ptr<Output> m_output;
    OutputState m_state = OutputState::Open;
    std::string m_why;
    bool m_shutDown = false;
    std::atomic<std::uint32_t> m_changes{0};
    std::atomic<bool> m_clockOn{false};

    RtMutex m_mixMutex;
    std::vector<Channel*> m_channels;
    std::vector<float> m_chBuf;
    std::vector<std::int64_t> m_posBuf;
    std::vector<std::int16_t> m_i16;
    std::array<SyncEvent, 64> m_blockEvents;

    // Single producer (mixer) / single consumer (sync thread or advance()) queue of fired syncs.
    static constexpr std::size_t kQueueSize = 1024;
    std::array<SyncEvent, kQueueSize> m_queue;
    std::atomic<std::size_t> m_queueHead{0};
    std::atomic<std::size_t> m_queueTail{0};

    std::atomic<bool> m_outputPaused{false};
    std::atomic<int> m_latencyFrames{0};
    std::atomic<std::int64_t> m_rendered{0};
    std::atomic<float> m_cpu{0.0f};

    std::atomic<bool> m_running{false};
    std::thread m_clock;
    std::thread m_syncThread;
    std::mutex m_wakeMutex;
    std::condition_variable m_wake;

    std::mutex m_wavMutex;
    std::unique_ptr<WavWriter> m_wav;
    std::vector<float> m_clockBuf;
};

}  // namespace audiolib
