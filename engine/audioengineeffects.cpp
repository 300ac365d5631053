// TAudioEngine's sound processing: equaliser bands, compressor gain, the five optional effects,
// tempo, pitch and rate, BPM measurement and the silence scan of the file being started.
#include "engine/audioengine.h"
#include "engine/decodestream.h"

#include <algorithm>
#include <cmath>

namespace engine {

namespace {

constexpr float kEqBandwidth = 2.5f;
constexpr std::uint32_t kBpmFlags = 3;
constexpr int kEchoPriority = 1;
constexpr int kAutoAmpPriority = 10000;

}  // namespace

// ---- Equaliser ---------------------------------------------------------------------------------

void TAudioEngine::SetupEqualizer()
{
    std::lock_guard guard(m_lock);
    setupEqualizerLocked();
}

void TAudioEngine::setupEqualizerLocked()
{
    const EngineSettings& settings = engineSettings();
    int rate = 0;
    audiolib::getAttributes(m_playHandle, &rate, nullptr, nullptr);
    for (int i = 0; i <= settings.LastBand; ++i)
        m_eqBands[i] = audiolib::setDspFx(m_playHandle, audiolib::kFxPeakEq, 0);
    m_eqParams = PeakEqParams{0, rate, kEqBandwidth, 0.0f, 0.0f, 0.0f};
    for (int i = 0; i <= settings.LastBand; ++i) {
        m_eqParams.band = i;
        m_eqParams.centerHz = static_cast<float>(settings.Freq[i]);
        audiolib::dspFxSetParameters(m_eqBands[i], &m_eqParams, sizeof m_eqParams);
    }
}

void TAudioEngine::SetEqualizerGain(int band, int gain)
{
    std::lock_guard guard(m_lock);
    setEqualizerGainLocked(band, gain);
}

void TAudioEngine::setEqualizerGainLocked(int band, int gain)
{
    if (band < 0 || band >= kMaxBands)
        return;
    m_eqParams.band = band;
    audiolib::dspFxGetParameters(m_eqBands[band], &m_eqParams, sizeof m_eqParams);
    m_eqParams.gainDb = static_cast<float>(gain);
    audiolib::dspFxSetParameters(m_eqBands[band], &m_eqParams, sizeof m_eqParams);
    m_bandGains[band] = gain;
}

void TAudioEngine::ApplyEqualizerGains()
{
    std::lock_guard guard(m_lock);
    for (int i = 0; i <= engineSettings().LastBand; ++i)
        setEqualizerGainLocked(i, m_bandGains[i]);
}

void TAudioEngine::ResetEqualizer()
{
    std::lock_guard guard(m_lock);
    for (int i = 0; i <= engineSettings().LastBand; ++i)
        setEqualizerGainLocked(i, 0);
}

std::int32_t TAudioEngine::BandGain(int band) const
{
    std::lock_guard guard(m_lock);
    return band >= 0 && band < kMaxBands ? m_bandGains[band] : 0;
}

// ---- Compressor --------------------------------------------------------------------------------

void TAudioEngine::SetupCompressor()
{
    std::lock_guard guard(m_lock);
    setupCompressorLocked();
}

void TAudioEngine::setupCompressorLocked()
{
    m_compressor = audiolib::setFx(m_playHandle, audiolib::kFxCompressor);
}

void TAudioEngine::SetCompressorParams(const CompressorParams& record)
{
    std::lock_guard guard(m_lock);
    setCompressorParamsLocked(record);
}

void TAudioEngine::setCompressorParamsLocked(const CompressorParams& record)
{
    m_compressorParams = record;
    // Only the gain is ours; the effect keeps its own threshold, ratio and times.
    CompressorParams current = record;
    audiolib::fxGetParameters(m_compressor, &current, sizeof current);
    current.gainDb = record.gainDb;
    audiolib::fxSetParameters(m_compressor, &current, sizeof current);
}

void TAudioEngine::ApplyCompressor()
{
    std::lock_guard guard(m_lock);
    setCompressorParamsLocked(m_compressorParams);
}

// ---- Optional effects --------------------------------------------------------------------------

void TAudioEngine::EnableReverb()
{
    std::lock_guard guard(m_lock);
    if (m_reverb.on)
        return;
    m_reverb.handle = audiolib::setFx(m_playHandle, audiolib::kFxReverb);
    m_reverb.on = m_reverb.handle != 0;
    if (m_reverb.on)
        audiolib::fxSetParameters(m_reverb.handle, &reverbParams, sizeof reverbParams);
}

void TAudioEngine::DisableReverb()
{
    std::lock_guard guard(m_lock);
    disableReverbLocked();
}

void TAudioEngine::disableReverbLocked()
{
    if (m_reverb.on)
        audiolib::removeFx(m_playHandle, m_reverb.handle);
    m_reverb = LibraryEffect{};
}

void TAudioEngine::ApplyReverb()
{
    std::lock_guard guard(m_lock);
    if (m_reverb.on)
        audiolib::fxSetParameters(m_reverb.handle, &reverbParams, sizeof reverbParams);
}

void TAudioEngine::EnableEcho()
{
    std::lock_guard guard(m_lock);
    if (m_echo.on)
        return;
    m_echo.handle = audiolib::setFx(m_playHandle, audiolib::kFxEcho);
    m_echo.on = m_echo.handle != 0;
    if (m_echo.on)
        audiolib::fxSetParameters(m_echo.handle, &echoParams, sizeof echoParams);
}

void TAudioEngine::DisableEcho()
{
    std::lock_guard guard(m_lock);
    disableEchoLocked();
}

void TAudioEngine::disableEchoLocked()
{
    if (m_echo.on)
        audiolib::removeFx(m_playHandle, m_echo.handle);
    m_echo = LibraryEffect{};
}

void TAudioEngine::ApplyEcho()
{
    std::lock_guard guard(m_lock);
    if (m_echo.on)
        audiolib::fxSetParameters(m_echo.handle, &echoParams, sizeof echoParams);
}

void TAudioEngine::EnableFlanger()
{
    std::lock_guard guard(m_lock);
    if (m_flanger.on)
        return;
    m_flanger.handle = audiolib::setDspFx(m_playHandle, audiolib::kFxFlanger, kEchoPriority);
    m_flanger.on = true;
    int rate = 0;
    audiolib::getAttributes(m_playHandle, &rate, nullptr, nullptr);
    flangerParams.sampleRate = rate;
    audiolib::dspFxSetParameters(m_flanger.handle, &flangerParams, sizeof flangerParams);
}

void TAudioEngine::DisableFlanger()
{
    std::lock_guard guard(m_lock);
    disableFlangerLocked();
}

void TAudioEngine::disableFlangerLocked()
{
    if (m_flanger.on && m_flanger.handle != 0)
        audiolib::removeDspFx(m_playHandle, m_flanger.handle);
    m_flanger = LibraryEffect{};
}

void TAudioEngine::ApplyFlanger()
{
    std::lock_guard guard(m_lock);
    if (!m_flanger.on)
        return;
    int rate = 0;
    audiolib::getAttributes(m_playHandle, &rate, nullptr, nullptr);
    flangerParams.sampleRate = rate;
    audiolib::dspFxSetParameters(m_flanger.handle, &flangerParams, sizeof flangerParams);
}

void TAudioEngine::EnableEcho2()
{
    std::lock_guard guard(m_lock);
    if (m_echo2.on)
        return;
    m_echo2.handle = audiolib::setDspFx(m_playHandle, audiolib::kFxEcho2, kEchoPriority);
    m_echo2.on = true;
    audiolib::dspFxSetParameters(m_echo2.handle, &echo2Params, sizeof echo2Params);
}

void TAudioEngine::DisableEcho2()
{
    std::lock_guard guard(m_lock);
    disableEcho2Locked();
}

void TAudioEngine::disableEcho2Locked()
{
    if (m_echo2.on && m_echo2.handle != 0)
        audiolib::removeDspFx(m_playHandle, m_echo2.handle);
    m_echo2 = LibraryEffect{};
}

void TAudioEngine::ApplyEcho2()
{
    std::lock_guard guard(m_lock);
    if (m_echo2.on)
        audiolib::dspFxSetParameters(m_echo2.handle, &echo2Params, sizeof echo2Params);
}

void TAudioEngine::EnableAutoAmp()
{
    std::lock_guard guard(m_lock);
    if (m_autoAmpOn)
        return;
    m_autoAmpHandle = audiolib::setDsp(m_playHandle, &AutoAmpProc, &m_autoAmp, kAutoAmpPriority);
    m_autoAmpOn = m_autoAmpHandle != 0;
}

void TAudioEngine::DisableAutoAmp()
{
    std::lock_guard guard(m_lock);
    disableAutoAmpLocked();
}

void TAudioEngine::disableAutoAmpLocked()
{
    if (m_autoAmpOn)
        audiolib::removeDsp(m_playHandle, m_autoAmpHandle);
    m_autoAmpOn = false;
    m_autoAmpHandle = 0;
}

void TAudioEngine::ResetAutoAmp()
{
    m_autoAmp.reset(autoAmpSettings);
}

void TAudioEngine::RemoveAllEffects()
{
    std::lock_guard guard(m_lock);
    removeAllEffectsLocked();
}

void TAudioEngine::removeAllEffectsLocked()
{
    disableFlangerLocked();
    disableAutoAmpLocked();
    disableEcho2Locked();
    disableEchoLocked();
    disableReverbLocked();
}

// ---- Tempo, pitch, rate ------------------------------------------------------------------------

// On a deck without a tempo stream the library refuses these and nothing changes but the
// stored value, which the next start under a tempo stream applies.
void TAudioEngine::SetTempo(int percent)
{
    std::lock_guard guard(m_lock);
    audiolib::tempoSet(m_playHandle, static_cast<float>(percent), audiolib::kTempoRateUnchanged,
                       audiolib::kPitchUnchanged);
    m_tempo = percent;
}

void TAudioEngine::SetPitch(int semitones)
{
    std::lock_guard guard(m_lock);
    m_pitch = semitones;
    audiolib::tempoSet(m_playHandle, audiolib::kTempoUnchanged, audiolib::kTempoRateUnchanged,
                       static_cast<float>(semitones));
}

void TAudioEngine::SetSampleRate(int hz)
{
    std::lock_guard guard(m_lock);
    m_sampleRate = hz;
    audiolib::tempoSet(m_playHandle, audiolib::kTempoUnchanged, hz, audiolib::kPitchUnchanged);
}

void TAudioEngine::applyTempoLocked()
{
    audiolib::tempoSet(m_playHandle, static_cast<float>(m_tempo), m_sampleRate, static_cast<float>(m_pitch));
}

// ---- BPM ---------------------------------------------------------------------------------------

int TAudioEngine::GetBPM(float startSeconds, float lengthSeconds, int mode)
{
    if (mode != 0 && mode != 1 && mode != 2)
        return 0;
    audiolib::Handle bpmStream;
    int tempo;
    if (mode == 2) {
        // Opened without the deck's lock: a long or slow file takes its time to open, and the
        // fade-out and the displays use the deck meanwhile.
        const std::uint32_t start = StartNumber();
        const audiolib::Handle opened = openDecodeStream(FileName());
        std::lock_guard guard(m_lock);
        if (StartNumber() != start) {
            // Another item has started since: this stream measured the one before.
            if (opened != 0)
                audiolib::streamFree(opened);
            return 0;
        }
        if (m_bpmStream != 0) {
            audiolib::bpmFree(m_bpmStream);
            audiolib::streamFree(m_bpmStream);
        }
        m_bpmStream = opened;
        bpmStream = m_bpmStream;
        tempo = m_tempo;
    } else {
        std::lock_guard guard(m_lock);
        bpmStream = m_bpmStream;
        tempo = m_tempo;
    }
    if (bpmStream == 0)
        return 0;
    // The detection decodes seconds of audio: outside the deck's lock, so that a fade-out of this
    // deck keeps going. A stop meanwhile frees the stream and the library reports an error.
    if (mode != 1)
        audiolib::bpmDecodeGet(bpmStream, startSeconds, static_cast<double>(startSeconds) + lengthSeconds, 0,
                               kBpmFlags);
    const float bpm = audiolib::bpmPercentsToBpm(bpmStream, static_cast<float>(tempo));
    if (!(bpm > 0) || !std::isfinite(bpm))
        return 0;
    return static_cast<int>(std::lround(std::min(bpm, 1.0e6f)));
}

// ---- Silence -----------------------------------------------------------------------------------

void TAudioEngine::DetectSilence(TrimResult& result)
{
    result = scanFileSilence(FileName(), SilenceThreshold);
}

}  // namespace engine
