// TAudioEngine: opening, starting, pausing, seeking and stopping a deck, volume and pan, levels,
// the end notification and the devices.
#include "engine/audioengine.h"

#include "engine/deckregistry.h"
#include "engine/filenameparts.h"
#include "engine/linein.h"
#include "platform/messageids.h"

#include <QObject>

#include <algorithm>
#include <cmath>
#include <limits>

namespace engine {

namespace {

std::atomic<bool> g_lineInSetUp{false};

constexpr std::uint32_t kDeviceInitFlags = 0x01F40900;
constexpr int kPlayerOutputRate = 44100;

std::uint64_t packState(std::uint32_t startNumber, std::int32_t state)
{
    return (static_cast<std::uint64_t>(startNumber) << 32) | static_cast<std::uint32_t>(state);
}

std::uint32_t startOf(std::uint64_t word)
{
    return static_cast<std::uint32_t>(word >> 32);
}

std::int32_t stateOf(std::uint64_t word)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(word & 0xFFFFFFFFu));
}

// The sync procedure's user value: deck number and start number, never a pointer, so that a
// sync firing while its deck is being freed touches nothing.
void* packSyncUser(std::uint32_t deckNumber, std::uint32_t startNumber)
{
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>((static_cast<std::uint64_t>(startNumber) << 32) |
                                                               deckNumber));
}

std::int32_t roundToInt32(double v)
{
    if (!std::isfinite(v))
        return 0;
    return static_cast<std::int32_t>(
        std::clamp(std::round(v), double(std::numeric_limits<std::int32_t>::min()),
                   double(std::numeric_limits<std::int32_t>::max())));
}

}  // namespace

const char* stateName(std::int32_t state)
{
    switch (state) {
    case STATE_STOP: return "stop";
    case STATE_PLAY: return "play";
    case STATE_PAUSE: return "pause";
    case STATE_END: return "end";
    default: return "";
    }
}

bool lineInSetUp()
{
    return g_lineInSetUp.load(std::memory_order_relaxed);
}

TAudioEngine::TAudioEngine(platform::WindowHandle window, EngineVariant variant)
    : m_variant(variant), m_window(window), m_ownerContext(std::make_unique<QObject>()),
      m_stateWord(packState(0, STATE_STOP))
{
    m_deckNumber = deckregistry::add(this, window);
    g_lineInSetUp = false;
    audiolib::setConfig(audiolib::kOptionBufferMs, engineSettings().BufferLength);
}

TAudioEngine::~TAudioEngine()
{
    // First out of the registry: a sync firing from now on finds nothing to touch.
    deckregistry::remove(m_deckNumber);
    std::lock_guard guard(m_lock);
    stopLocked();
}

void TAudioEngine::selectDevice() const
{
    audiolib::setDevice(Device);
}

std::uint32_t TAudioEngine::StartNumber() const
{
    return startOf(m_stateWord.load(std::memory_order_acquire));
}

std::int32_t TAudioEngine::State() const
{
    return stateOf(m_stateWord.load(std::memory_order_acquire));
}

void TAudioEngine::SetState(std::int32_t state)
{
    setStateLocked(state);  // the word itself is atomic; no handle is touched
}

void TAudioEngine::setStateLocked(std::int32_t state)
{
    std::uint64_t word = m_stateWord.load(std::memory_order_acquire);
    while (!m_stateWord.compare_exchange_weak(word, packState(startOf(word), state), std::memory_order_acq_rel)) {
    }
}

bool TAudioEngine::markEndedIfStart(std::uint32_t startNumber)
{
    std::uint64_t expected = packState(startNumber, STATE_PLAY);
    return m_stateWord.compare_exchange_strong(expected, packState(startNumber, STATE_END), std::memory_order_acq_rel);
}

std::string TAudioEngine::FileName() const
{
    std::lock_guard guard(m_nameLock);
    return m_fileName;
}

