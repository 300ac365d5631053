// The line input: the pseudo-file "line.in" on a deck, its silence when nothing is captured, and
// the stream procedure's zero filling.
#include "deckfixture.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace enginetest {
namespace {

using engine::STATE_PLAY;
using engine::STATE_STOP;

class LineInDeckTest : public DeckFixture {
protected:
    engine::EngineSettings settings() const override
    {
        engine::EngineSettings s;
        s.UseLineIn = true;
        return s;
    }
};

TEST_F(LineInDeckTest, PlaysSilenceWithoutACaptureDevice)
{
    engine::TVqLineIn* lineIn = engine::TVqLineIn::instance();
    ASSERT_NE(lineIn, nullptr) << "the first device initialisation starts the line input";
    ASSERT_NE(lineIn->stream(), 0u);

    m_deck->PlayFile(path("Some Folder/LINE.IN"));
    ASSERT_EQ(m_deck->State(), STATE_PLAY);
    EXPECT_TRUE(m_deck->IsLineIn());
    EXPECT_EQ(m_deck->LastError(), 0);
    EXPECT_EQ(m_deck->LengthMs, engine::kLineInLengthMs);
    EXPECT_TRUE(engine::lineInSetUp());

    std::vector<float> mix(4410 * 2, 1.0f);
    ASSERT_TRUE(audiolib::advance(4410, mix.data()));
    EXPECT_TRUE(std::all_of(mix.begin(), mix.end(), [](float v) { return v == 0.0f; }));
    EXPECT_EQ(m_deck->GetPosition(), 0);
    EXPECT_EQ(audiolib::isActive(lineIn->stream()), audiolib::kPlaying);

    m_deck->Stop();
    EXPECT_EQ(m_deck->State(), STATE_STOP);
    EXPECT_EQ(audiolib::isActive(lineIn->stream()), audiolib::kPaused);
}

TEST_F(LineInDeckTest, AStoppedDeckDoesNotPauseTheLineInAnotherDeckPlays)
{
    engine::TAudioEngine mic(m_window->handle());
    mic.Device = audiolib::kDeviceNoSound;
    mic.PlayFile("line.in");
    mic.Stop();
    m_deck->PlayFile("line.in");
    ASSERT_EQ(m_deck->State(), STATE_PLAY);
    mic.PlayFile(path("missing.wav"));  // begins with a stop of its own
    EXPECT_EQ(audiolib::isActive(engine::TVqLineIn::instance()->stream()), audiolib::kPlaying);
}

TEST_F(LineInDeckTest, ResumesWithWhatIsCapturedNowNotWhatWaitedDuringThePause)
{
    engine::TVqLineIn* lineIn = engine::TVqLineIn::instance();
    ASSERT_NE(lineIn, nullptr);
    ASSERT_TRUE(lineIn->started());
    const audiolib::Handle capture = lineIn->capture();
    // Nobody plays "line.in" yet: the capture goes on and its bytes wait unread.
    constexpr std::int32_t kQuarterSecond = 44100 / 4 * 4;
    for (int i = 0; i < 400 && audiolib::recordAvailable(capture) < kQuarterSecond; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_GE(audiolib::recordAvailable(capture), kQuarterSecond);

    m_deck->PlayFile("line.in");
    ASSERT_EQ(m_deck->State(), STATE_PLAY);
    // The stream's first buffer is all it may take; a backlog left behind would be heard that
    // much late for as long as the deck plays.
    EXPECT_LT(audiolib::recordAvailable(capture), 44100 / 20 * 4);
}

class BaseLineInDeckTest : public LineInDeckTest {
protected:
    std::unique_ptr<engine::TAudioEngine> makeDeck() override
    {
        return std::make_unique<engine::TAudioEngine>(m_window->handle(), engine::EngineVariant::Base);
    }
};

TEST_F(BaseLineInDeckTest, StreamRunsMutedAndTheDeckTurnsItUp)
{
    engine::TVqLineIn* lineIn = engine::TVqLineIn::instance();
    ASSERT_NE(lineIn, nullptr);
    int volume = -1;
    ASSERT_TRUE(audiolib::getAttributes(lineIn->stream(), nullptr, &volume, nullptr));
    EXPECT_EQ(volume, 0);
    EXPECT_EQ(audiolib::isActive(lineIn->stream()), audiolib::kPlaying);

    m_deck->PlayFile("line.in");
    ASSERT_EQ(m_deck->State(), STATE_PLAY);
    EXPECT_TRUE(lineIn->active());
    audiolib::getAttributes(lineIn->stream(), nullptr, &volume, nullptr);
    EXPECT_EQ(volume, 100);

    m_deck->Stop();
    EXPECT_FALSE(lineIn->active());
    audiolib::getAttributes(lineIn->stream(), nullptr, &volume, nullptr);
    EXPECT_EQ(volume, 0);
    EXPECT_EQ(audiolib::isActive(lineIn->stream()), audiolib::kPlaying);
}

class NoLineInDeckTest : public DeckFixture {};

TEST_F(NoLineInDeckTest, LineInIsIgnoredWhenSwitchedOff)
{
    m_deck->PlayFile(path("missing.mp3"));
    const int error = m_deck->LastError();
    ASSERT_NE(error, 0);
    m_deck->PlayFile("line.in");
    EXPECT_EQ(m_deck->State(), STATE_STOP);
    EXPECT_EQ(m_deck->LastError(), error);
    EXPECT_EQ(engine::TVqLineIn::instance(), nullptr);
}

TEST(LineInStreamProc, FillsWhatTheCaptureLacksWithZeros)
{
    engine::LineInShared shared;
    std::vector<std::uint8_t> buffer(4096, 0x55);
    EXPECT_EQ(engine::LineInStreamProc(1, buffer.data(), 4096, &shared), 4096u);
    EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](std::uint8_t b) { return b == 0; }));

    shared.capture = 0x7FFFFFF0;  // a capture the library does not know: an error, counted as none
    buffer.assign(4096, 0x55);
    EXPECT_EQ(engine::LineInStreamProc(1, buffer.data(), 4096, &shared), 4096u);
    EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](std::uint8_t b) { return b == 0; }));

    shared.enabled = false;
    buffer.assign(16, 0x55);
    EXPECT_EQ(engine::LineInStreamProc(1, buffer.data(), 16, &shared), 16u);
    EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST(LineInStart, FirstDataWaitEndsWithTheFirstBytesOrAtTheLimit)
{
    int polls = 0;
    EXPECT_EQ(engine::waitForFirstData([&] { return ++polls < 3 ? 0 : 4096; }, std::chrono::seconds(5)), 4096);
    EXPECT_EQ(polls, 3);

    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(engine::waitForFirstData([] { return 0; }, std::chrono::milliseconds(100)), 0);
    const auto waited = std::chrono::steady_clock::now() - before;
    EXPECT_GE(waited, std::chrono::milliseconds(100));
    EXPECT_LT(waited, std::chrono::milliseconds(1000));
    EXPECT_EQ(engine::waitForFirstData([] { return -1; }, std::chrono::milliseconds(0)), 0) << "an error is no data";
}

}  // namespace
}  // namespace enginetest
