// Test decks in virtual time.
#include "fakedeck.h"

namespace playerlogictest {

void FakeDeck::PlayFile(const std::string& file)
{
    ++startNumber;
    const bool prepared = IsPrepared(file);
    if (preparedFile != nullptr)
        preparedFile->clear();
    if (clockUs != nullptr && !prepared)
        *clockUs += openUs;
    fileName = file;
    positionMs = 0;
    volume = 100;  // a new stream starts at full volume, as the engine's does
    const auto it = m_library.lengthsMs.find(file);
    if (it == m_library.lengthsMs.end()) {
        state = engine::STATE_STOP;
        lengthMs = 0;
        lastError = 2;
        return;
    }
    lengthMs = it->second;
    lastError = 0;
    state = engine::STATE_PLAY;
}

void FakeDeck::Pause()
{
    if (state == engine::STATE_PLAY)
        state = engine::STATE_PAUSE;
}

void FakeDeck::Resume()
{
    if (state == engine::STATE_PAUSE)
        state = engine::STATE_PLAY;
}

void FakeDeck::Stop()
{
    ++stops;
    state = engine::STATE_STOP;
}

void FakeDeck::SetVolume(int v)
{
    volume = v;
    volumes.push_back(v);
}

bool FakeDeck::SetVolumeIfStart(std::uint32_t start, int v)
{
    if (start != startNumber)
        return false;
    SetVolume(v);
    return true;
}

bool FakeDeck::StopIfStart(std::uint32_t start, std::int32_t finalState)
{
    if (start != startNumber)
        return false;
    Stop();
    state = finalState;
    return true;
}

bool FakeDeck::advance(std::int64_t ms)
{
    if (state != engine::STATE_PLAY)
        return false;
    const bool before = positionMs < lengthMs;
    positionMs = std::min<std::int64_t>(positionMs + ms, lengthMs);
    return before && positionMs >= lengthMs;
}

}  // namespace playerlogictest