audiolib::Handle TAudioEngine::PlayHandle() const
{
    std::lock_guard guard(m_lock);
    return m_playHandle;
}

audiolib::Handle TAudioEngine::SourceHandle() const
{
    std::lock_guard guard(m_lock);
    return m_sourceHandle;
}

TAudioEngine* TAudioEngine::FromEndMessage(platform::WParam wParam, platform::LParam lParam)
{
    if (lParam <= 0 || lParam > std::numeric_limits<std::uint32_t>::max())
        return nullptr;
    TAudioEngine* deck = deckregistry::find(static_cast<std::uint32_t>(lParam));
    if (!deck || static_cast<std::uint64_t>(wParam) != deck->StartNumber())
        return nullptr;
    return deck;
}

bool TAudioEngine::InitDevice(int device)
{
    Stop();
    const int rate = m_variant == EngineVariant::Base ? engineSettings().SampleRate : kPlayerOutputRate;
    const bool ok = audiolib::initDevice(device, rate, kDeviceInitFlags, m_window);
    if (engineSettings().UseLineIn) {
        TVqLineIn& lineIn = TVqLineIn::createInstance(m_variant);
        if (!lineIn.started() && lineIn.stream() == 0)
            lineIn.Start();
    }
    return ok;
}

void TAudioEngine::Stop()
{
    std::lock_guard guard(m_lock);
    stopLocked();
}

void TAudioEngine::stopLocked()
{
    selectDevice();
    removeAllEffectsLocked();
    if (m_isLineIn) {
        // The line-in stream lives on; only this deck's use of it ends.
        if (m_endSync != 0)
            audiolib::removeSync(m_playHandle, m_endSync);
        if (m_variant == EngineVariant::Base && m_playHandle != 0) {
            // This variant sets the equaliser and compressor up at every start.
            for (auto& band : m_eqBands) {
                if (band != 0)
                    audiolib::removeDspFx(m_playHandle, band);
                band = 0;
            }
            if (m_compressor != 0)
                audiolib::removeFx(m_playHandle, m_compressor);
            m_compressor = 0;
        }
        // Only when this deck has it: another deck may be playing the same stream by now.
        if (m_playHandle != 0 && engineSettings().UseLineIn && TVqLineIn::instance())
            TVqLineIn::instance()->Pause();
    } else {
        if (m_playHandle != 0)
            audiolib::stop(m_playHandle);
        if (m_tempoStream != 0)
            audiolib::tempoFree(m_tempoStream);
        if (m_sourceHandle != 0)
            audiolib::streamFree(m_sourceHandle);  // with its syncs, effects and DSPs
        m_eqBands.fill(0);
        m_compressor = 0;
    }
    if (m_bpmStream != 0) {
        audiolib::bpmFree(m_bpmStream);
        audiolib::streamFree(m_bpmStream);
    }
    m_endSync = 0;
    m_playHandle = 0;
    m_sourceHandle = 0;
    m_tempoStream = 0;
    m_bpmStream = 0;
    setStateLocked(STATE_STOP);
}

StartInputs TAudioEngine::StartInputsFor(const std::string& fileName) const
{
    const EngineSettings& settings = engineSettings();
    StartInputs inputs;
    inputs.fileName = fileName;
    if (m_variant == EngineVariant::Base) {
        inputs.flags = settings.Resolution == 8 ? audiolib::kSample8Bits
                       : settings.Resolution == 32 ? audiolib::kSampleFloat
                                                   : 0;
        inputs.flags |= settings.FXTempo ? audiolib::kStreamDecode : static_cast<std::uint32_t>(StreamFlags);
    } else {
        inputs.flags = (settings.FXTempo ? audiolib::kStreamDecode : 0) | static_cast<std::uint32_t>(StreamFlags);
        inputs.skipSilence = SkipSilence;
        inputs.silenceThreshold = SilenceThreshold;
    }
    inputs.device = Device;
    return inputs;
}

void TAudioEngine::PlayFile(const std::string& fileName)
{
    PlayFile(fileName, nullptr);
}

