// The line input: capture start, input selection and the stream procedure that copies captured
// bytes into the playback stream. LineInStreamProc runs on the audio library's thread: no
// allocation, no waiting there.
#include "engine/linein.h"

#include <cstring>
#include <thread>
#include <vector>

namespace engine {

namespace {

constexpr int kLineInRate = 44100;
constexpr int kMaxInputs = 100;
// Not a static object: its destructor calls into the library, which may be gone at process exit.
TVqLineIn* g_instance = nullptr;

}  // namespace

std::uint32_t LineInStreamProc(audiolib::Handle /*handle*/, void* buffer, std::uint32_t lengthBytes, void* user)
{
    auto* shared = static_cast<LineInShared*>(user);
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    std::int32_t got = 0;
    if (shared && shared->enabled.load(std::memory_order_relaxed)) {
        const audiolib::Handle capture = shared->capture.load(std::memory_order_relaxed);
        if (capture != 0)
            got = audiolib::recordRead(capture, bytes, lengthBytes);
    }
    if (got < 0)
        got = 0;  // an error counts as nothing captured
    if (static_cast<std::uint32_t>(got) > lengthBytes)
        got = static_cast<std::int32_t>(lengthBytes);
    std::memset(bytes + got, 0, lengthBytes - static_cast<std::uint32_t>(got));
    return lengthBytes;
}

std::int32_t waitForFirstData(const std::function<std::int32_t()>& available, std::chrono::milliseconds limit)
{
    // A card that never delivers must not hang the program's start: after the limit the stream
    // plays silence until data arrives.
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const std::int32_t bytes = available();
        if (bytes > 0)
            return bytes;
        if (std::chrono::steady_clock::now() >= deadline)
            return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

TVqLineIn::TVqLineIn(EngineVariant variant) : m_variant(variant)
{
    m_shared.enabled = variant == EngineVariant::Player;
}

TVqLineIn::~TVqLineIn()
{
    if (m_stream != 0) {
        audiolib::stop(m_stream);
        audiolib::streamFree(m_stream);
    }
    m_shared.capture = 0;
    if (m_capture != 0)
        audiolib::recordFree();
}

int TVqLineIn::FindLineInput()
{
    for (int i = 0; i <= kMaxInputs; ++i) {
        const std::int32_t state = audiolib::recordGetInput(i);
        if (state == -1)
            break;
        if ((static_cast<std::uint32_t>(state) & audiolib::kInputTypeMask) == audiolib::kInputTypeLine)
            return i;
    }
    return 0;
}

void TVqLineIn::Start(std::chrono::milliseconds firstDataWait)
{
    if (audiolib::recordInit(0) || audiolib::lastError() == audiolib::kErrorAlreadyInitialised)
        m_capture = audiolib::recordStart(kLineInRate, 0);
    m_started = m_capture != 0;

    for (int i = 0; i <= kMaxInputs; ++i) {
        if (!audiolib::recordSetInput(i, audiolib::kInputOff))
            break;
    }
    m_input = FindLineInput();
    audiolib::recordSetInput(m_input, audiolib::kInputOn);
    const std::int32_t inputState = audiolib::recordGetInput(m_input);
    m_lineVolume = inputState == -1 ? 0 : (inputState & 0xFFFF);

    if (m_started) {
        const audiolib::Handle capture = m_capture;
        m_available = waitForFirstData([capture] { return audiolib::recordAvailable(capture); }, firstDataWait);
    }

    m_shared.available = m_available;
    m_shared.capture = m_capture;
    m_stream = audiolib::streamCreate(kLineInRate, 2, audiolib::kSpeakerFront, LineInStreamProc, &m_shared);
    if (m_stream == 0)
        return;
    audiolib::play(m_stream, false);
    int volume = 0;
    audiolib::getAttributes(m_stream, nullptr, &volume, nullptr);
    m_streamVolume = volume;
    if (m_variant == EngineVariant::Base) {
        m_shared.enabled = true;
        audiolib::setAttributes(m_stream, audiolib::kRateUnchanged, 0, audiolib::kPanUnchanged);
    } else {
        audiolib::pause(m_stream);
    }
}

void TVqLineIn::Resume()
{
    if (m_variant == EngineVariant::Base) {
        m_active = true;  // the deck's start turns the volume up
        return;
    }
    if (m_stream == 0)
        return;
    if (audiolib::isActive(m_stream) == audiolib::kPaused)
        discardCaptured();
    audiolib::resume(m_stream);
}

void TVqLineIn::discardCaptured()
{
    // While the stream was paused the capture went on; read in order, what it gathered would put
    // the live input that many seconds late for as long as the deck plays it.
    const audiolib::Handle capture = m_shared.capture.load(std::memory_order_relaxed);
    if (capture == 0)
        return;
    std::vector<std::uint8_t> scratch(65536);
    // Bounded: the capture keeps producing while this reads.
    for (int i = 0; i < 64; ++i) {
        const auto size = static_cast<std::uint32_t>(scratch.size());
        if (audiolib::recordRead(capture, scratch.data(), size) < static_cast<std::int32_t>(size))
            break;
    }
}

void TVqLineIn::Pause()
{
    if (m_variant == EngineVariant::Base) {
        m_active = false;
        if (m_stream != 0)
            audiolib::setAttributes(m_stream, audiolib::kRateUnchanged, 0, audiolib::kPanUnchanged);
        return;
    }
    if (m_stream != 0)
        audiolib::pause(m_stream);
}

TVqLineIn* TVqLineIn::instance()
{
    return g_instance;
}

TVqLineIn& TVqLineIn::createInstance(EngineVariant variant)
{
    if (!g_instance)
        g_instance = new TVqLineIn(variant);
    return *g_instance;
}

void TVqLineIn::destroyInstance()
{
    delete g_instance;
    g_instance = nullptr;
}

}  // namespace engine
