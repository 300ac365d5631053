// TVqLineIn: the sound card's line input captured and offered as an ordinary playback stream,
// so that a deck can play the pseudo-file "line.in". One instance per process.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

#include "audiolib/audiolib.h"
#include "engine/enginesettings.h"

namespace engine {

// What LineInStreamProc reads on the library's thread.
struct LineInShared {
    std::atomic<std::int32_t> available{0};
    std::atomic<audiolib::Handle> capture{0};
    // Database variant: zeros are delivered while this is off.
    std::atomic<bool> enabled{true};
};

// How long Start waits for the first captured bytes; after that the stream plays silence until
// data comes.
constexpr std::chrono::milliseconds kFirstDataWait{2000};

// Polls available until it reports bytes or limit has passed; the bytes, or 0 after the limit.
std::int32_t waitForFirstData(const std::function<std::int32_t()>& available, std::chrono::milliseconds limit);

class TVqLineIn {
public:
    explicit TVqLineIn(EngineVariant variant = EngineVariant::Player);
    // Stops the playback stream, frees the recording device.
    ~TVqLineIn();
    TVqLineIn(const TVqLineIn&) = delete;
    TVqLineIn& operator=(const TVqLineIn&) = delete;

    // Starts the capture with the line input switched on and creates the playback stream on the
    // calling thread's device; leaves the stream paused (database variant: playing, muted).
    void Start(std::chrono::milliseconds firstDataWait = kFirstDataWait);
    void Resume();
    void Pause();

    // Index of the first recording input of type line, 0 when there is none.
    static int FindLineInput();

    bool started() const { return m_started; }
    bool active() const { return m_active.load(std::memory_order_relaxed); }
    audiolib::Handle stream() const { return m_stream; }
    audiolib::Handle capture() const { return m_capture; }
    std::int32_t available() const { return m_available; }
    std::int32_t lineVolume() const { return m_lineVolume; }
    std::int32_t streamVolume() const { return m_streamVolume; }
    int input() const { return m_input; }

    // The process-wide instance, nullptr before the first InitDevice with UseLineIn on.
    static TVqLineIn* instance();
    static TVqLineIn& createInstance(EngineVariant variant);
    // Frees the instance; to be called before the output device that carries its stream is freed.
    static void destroyInstance();

private:
    // Drops what the capture gathered while nobody listened.
    void discardCaptured();

    const EngineVariant m_variant;
    std::int32_t m_available = 0;
    audiolib::Handle m_stream = 0;
    std::int32_t m_lineVolume = 0;
    std::int32_t m_streamVolume = 0;
    int m_input = 0;
    bool m_started = false;
    LineInShared m_shared;
    audiolib::Handle m_capture = 0;
    std::atomic<bool> m_active{false};
};

// Stream procedure of the line-in stream (library thread): captured bytes, then zeros up to
// lengthBytes; the stream never ends. user is the LineInShared record.
std::uint32_t LineInStreamProc(audiolib::Handle handle, void* buffer, std::uint32_t lengthBytes, void* user);

}  // namespace engine
