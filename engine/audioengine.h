// TAudioEngine: one playback deck on the audio library. Opens a file, a CD track or the line
// input, plays, pauses, seeks, stops, carries the equaliser, compressor and effects, and tells its
// window when the track has reached its end or its cut point.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "audiolib/audiolib.h"
#include "audiolib/dsp/effectrecords.h"
#include "engine/autoamp.h"
#include "engine/enginesettings.h"
#include "engine/preparedfile.h"
#include "engine/silencescan.h"
#include "platform/window.h"

class QObject;

namespace engine {

using audiolib::dsp::CompressorParams;
using audiolib::dsp::Echo2Params;
using audiolib::dsp::EchoParams;
using audiolib::dsp::FlangerParams;
using audiolib::dsp::PeakEqParams;
using audiolib::dsp::ReverbParams;

constexpr std::int32_t STATE_STOP = 1001;
constexpr std::int32_t STATE_PLAY = 1002;
constexpr std::int32_t STATE_PAUSE = 1003;
constexpr std::int32_t STATE_END = 1004;

// "stop", "play", "pause", "end"; "" for anything else.
const char* stateName(std::int32_t state);

constexpr std::int32_t kLineInLengthMs = 5999999;
constexpr int kFftValues = 256;
// GetFFT fills this many floats: 256 magnitudes, or all zero when the deck is not playing.
constexpr int kSpectrumValues = 257;
using Spectrum = std::array<float, kSpectrumValues>;

// Threads: every operation may be called from the owner's user-interface thread; the fade-out
// thread calls SetVolumeIfStart, StopIfStart, State() and FileName(). Operations that touch the
// deck's handles are serialised by a small per-deck lock. The audio library's threads never take
// that lock (they only touch atomics), so holding it while the library waits for them is safe.
class TAudioEngine {
public:
    // Remembers the window that receives UM_DECK_ENDED; hands BufferLength to the library; opens
    // no device.
    explicit TAudioEngine(platform::WindowHandle window, EngineVariant variant = EngineVariant::Player);
    // Stops the deck and leaves the device open (as DestroyShared).
    virtual ~TAudioEngine();
    TAudioEngine(const TAudioEngine&) = delete;
    TAudioEngine& operator=(const TAudioEngine&) = delete;

    // Stops the deck and opens the output device; starts the process-wide line input when
    // UseLineIn is on. The owner sets Device itself.
    bool InitDevice(int device);

    virtual void PlayFile(const std::string& fileName);
    // The same start with the file opened ahead (PreparedFile::open of StartInputsFor(fileName),
    // on any thread): only a file prepared with other inputs, or none, is opened here.
    void PlayFile(const std::string& fileName, std::unique_ptr<PreparedFile> prepared);
    // What PlayFile would open fileName with now (owner's thread).
    StartInputs StartInputsFor(const std::string& fileName) const;
    virtual void Pause();
    virtual void Resume();
    virtual void Stop();
    virtual std::int32_t GetPosition();
    virtual std::int32_t GetPan();
    virtual std::string GetFileFilter() const;
    virtual void GetFFT(Spectrum& buffer);
    virtual void SetPosition(std::int32_t ms);
    virtual void SetStreamVolume(int volume);
    virtual void SetVolume(int volume);
    virtual void SetPan(int pan);
    int GetStreamVolume() const;
    int GetVolume();
    void GetLevel(int& first, int& second);

    // Selects the device, stops the deck and frees the output device.
    void Destroy();
    // Selects the device and stops the deck; the device stays open for the decks sharing it.
    void DestroyShared();

    // ---- Identity of tracks, for end messages and the fade-out -------------------------------

    // Unique for the run; UM_DECK_ENDED carries it in lParam.
    std::uint32_t DeckNumber() const { return m_deckNumber; }
    // Counts the starts of this deck; UM_DECK_ENDED carries the start it belongs to in wParam.
    std::uint32_t StartNumber() const;
    // The live deck an end message names, or nullptr when that deck has been freed or has started
    // something else since. Call it on the thread that owns and frees the decks.
    static TAudioEngine* FromEndMessage(platform::WParam wParam, platform::LParam lParam);
    // Stop that applies only while the deck is still on the given start, leaving finalState
    // (STATE_STOP or STATE_END); false when something else has started meanwhile.
    bool StopIfStart(std::uint32_t startNumber, std::int32_t finalState = STATE_STOP);
    bool SetVolumeIfStart(std::uint32_t startNumber, int volume);

    // ---- State --------------------------------------------------------------------------------

    std::int32_t State() const;
    // The owner marks STATE_END; the deck never does so itself (except the database variant's end).
    void SetState(std::int32_t state);
    std::int32_t LastError() const { return m_lastError.load(std::memory_order_relaxed); }
    std::string FileName() const;
    bool IsLineIn() const { return m_isLineIn; }
    platform::WindowHandle Window() const { return m_window; }
    EngineVariant Variant() const { return m_variant; }

    // ---- Owner-set fields (owner's thread) ---------------------------------------------------