void TAudioEngine::PlayFile(const std::string& fileName, std::unique_ptr<PreparedFile> prepared)
{
    const EngineSettings& settings = engineSettings();
    const bool base = m_variant == EngineVariant::Base;
    const bool lineIn = isLineInName(fileName);
    // A file prepared with other settings, or whose stream went with its device, is opened now.
    // Before the lock: the fade-out of the item on this deck goes on while the file opens.
    if (!lineIn) {
        const StartInputs inputs = StartInputsFor(fileName);
        if (!prepared || !(prepared->inputs() == inputs) || !prepared->usable())
            prepared = PreparedFile::open(inputs);
    }

    std::lock_guard guard(m_lock);
    removeAllEffectsLocked();
    stopLocked();
    selectDevice();
    {
        std::lock_guard nameGuard(m_nameLock);
        m_fileName = fileName;
    }
    // A new start: messages and fade-outs that belong to the previous one no longer apply.
    const std::uint32_t start = StartNumber() + 1;
    m_stateWord.store(packState(start, STATE_STOP), std::memory_order_release);

    m_isLineIn = lineIn;
    if (m_isLineIn && !settings.UseLineIn)
        return;

    Trim = TrimResult{};
    int openError = 0;
    if (m_isLineIn) {
        TVqLineIn* lineIn = TVqLineIn::instance();
        if (lineIn && lineIn->stream() != 0) {
            m_sourceHandle = m_playHandle = lineIn->stream();
            lineIn->Resume();
        }
    } else {
        Trim = prepared->trim();
        openError = prepared->error();
        m_sourceHandle = prepared->takeStream();
        if (settings.FXTempo) {
            if (m_sourceHandle != 0) {
                audiolib::getChannelInfo(m_sourceHandle, &m_channelInfo);
                m_sampleRate = m_channelInfo.rateHz;
                m_tempoStream = audiolib::tempoCreate(m_sourceHandle, static_cast<std::uint32_t>(StreamFlags));
                if (m_tempoStream == 0) {
                    m_lastError = audiolib::lastError();
                    audiolib::streamFree(m_sourceHandle);
                    m_sourceHandle = 0;
                    return;
                }
                m_playHandle = audiolib::tempoGetResampledHandle(m_tempoStream);
            }
        } else {
            m_playHandle = m_sourceHandle;
        }
    }
    if (m_playHandle == 0) {
        const int error = openError != 0 ? openError : audiolib::lastError();
        // A failed start must be visible as such even when the library had nothing to report
        // (the line input was never set up).
        m_lastError = error != 0 ? error : audiolib::kErrorHandle;
        if (!m_isLineIn && m_sourceHandle != 0) {
            audiolib::streamFree(m_sourceHandle);
            m_sourceHandle = 0;
        }
        if (m_isLineIn)
            m_sourceHandle = 0;
        return;
    }

    if (base || !(m_isLineIn && g_lineInSetUp)) {
        setupEqualizerLocked();
        for (int i = 0; i <= settings.LastBand; ++i)
            setEqualizerGainLocked(i, m_bandGains[i]);
        setupCompressorLocked();
        setCompressorParamsLocked(m_compressorParams);
    }
    if (base || !m_isLineIn)
        applyTempoLocked();

    if (m_isLineIn) {
        g_lineInSetUp = true;
        LengthMs = kLineInLengthMs;
    } else {
        LengthMs = roundToInt32(audiolib::bytesToSeconds(m_sourceHandle, audiolib::getLength(m_sourceHandle)) * 1000.0);
        int rate = 0;
        if (audiolib::getAttributes(m_playHandle, &rate, nullptr, nullptr))
            ChannelRate = rate;
    }

    const double bytesPerSecond = static_cast<double>(audiolib::secondsToBytes(m_playHandle, 1.0));
    const double delay = autoAmpSettings.delay;
    m_autoAmp.window = bytesPerSecond > 0 && std::isfinite(delay) && delay > 0 ? roundToInt32(bytesPerSecond * delay) : 0;

    // A stream played directly was placed when it was opened; one under a tempo stream is placed
    // through it.
    if (!m_isLineIn && Trim.startBytes != 0 && !prepared->placed())
        audiolib::setPosition(m_sourceHandle, Trim.startBytes);
    audiolib::setAttributes(m_playHandle, audiolib::kRateUnchanged, 100, Pan);

    // Everything is in place before the channel moves: a file with no frames (or a trim that
    // leaves none) can end on a real-time device at once, and its end must find the
    // notification armed and the deck in play, or the deck would stay "playing" for ever.
    armEndNotificationLocked(start);
    setStateLocked(STATE_PLAY);
    if (!m_isLineIn)
        audiolib::play(m_playHandle, false);
    m_lastError = audiolib::lastError();
}

