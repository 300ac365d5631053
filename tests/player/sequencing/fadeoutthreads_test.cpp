// The fade-out on real multimedia timers: the timer thread and the caller meet only through the
// fade's atomics and the deck's start-guarded calls, and a fade ends exactly once even when an
// abort races the last step.
#include "player/sequencing/fadeout.h"
#include "player/sequencing/sequencingdeck.h"

#include "engine/audioengine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// A deck whose fields are all atomic, as the fade's thread reads and writes them.
class AtomicDeck : public player::SequencerDeck {
public:
    void PlayFile(const std::string&) override
    {
        start.fetch_add(1);
        state = engine::STATE_PLAY;
        volume = 100;
    }
    void Pause() override { state = engine::STATE_PAUSE; }
    void Resume() override { state = engine::STATE_PLAY; }
    void Stop() override
    {
        stops.fetch_add(1);
        state = engine::STATE_STOP;
    }
    std::int32_t GetPosition() override { return 0; }
    std::int32_t State() const override { return state; }
    void SetState(std::int32_t s) override { state = s; }
    std::int32_t LengthMs() const override { return 0; }
    double TrimTailSeconds() const override { return 0; }
    std::int32_t LastError() const override { return 0; }
    void SetVolume(int v) override { volume = v; }
    int GetVolume() override { return volume; }
    std::uint32_t StartNumber() const override { return start; }
    bool SetVolumeIfStart(std::uint32_t s, int v) override
    {
        if (s != start)
            return false;
        volume = v;
        return true;
    }
    bool StopIfStart(std::uint32_t s, std::int32_t finalState) override
    {
        if (s != start)
            return false;
        Stop();
        state = finalState;
        return true;
    }

    std::atomic<std::uint32_t> start{0};
    std::atomic<std::int32_t> state{engine::STATE_STOP};
    std::atomic<int> volume{100};
    std::atomic<int> stops{0};
};

TEST(FadeOutThreadsTest, RunsToTheEndOnItsOwnThread)
{
    platform::ThreadedMultimediaTimers timers;
    player::FadeOut fade(timers);
    std::atomic<int> finished{0};
    fade.setOnFinished([&finished](player::SequencerDeck*) { finished.fetch_add(1); });
    AtomicDeck deck;
    deck.PlayFile("x");
    ASSERT_TRUE(fade.start(&deck, 200));
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (fade.running() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(fade.running());
    EXPECT_EQ(deck.volume, 0);
    EXPECT_EQ(deck.state, engine::STATE_END);
    EXPECT_EQ(deck.stops, 1);
    EXPECT_EQ(finished, 1);
}

TEST(FadeOutThreadsTest, AbortRacingTheFadeFinishesOnce)
{
    platform::ThreadedMultimediaTimers timers;
    player::FadeOut fade(timers);
    std::atomic<int> finished{0};
    fade.setOnFinished([&finished](player::SequencerDeck*) { finished.fetch_add(1); });
    AtomicDeck deck;
    for (int round = 0; round < 40; ++round) {
        deck.PlayFile("x");
        ASSERT_TRUE(fade.start(&deck, 100));  // 1 ms period
        std::this_thread::sleep_for(std::chrono::microseconds(round * 2500));
        fade.abort();
        EXPECT_FALSE(fade.running());
        EXPECT_NE(deck.state, engine::STATE_PLAY);
        EXPECT_EQ(finished, round + 1) << "round " << round;
        EXPECT_EQ(deck.stops, round + 1) << "round " << round;
    }
}

}  // namespace