    std::int32_t ChannelRate = 0;
    std::int32_t StreamFlags = 0;
    TrimResult Trim;
    bool SkipSilence = false;
    std::int32_t SilenceThreshold = 0;
    std::int32_t LengthMs = 0;
    std::int32_t Device = 1;
    std::int32_t Pan = 0;

    // ---- Sound processing -------------------------------------------------------------------

    void SetupEqualizer();
    void SetEqualizerGain(int band, int gain);
    void ApplyEqualizerGains();
    void ResetEqualizer();
    std::int32_t BandGain(int band) const;

    void SetupCompressor();
    void SetCompressorParams(const CompressorParams& record);
    void ApplyCompressor();

    // The owner copies a record in, then enables or disables, then applies.
    ReverbParams reverbParams{};
    EchoParams echoParams{};
    FlangerParams flangerParams{};
    Echo2Params echo2Params{};
    AutoAmpSettings autoAmpSettings{};

    void EnableReverb();
    void DisableReverb();
    void ApplyReverb();
    void EnableEcho();
    void DisableEcho();
    void ApplyEcho();
    void EnableFlanger();
    void DisableFlanger();
    void ApplyFlanger();
    void EnableEcho2();
    void DisableEcho2();
    void ApplyEcho2();
    void EnableAutoAmp();
    void DisableAutoAmp();
    void ResetAutoAmp();
    void RemoveAllEffects();
    bool ReverbOn() const { return m_reverb.on; }
    bool EchoOn() const { return m_echo.on; }
    bool FlangerOn() const { return m_flanger.on; }
    bool Echo2On() const { return m_echo2.on; }
    bool AutoAmpOn() const { return m_autoAmpOn; }
    // Read by the displays while the audio thread writes it.
    const AutoAmpState& autoAmpState() const { return m_autoAmp; }

    void SetTempo(int percent);
    void SetPitch(int semitones);
    void SetSampleRate(int hz);
    int Tempo() const { return m_tempo; }
    int Pitch() const { return m_pitch; }
    int SampleRate() const { return m_sampleRate; }

    // Mode 0: measure on the open BPM stream; 2: open it from FileName first, then measure;
    // 1: convert the last measurement for the current tempo; other modes 0.
    int GetBPM(float startSeconds, float lengthSeconds, int mode);

    // The silence cut of FileName at SilenceThreshold; zeros when the file cannot be decoded.
    void DetectSilence(TrimResult& result);

    // Handles, for the owner's diagnostics and tests.
    audiolib::Handle PlayHandle() const;
    audiolib::Handle SourceHandle() const;

private:
    struct LibraryEffect {
        bool on = false;
        audiolib::FxHandle handle = 0;
    };

    void stopLocked();
    void removeAllEffectsLocked();
    void disableFlangerLocked();
    void disableAutoAmpLocked();
    void disableEcho2Locked();
    void disableEchoLocked();
    void disableReverbLocked();
    void setupEqualizerLocked();
    void setEqualizerGainLocked(int band, int gain);
    void setupCompressorLocked();
    void setCompressorParamsLocked(const CompressorParams& record);
    void applyTempoLocked();
    void armEndNotificationLocked(std::uint32_t startNumber);
    void setStateLocked(std::int32_t state);
    void selectDevice() const;

    static void endSyncProc(audiolib::SyncHandle sync, audiolib::Handle channel, std::uint32_t data, void* user);
    bool markEndedIfStart(std::uint32_t startNumber);

    const EngineVariant m_variant;
    const platform::WindowHandle m_window;
    std::uint32_t m_deckNumber = 0;
    // Queued calls to the owner's thread (the database variant's end) go through this object.
    std::unique_ptr<QObject> m_ownerContext;

    mutable std::mutex m_lock;  // handles and the records sent to the library
    audiolib::Handle m_playHandle = 0;
    audiolib::Handle m_sourceHandle = 0;
    audiolib::Handle m_tempoStream = 0;
    audiolib::Handle m_bpmStream = 0;
    audiolib::SyncHandle m_endSync = 0;
    PeakEqParams m_eqParams{};
    std::array<audiolib::FxHandle, kMaxBands> m_eqBands{};
    std::array<std::int32_t, kMaxBands> m_bandGains{};
    audiolib::FxHandle m_compressor = 0;
    CompressorParams m_compressorParams{};
    bool m_isLineIn = false;
    audiolib::ChannelInfo m_channelInfo{};
    LibraryEffect m_reverb;
    LibraryEffect m_echo;
    LibraryEffect m_flanger;
    LibraryEffect m_echo2;
    bool m_autoAmpOn = false;
    audiolib::DspHandle m_autoAmpHandle = 0;
    AutoAmpState m_autoAmp;
    int m_tempo = 0;
    int m_sampleRate = 0;
    int m_pitch = 0;

    // Start number in the high half, state in the low half: one word, so that "still on this
    // start" and the state change together.
    std::atomic<std::uint64_t> m_stateWord;
    std::atomic<std::int32_t> m_lastError{0};
    mutable std::mutex m_nameLock;
    std::string m_fileName;
};

// Set by the first start of "line.in" (its equaliser and compressor are on the shared stream from
// then on), cleared by every deck constructor.
bool lineInSetUp();

}  // namespace engine