void TAudioEngine::armEndNotificationLocked(std::uint32_t startNumber)
{
    void* user = packSyncUser(m_deckNumber, startNumber);
    constexpr std::uint32_t once = audiolib::kSyncOnce;
    if (Trim.tailBytes == 0) {
        m_endSync = audiolib::setSyncProc(m_playHandle, audiolib::kSyncEnd | once, 0, &TAudioEngine::endSyncProc, user);
    } else {
        const std::int64_t length = audiolib::getLength(m_sourceHandle);
        m_endSync = audiolib::setSyncProc(m_sourceHandle, audiolib::kSyncPosition | once,
                                          std::max<std::int64_t>(length - Trim.tailBytes, 0),
                                          &TAudioEngine::endSyncProc, user);
    }
}

void TAudioEngine::endSyncProc(audiolib::SyncHandle, audiolib::Handle, std::uint32_t, void* user)
{
    const auto packed = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(user));
    const auto deckNumber = static_cast<std::uint32_t>(packed & 0xFFFFFFFFu);
    const auto startNumber = static_cast<std::uint32_t>(packed >> 32);
    platform::WindowHandle window = 0;
    deckregistry::withDeck(deckNumber, [&](TAudioEngine& deck) {
        if (deck.m_variant == EngineVariant::Player) {
            window = deck.m_window;
            return;
        }
        // The database program's deck ends itself; the stop runs on its owner's thread, and
        // only while nothing else has started there.
        if (deck.markEndedIfStart(startNumber)) {
            QMetaObject::invokeMethod(
                deck.m_ownerContext.get(),
                [deckNumber, startNumber] {
                    if (TAudioEngine* d = deckregistry::find(deckNumber))
                        d->StopIfStart(startNumber, STATE_END);
                },
                Qt::QueuedConnection);
        }
    });
    if (window != 0)
        platform::postMessage(window, platform::UM_DECK_ENDED, static_cast<platform::WParam>(startNumber),
                              static_cast<platform::LParam>(deckNumber));
}

bool TAudioEngine::StopIfStart(std::uint32_t startNumber, std::int32_t finalState)
{
    std::lock_guard guard(m_lock);
    if (StartNumber() != startNumber)
        return false;
    stopLocked();
    setStateLocked(finalState);
    return true;
}

bool TAudioEngine::SetVolumeIfStart(std::uint32_t startNumber, int volume)
{
    std::lock_guard guard(m_lock);
    if (StartNumber() != startNumber)
        return false;
    audiolib::setAttributes(m_playHandle, audiolib::kRateUnchanged, std::clamp(volume, 0, 100),
                            audiolib::kPanUnchanged);
    return true;
}

void TAudioEngine::Pause()
{
    std::lock_guard guard(m_lock);
    if (m_isLineIn)
        return;
    if (m_playHandle == 0) {
        setStateLocked(STATE_STOP);
        return;
    }
    audiolib::pause(m_playHandle);
    setStateLocked(STATE_PAUSE);
}

