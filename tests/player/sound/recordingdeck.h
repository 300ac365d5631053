// Sound decks for the tests: each call is written into one log shared by both decks ("A:EnableEcho",
// "B:SetTempo 12"), and GetBPM answers with set numbers, optionally waiting for the test's
// go-ahead so that a measurement can be caught while it runs.
#pragma once

#include "player/sound/sounddeck.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace soundtest {

class CallLog {
public:
    void add(std::string line)
    {
        std::lock_guard guard(m_mutex);
        m_lines.push_back(std::move(line));
    }
    std::vector<std::string> take()
    {
        std::lock_guard guard(m_mutex);
        return std::exchange(m_lines, {});
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

class RecordingDeck final : public player::SoundDeck {
public:
    RecordingDeck(CallLog& log, std::string name) : m_log(log), m_name(std::move(name)) {}

    void SetEqualizerGain(int band, int gain) override { note("SetEqualizerGain " + std::to_string(band) + " " + std::to_string(gain)); }
    void ResetEqualizer() override { note("ResetEqualizer"); }
    void SetCompressorParams(const engine::CompressorParams& r) override
    {
        note("SetCompressorParams " + std::to_string(static_cast<int>(r.gainDb)));
    }
    void SetReverbParams(const engine::ReverbParams& r) override { reverb = r; note("SetReverbParams"); }
    void EnableReverb() override { note("EnableReverb"); }
    void DisableReverb() override { note("DisableReverb"); }
    void ApplyReverb() override { note("ApplyReverb"); }
    void SetEchoParams(const engine::EchoParams& r) override { echo = r; note("SetEchoParams"); }
    void EnableEcho() override { note("EnableEcho"); }
    void DisableEcho() override { note("DisableEcho"); }
    void ApplyEcho() override { note("ApplyEcho"); }
    void SetFlangerParams(const engine::FlangerParams& r) override { flanger = r; note("SetFlangerParams"); }
    void EnableFlanger() override { note("EnableFlanger"); }
    void DisableFlanger() override { note("DisableFlanger"); }
    void ApplyFlanger() override { note("ApplyFlanger"); }
    void SetAutoAmpSettings(const engine::AutoAmpSettings& r) override { autoAmp = r; note("SetAutoAmpSettings"); }
    void EnableAutoAmp() override { note("EnableAutoAmp"); }
    void DisableAutoAmp() override { note("DisableAutoAmp"); }
    void ResetAutoAmp() override { note("ResetAutoAmp"); }
    void SetEcho2Params(const engine::Echo2Params& r) override { echo2 = r; note("SetEcho2Params"); }
    void EnableEcho2() override { note("EnableEcho2"); }
    void DisableEcho2() override { note("DisableEcho2"); }
    void ApplyEcho2() override { note("ApplyEcho2"); }
    void SetTempo(int percent) override { note("SetTempo " + std::to_string(percent)); }
    void SetPitch(int semitones) override { note("SetPitch " + std::to_string(semitones)); }
    void SetSampleRate(int hz) override { note("SetSampleRate " + std::to_string(hz)); }
    std::int32_t ChannelRate() const override { return channelRate; }
    std::int32_t GetPosition() override { return positionMs; }
    int GetBPM(float startSeconds, float lengthSeconds, int mode) override
    {
        note("GetBPM " + std::to_string(static_cast<int>(startSeconds)) + " " +
             std::to_string(static_cast<int>(lengthSeconds)) + " " + std::to_string(mode));
        std::unique_lock lock(m_gateMutex);
        if (mode != 1 && holdMeasurement) {
            m_measuring = true;
            m_gate.notify_all();
            // Bounded: a window that waited for the measurement on its own thread fails the test
            // instead of hanging it.
            m_gate.wait_for(lock, std::chrono::seconds(10), [this] { return !holdMeasurement; });
            m_measuring = false;
        }
        return mode == 1 ? convertedBpm : measuredBpm;
    }

    // A measurement (mode 0, or 2, which opens the file first) waits while this is set;
    // release() lets it finish.
    void hold()
    {
        std::lock_guard guard(m_gateMutex);
        holdMeasurement = true;
    }
    void release()
    {
        {
            std::lock_guard guard(m_gateMutex);
            holdMeasurement = false;
        }
        m_gate.notify_all();
    }
    // Blocks until a held measurement has begun.
    void waitUntilMeasuring()
    {
        std::unique_lock lock(m_gateMutex);
        m_gate.wait(lock, [this] { return m_measuring; });
    }

    std::int32_t channelRate = 44100;
    std::int32_t positionMs = 0;
    int measuredBpm = 120;
    int convertedBpm = 126;
    engine::ReverbParams reverb{};
    engine::EchoParams echo{};
    engine::FlangerParams flanger{};
    engine::AutoAmpSettings autoAmp{};
    engine::Echo2Params echo2{};

private:
    void note(const std::string& call) { m_log.add(m_name + ":" + call); }

    CallLog& m_log;
    std::string m_name;
    std::mutex m_gateMutex;
    std::condition_variable m_gate;
    bool holdMeasurement = false;
    bool m_measuring = false;
};

// Deck A and deck B in fixed roles.
class RecordingRoles final : public player::SoundDeckRoles {
public:
    player::SoundDeck* deckA() override { return &a; }
    player::SoundDeck* deckB() override { return &b; }

    CallLog log;
    RecordingDeck a{log, "A"};
    RecordingDeck b{log, "B"};
};

}  // namespace soundtest
