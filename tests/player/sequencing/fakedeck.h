// Test decks and a test list for the sequencing logic: a deck that plays in virtual time and
// records what was done to it, and a Main list with its selection and marks.
#pragma once

#include "engine/audioengine.h"
#include "player/sequencing/sequencingdeck.h"
#include "player/sequencing/sequencingplayback.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace playerlogictest {

struct Library {
    std::map<std::string, std::int32_t> lengthsMs;  // files that open, with their lengths
};

class FakeDeck : public player::SequencerDeck {
public:
    FakeDeck(const Library& library, std::string name) : m_library(library), name(std::move(name)) {}

    void PlayFile(const std::string& fileName) override;
    void PrepareFile(const std::string& file) override
    {
        if (preparedFile != nullptr)
            *preparedFile = file;
    }
    bool IsPrepared(const std::string& file) override { return preparedFile != nullptr && *preparedFile == file; }
    void Pause() override;
    void Resume() override;
    void Stop() override;
    std::int32_t GetPosition() override { return static_cast<std::int32_t>(positionMs); }
    std::int32_t State() const override { return state; }
    void SetState(std::int32_t s) override { state = s; }
    std::int32_t LengthMs() const override { return lengthMs; }
    double TrimTailSeconds() const override { return tailSeconds; }
    std::int32_t LastError() const override { return lastError; }
    void SetVolume(int v) override;
    int GetVolume() override { return volume; }
    std::uint32_t StartNumber() const override { return startNumber; }
    bool SetVolumeIfStart(std::uint32_t start, int v) override;
    bool StopIfStart(std::uint32_t start, std::int32_t finalState) override;

    // Plays ms of virtual time; true when the track reached its end now (the end message).
    bool advance(std::int64_t ms);

    const Library& m_library;
    std::string name;
    std::string fileName;
    std::int32_t state = engine::STATE_STOP;
    std::int64_t positionMs = 0;
    std::int32_t lengthMs = 0;
    double tailSeconds = 0;
    std::int32_t lastError = 0;
    int volume = 100;
    std::uint32_t startNumber = 0;
    std::vector<int> volumes;  // every volume set, in order
    int stops = 0;
    // A clock (microseconds) that each PlayFile moves on by openUs, as a real open takes time.
    std::int64_t* clockUs = nullptr;
    std::int64_t openUs = 0;
    // Shared by both decks, as the preparer is: the file opened ahead, whose start takes no open.
    std::string* preparedFile = nullptr;
};

struct Row {
    std::string name;
    std::string file;
};

class FakeList : public player::SequencerHost {
public:
    std::vector<Row> rows;
    int hl = -1;
    int next = -1;
    int selected = -1;
    int focused = -1;
    std::string onAir;
    std::vector<int> nowPlaying;  // rows passed to updateNowPlaying
    std::vector<int> failed;      // rows passed to rowFailed
    int breakReleases = 0;

    int rowCount() const override { return static_cast<int>(rows.size()); }
    int hlIndex() const override { return hl; }
    void setHlIndex(int row) override { hl = row; }
    int nextIndex() const override { return next; }
    void setNextIndex(int row) override { next = row; }
    int firstSelectedRow() const override { return selected; }
    void selectOnly(int row, bool focus) override
    {
        selected = row;
        if (focus)
            focused = row;
    }
    std::string displayName(int row) const override { return rows.at(static_cast<std::size_t>(row)).name; }
    std::string fileName(int row) const override { return rows.at(static_cast<std::size_t>(row)).file; }
    void updateNowPlaying(int row) override
    {
        nowPlaying.push_back(row);
        onAir = displayName(row);
    }
    void clearOnAirText() override { onAir.clear(); }
    void rowFailed(int row) override { failed.push_back(row); }
    void breakReleased() override { ++breakReleases; }
};

}  // namespace playerlogictest
