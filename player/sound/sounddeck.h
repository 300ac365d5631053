// What the sound controls do to a playback deck: equaliser bands, compressor gain, the five
// optional effects, tempo, pitch, rate and the BPM measurement. EngineSoundDeck puts a
// TAudioEngine behind it; tests put decks of their own there that record every call.
//
// Threads: the user-interface thread makes every call, except GetBPM, which the BPM measurement
// also makes from its worker (TAudioEngine serialises it with its own lock).
#pragma once

#include "engine/audioengine.h"

#include <cstdint>

namespace player {

class SoundDeck {
public:
    virtual ~SoundDeck() = default;

    virtual void SetEqualizerGain(int band, int gain) = 0;
    virtual void ResetEqualizer() = 0;
    virtual void SetCompressorParams(const engine::CompressorParams& record) = 0;

    // Each effect: its record copied into the deck, then switched on or off, then applied.
    virtual void SetReverbParams(const engine::ReverbParams& record) = 0;
    virtual void EnableReverb() = 0;
    virtual void DisableReverb() = 0;
    virtual void ApplyReverb() = 0;
    virtual void SetEchoParams(const engine::EchoParams& record) = 0;
    virtual void EnableEcho() = 0;
    virtual void DisableEcho() = 0;
    virtual void ApplyEcho() = 0;
    virtual void SetFlangerParams(const engine::FlangerParams& record) = 0;
    virtual void EnableFlanger() = 0;
    virtual void DisableFlanger() = 0;
    virtual void ApplyFlanger() = 0;
    virtual void SetAutoAmpSettings(const engine::AutoAmpSettings& record) = 0;
    virtual void EnableAutoAmp() = 0;
    virtual void DisableAutoAmp() = 0;
    virtual void ResetAutoAmp() = 0;
    virtual void SetEcho2Params(const engine::Echo2Params& record) = 0;
    virtual void EnableEcho2() = 0;
    virtual void DisableEcho2() = 0;
    virtual void ApplyEcho2() = 0;

    virtual void SetTempo(int percent) = 0;
    virtual void SetPitch(int semitones) = 0;
    virtual void SetSampleRate(int hz) = 0;
    // The rate of the channel the last start opened (0 when nothing opened).
    virtual std::int32_t ChannelRate() const = 0;
    virtual std::int32_t GetPosition() = 0;
    virtual int GetBPM(float startSeconds, float lengthSeconds, int mode) = 0;
};

// The decks in their roles at the moment of the call: deck A is on air (or about to be), deck B
// the other one. Either may be null while the window has no decks.
class SoundDeckRoles {
public:
    virtual ~SoundDeckRoles() = default;
    virtual SoundDeck* deckA() = 0;
    virtual SoundDeck* deckB() = 0;
};

// Runs call on deck A, then on deck B; a missing deck (or no roles at all) is left out.
template <typename Call>
void onDeckAThenB(SoundDeckRoles* roles, Call call)
{
    if (roles == nullptr)
        return;
    for (SoundDeck* deck : {roles->deckA(), roles->deckB()})
        if (deck != nullptr)
            call(*deck);
}

// A TAudioEngine as a sound deck; does not own it.
class EngineSoundDeck final : public SoundDeck {
public:
    explicit EngineSoundDeck(engine::TAudioEngine& engine) : m_engine(engine) {}
    engine::TAudioEngine& engine() { return m_engine; }

    void SetEqualizerGain(int band, int gain) override { m_engine.SetEqualizerGain(band, gain); }
    void ResetEqualizer() override { m_engine.ResetEqualizer(); }
    void SetCompressorParams(const engine::CompressorParams& record) override { m_engine.SetCompressorParams(record); }

    void SetReverbParams(const engine::ReverbParams& record) override { m_engine.reverbParams = record; }
    void EnableReverb() override { m_engine.EnableReverb(); }
    void DisableReverb() override { m_engine.DisableReverb(); }
    void ApplyReverb() override { m_engine.ApplyReverb(); }
    void SetEchoParams(const engine::EchoParams& record) override { m_engine.echoParams = record; }
    void EnableEcho() override { m_engine.EnableEcho(); }
    void DisableEcho() override { m_engine.DisableEcho(); }
    void ApplyEcho() override { m_engine.ApplyEcho(); }
    void SetFlangerParams(const engine::FlangerParams& record) override { m_engine.flangerParams = record; }
    void EnableFlanger() override { m_engine.EnableFlanger(); }
    void DisableFlanger() override { m_engine.DisableFlanger(); }
    void ApplyFlanger() override { m_engine.ApplyFlanger(); }
    void SetAutoAmpSettings(const engine::AutoAmpSettings& record) override { m_engine.autoAmpSettings = record; }
    void EnableAutoAmp() override { m_engine.EnableAutoAmp(); }
    void DisableAutoAmp() override { m_engine.DisableAutoAmp(); }
    void ResetAutoAmp() override { m_engine.ResetAutoAmp(); }
    void SetEcho2Params(const engine::Echo2Params& record) override { m_engine.echo2Params = record; }
    void EnableEcho2() override { m_engine.EnableEcho2(); }
    void DisableEcho2() override { m_engine.DisableEcho2(); }
    void ApplyEcho2() override { m_engine.ApplyEcho2(); }

    void SetTempo(int percent) override { m_engine.SetTempo(percent); }
    void SetPitch(int semitones) override { m_engine.SetPitch(semitones); }
    void SetSampleRate(int hz) override { m_engine.SetSampleRate(hz); }
    std::int32_t ChannelRate() const override { return m_engine.ChannelRate; }
    std::int32_t GetPosition() override { return m_engine.GetPosition(); }
    int GetBPM(float startSeconds, float lengthSeconds, int mode) override
    {
        return m_engine.GetBPM(startSeconds, lengthSeconds, mode);
    }

private:
    engine::TAudioEngine& m_engine;
};

}  // namespace player
