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

class NextItemPreparer;

class SequencerDeck {
public:
    virtual ~SequencerDeck() = default;
    virtual void PlayFile(const std::string& fileName) = 0;
    // The next start (on this deck or the other: both open files alike) is expected to play
    // fileName, "" none: a deck that can opens it ahead, off the caller's thread.
    virtual void PrepareFile(const std::string& fileName) { (void)fileName; }
    // fileName was opened ahead lately and could not be: its start would fail at once.
    virtual bool FailsToOpen(const std::string& fileName) { (void)fileName; return false; }
    // fileName is open and waiting: its start takes no open.
    virtual bool IsPrepared(const std::string& fileName) { (void)fileName; return false; }
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

// A TAudioEngine as a deck of the sequencer; does not own it. Starts what the preparer (shared by
// both decks, when given) has opened ahead.
class EngineDeck final : public SequencerDeck {
public:
    explicit EngineDeck(engine::TAudioEngine& engine, NextItemPreparer* preparer = nullptr)
        : m_engine(engine), m_preparer(preparer)
    {
    }
    engine::TAudioEngine& engine() { return m_engine; }

    void PlayFile(const std::string& fileName) override;
    void PrepareFile(const std::string& fileName) override;
    bool FailsToOpen(const std::string& fileName) override;
    bool IsPrepared(const std::string& fileName) override;
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
    NextItemPreparer* m_preparer;
};

// The engine behind one of the sequencer's decks; nullptr for a deck without one.
engine::TAudioEngine* engineOf(SequencerDeck& deck);

}  // namespace player
