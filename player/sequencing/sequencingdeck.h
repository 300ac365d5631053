// What the sequencing, crossfade and fade-out logic needs of a playback deck, so that tests can
// drive it with decks of their own; EngineDeck puts a TAudioEngine behind it.
//
// Threads: the fade-out calls State, StartNumber, SetVolumeIfStart and StopIfStart from the
// multimedia timer's thread; every other call comes from the user-interface thread.
#pragma once

#include <cstdint>
#include <string>

namespace engine {
class TAudioEngine;
}

namespace player {

class SequencerDeck {
public:
    virtual ~SequencerDeck() = default;
    virtual void PlayFile(const std::string& fileName) = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    virtual void Stop() = 0;
    virtual std::int32_t GetPosition() = 0;
    virtual std::int32_t State() const = 0;
    virtual void SetState(std::int32_t state) = 0;
    virtual std::int32_t LengthMs() const = 0;
    virtual double TrimTailSeconds() const = 0;
    virtual std::int32_t LastError() const = 0;
    virtual void SetVolume(int volume) = 0;
    virtual int GetVolume() = 0;
    // Counts the deck's starts: a fade remembers the start it belongs to, and a deck that has
    // started something else since is left alone.
    virtual std::uint32_t StartNumber() const = 0;
    virtual bool SetVolumeIfStart(std::uint32_t startNumber, int volume) = 0;
    virtual bool StopIfStart(std::uint32_t startNumber, std::int32_t finalState) = 0;
    // What the deck's output mixes now is heard this much later (0 on the "no sound" device).
    virtual std::int32_t OutputLatencyMs() const { return 0; }
};

// A TAudioEngine as a deck of the sequencer; does not own it.
class EngineDeck final : public SequencerDeck {
public:
    explicit EngineDeck(engine::TAudioEngine& engine) : m_engine(engine) {}
    engine::TAudioEngine& engine() { return m_engine; }

    void PlayFile(const std::string& fileName) override;
    void Pause() override;
    void Resume() override;
    void Stop() override;
    std::int32_t GetPosition() override;
    std::int32_t State() const override;
    void SetState(std::int32_t state) override;
    std::int32_t LengthMs() const override;
    double TrimTailSeconds() const override;
    std::int32_t LastError() const override;
    void SetVolume(int volume) override;
    int GetVolume() override;
    std::uint32_t StartNumber() const override;
    bool SetVolumeIfStart(std::uint32_t startNumber, int volume) override;
    bool StopIfStart(std::uint32_t startNumber, std::int32_t finalState) override;
    std::int32_t OutputLatencyMs() const override;

private:
    engine::TAudioEngine& m_engine;
};

// The engine behind one of the sequencer's decks; nullptr for a deck without one.
engine::TAudioEngine* engineOf(SequencerDeck& deck);

}  // namespace player
