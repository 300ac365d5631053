// The clicked BPM measurement on its worker thread.
#include "player/sound/bpmmeter.h"

#include "player/sound/sounddeck.h"

#include <QMetaObject>

namespace player {

BpmMeter::BpmMeter() : m_receiver(std::make_unique<QObject>()) {}

BpmMeter::~BpmMeter()
{
    wait();
}

bool BpmMeter::start(SoundDeck& deck, float startSeconds, float lengthSeconds, int mode,
                     std::function<void(std::optional<int>)> done)
{
    if (m_running.load(std::memory_order_relaxed))
        return false;
    wait();  // the previous worker has ended; only its thread is left to join
    m_running.store(true, std::memory_order_relaxed);
    const unsigned generation = m_generation;
    QObject* receiver = m_receiver.get();
    m_worker = std::thread([this, &deck, startSeconds, lengthSeconds, mode, generation, receiver,
                            done = std::move(done)] {
        const int bpm = deck.GetBPM(startSeconds, lengthSeconds, mode);
        // Runs on the receiver's thread, and only while the receiver (and so this meter) lives.
        QMetaObject::invokeMethod(receiver, [this, bpm, generation, done] {
            m_running.store(false, std::memory_order_relaxed);
            done(generation == m_generation ? std::optional<int>(bpm) : std::nullopt);
        }, Qt::QueuedConnection);
    });
    return true;
}

void BpmMeter::wait()
{
    if (m_worker.joinable())
        m_worker.join();
}

}  // namespace player