void TAudioEngine::Resume()
{
    std::lock_guard guard(m_lock);
    if (m_isLineIn)
        return;
    if (m_playHandle == 0) {
        setStateLocked(STATE_STOP);
        return;
    }
    audiolib::resume(m_playHandle);
    setStateLocked(STATE_PLAY);
}

std::int32_t TAudioEngine::GetPosition()
{
    std::lock_guard guard(m_lock);
    const std::int32_t state = State();
    if (m_isLineIn || state == STATE_STOP || state == STATE_END || m_sourceHandle == 0)
        return 0;
    const std::int64_t pos = audiolib::getPosition(m_sourceHandle);
    if (pos < 0)
        return 0;
    return std::max(roundToInt32(audiolib::bytesToSeconds(m_sourceHandle, pos) * 1000.0), 0);
}

void TAudioEngine::SetPosition(std::int32_t ms)
{
    std::lock_guard guard(m_lock);
    if (m_isLineIn || m_sourceHandle == 0)
        return;
    const std::int64_t bytes = audiolib::secondsToBytes(m_sourceHandle, ms / 1000.0);
    if (bytes >= 0)
        audiolib::setPosition(m_sourceHandle, bytes);
}

void TAudioEngine::SetStreamVolume(int volume)
{
    audiolib::setConfig(audiolib::kOptionStreamVolume, std::clamp(volume, 0, 100));
}

int TAudioEngine::GetStreamVolume() const
{
    return audiolib::getConfig(audiolib::kOptionStreamVolume);
}

void TAudioEngine::SetVolume(int volume)
{
    std::lock_guard guard(m_lock);
    audiolib::setAttributes(m_playHandle, audiolib::kRateUnchanged, std::clamp(volume, 0, 100),
                            audiolib::kPanUnchanged);
}

int TAudioEngine::GetVolume()
{
    std::lock_guard guard(m_lock);
    int volume = -1;
    if (!audiolib::getAttributes(m_playHandle, nullptr, &volume, nullptr))
        return -1;
    return volume;
}

void TAudioEngine::SetPan(int pan)
{
    std::lock_guard guard(m_lock);
    Pan = std::clamp(pan, -100, 100);
    audiolib::setAttributes(m_playHandle, audiolib::kRateUnchanged, audiolib::kVolumeUnchanged, Pan);
}

std::int32_t TAudioEngine::GetPan()
{
    std::lock_guard guard(m_lock);
    int pan = 0;
    if (!audiolib::getAttributes(m_playHandle, nullptr, nullptr, &pan))
        return Pan;
    return pan;
}

void TAudioEngine::GetLevel(int& first, int& second)
{
    std::lock_guard guard(m_lock);
    const std::int32_t level = audiolib::getLevel(m_playHandle);
    if (level == -1) {
        first = second = 0;
        return;
    }
    const auto word = static_cast<std::uint32_t>(level);
    first = static_cast<int>(word >> 16);
    second = static_cast<int>(word & 0xFFFF);
}

void TAudioEngine::GetFFT(Spectrum& buffer)
{
    std::lock_guard guard(m_lock);
    buffer.fill(0.0f);
    if (State() != STATE_PLAY || audiolib::isActive(m_playHandle) != audiolib::kPlaying)
        return;
    if (audiolib::getData(m_playHandle, buffer.data(), (kFftValues * sizeof(float)) | audiolib::kDataFft256) < 0)
        buffer.fill(0.0f);
}

std::string TAudioEngine::GetFileFilter() const
{
    return "Audio Files (wav, mp3, ogg, wma, cda)|*.wav;*.mp3;*.ogg;*.wma;*.cda|";
}

void TAudioEngine::Destroy()
{
    std::lock_guard guard(m_lock);
    selectDevice();
    stopLocked();
    audiolib::stopDevice();
    audiolib::freeDevice();
}

void TAudioEngine::DestroyShared()
{
    std::lock_guard guard(m_lock);
    selectDevice();
    stopLocked();
}

}  // namespace engine
