// TAudioEngine behind the sequencer's deck interface.
#include "player/sequencing/sequencingdeck.h"

#include "audiolib/audiolib.h"
#include "engine/audioengine.h"
#include "engine/filenameparts.h"
#include "player/sequencing/nextitem.h"

namespace player {

void EngineDeck::PlayFile(const std::string& fileName)
{
    m_engine.PlayFile(fileName, m_preparer ? m_preparer->take(m_engine.StartInputsFor(fileName)) : nullptr);
}

void EngineDeck::PrepareFile(const std::string& fileName)
{
    if (m_preparer == nullptr)
        return;
    // The line input opens nothing.
    if (fileName.empty() || engine::isLineInName(fileName))
        m_preparer->discard();
    else
        m_preparer->prepare(m_engine.StartInputsFor(fileName));
}

bool EngineDeck::FailsToOpen(const std::string& fileName)
{
    return m_preparer != nullptr && !engine::isLineInName(fileName) &&
           m_preparer->failsToOpen(m_engine.StartInputsFor(fileName));
}
bool EngineDeck::IsPrepared(const std::string& fileName)
{
    return m_preparer != nullptr && !engine::isLineInName(fileName) &&
           m_preparer->isReady(m_engine.StartInputsFor(fileName));
}

void EngineDeck::Pause() { m_engine.Pause(); }
void EngineDeck::Resume() { m_engine.Resume(); }
void EngineDeck::Stop() { m_engine.Stop(); }
std::int32_t EngineDeck::GetPosition() { return m_engine.GetPosition(); }
std::int32_t EngineDeck::State() const { return m_engine.State(); }
void EngineDeck::SetState(std::int32_t state) { m_engine.SetState(state); }
std::int32_t EngineDeck::LengthMs() const { return m_engine.LengthMs; }
double EngineDeck::TrimTailSeconds() const { return m_engine.Trim.tailSeconds; }
std::int32_t EngineDeck::LastError() const { return m_engine.LastError(); }
void EngineDeck::SetVolume(int volume) { m_engine.SetVolume(volume); }
int EngineDeck::GetVolume() { return m_engine.GetVolume(); }
std::uint32_t EngineDeck::StartNumber() const { return m_engine.StartNumber(); }

bool EngineDeck::SetVolumeIfStart(std::uint32_t startNumber, int volume)
{
    return m_engine.SetVolumeIfStart(startNumber, volume);
}

bool EngineDeck::StopIfStart(std::uint32_t startNumber, std::int32_t finalState)
{
    return m_engine.StopIfStart(startNumber, finalState);
}

std::int32_t EngineDeck::OutputLatencyMs() const
{
    audiolib::DeviceStatus status;
    return audiolib::getDeviceStatus(m_engine.Device, &status) ? status.latencyMs : 0;
}

engine::TAudioEngine* engineOf(SequencerDeck& deck)
{
    auto* engineDeck = dynamic_cast<EngineDeck*>(&deck);
    return engineDeck ? &engineDeck->engine() : nullptr;
}

}  // namespace player
