// The real player on the rendering device, its mix measured: what reaches the air when a file is
// missing, when a track ends in silence, how closely one item follows the other, and where and
// how long each kind of item fades. And the same hand-overs on a real output, a PulseAudio
// server's null sink recorded from its monitor.
#include "renderedmix.h"

#include "player/sequencing/sequencingplayback.h"
#include "tests/common/pulseserver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

using rendered::PlayerFolder;

#if defined(__SANITIZE_ADDRESS__)
constexpr double kSlack = 0.2;  // seconds; the sanitizer slows every start down
// Counting the frames of a three-hour MP3 takes the sanitizer longer than the item before it
// lasts: there the long files are played for what they do to memory, not timed.
constexpr bool kLongFilesTimed = false;
#else
constexpr double kSlack = 0.0;
constexpr bool kLongFilesTimed = true;
#endif

struct Item {
    double hz = 0;          // 0: a file that does not exist
    double toneSeconds = 0;
    double silentSeconds = 0;
    std::string name = {};  // the file's base name (its kind of item); empty: item<n>
};

std::string makeList(const PlayerFolder& folder, const std::vector<Item>& items)
{
    std::string m3u = "#EXTM3U\r\n";
    int n = 0;
    for (const Item& item : items) {
        const std::string name = (item.name.empty() ? "item" + std::to_string(n) : item.name) + ".wav";
        ++n;
        const std::string path = item.hz > 0
            ? folder.dir.write(name, rendered::toneWav(item.hz, item.toneSeconds, item.silentSeconds))
            : folder.dir.path() + "/missing/" + name;
        m3u += "#EXTINF:3," + name + "\r\n" + path + "\r\n";
    }
    return folder.dir.write("list.m3u", m3u);
}

class OnAir : public ::testing::Test {
protected:
    // Plays the list for ms and measures the tones in 10 ms windows every 1 ms.
    void play(const std::vector<Item>& items, float mix, float fade, int ms, int duringMs = -1,
              const QStringList& during = {})
    {
        playWith(items, rendered::musicCrossfadeHex(mix, fade), ms, duringMs, during);
    }
    // The same with the whole crossfade table.
    void playWith(const std::vector<Item>& items, const std::string& crossfadeHex, int ms, int duringMs = -1,
                  const QStringList& during = {})
    {
        folder.setUp(crossfadeHex);
        const std::string list = makeList(folder, items);
        ASSERT_TRUE(rendered::runPlayer(folder, {"list", QString::fromStdString(list)}, ms, duringMs, during));
        pcm = rendered::readWav(folder.dir.read(folder.wavOut()));
        ASSERT_GT(pcm.rate, 0);
        track = rendered::trackTones(pcm, tones, 10, 1);
    }
    double level(std::size_t tone, double seconds) const
    {
        return track.amp[track.windowAt(seconds)][tone] / track.steady(tone);
    }
    // The longest run of zero samples between two times, in ms.
    double longestSilenceMs(double from, double to) const
    {
        double longest = 0;
        for (const rendered::Run& r : rendered::silentRuns(pcm, static_cast<std::size_t>(from * pcm.rate),
                                                           static_cast<std::size_t>(to * pcm.rate), 1e-3f,
                                                           rendered::kSilentRunSamples))
            longest = std::max(longest, r.ms(pcm.rate));
        return longest;
    }

    const std::vector<double>& tones = rendered::kTones;
    PlayerFolder folder;
    rendered::Pcm pcm;
    rendered::ToneTrack track;
};

TEST_F(OnAir, AMissingLastRowLetsTheItemOnAirFadeAndNothingStartsAgain)
{
    play({{tones[0], 2.5}, {tones[1], 2.5}, {0}}, 1.0f, 0.5f, 6500);
    const std::vector<double> a = rendered::onsets(track, 0, 0.2);
    const std::vector<double> b = rendered::onsets(track, 1, 0.2);
    ASSERT_EQ(a.size(), 1u) << "the first row never plays again";
    ASSERT_EQ(b.size(), 1u);
    EXPECT_NEAR(b[0] - a[0], 1.5, 0.05 + kSlack);
    // b plays at full level up to its fade point 0.5 s before its end, then fades over 0.5 s.
    EXPECT_GT(level(1, b[0] + 1.9), 0.8);
    const double mid = level(1, b[0] + 2.25);
    EXPECT_GT(mid, 0.15);
    EXPECT_LT(mid, 0.85);
    ASSERT_GT(static_cast<double>(pcm.left.size()) / pcm.rate, b[0] + 3.0) << "recorded past b's end";
    for (double t = b[0] + 2.56; t < static_cast<double>(pcm.left.size()) / pcm.rate - 0.02; t += 0.01)
        ASSERT_LT(level(0, t) + level(1, t), 0.05) << "something sounds at " << t << " s";
}

TEST_F(OnAir, AHandedOverFileThatCannotBeOpenedLeavesTheItemOnAirAlone)
{
    // At about 2 s a second start hands over a file that does not exist.
    play({{tones[0], 5.0}, {tones[1], 2.0}}, 1.0f, 0.5f, 7500, 2000,
         {"file", QString::fromStdString(folder.dir.path() + "/nowhere.wav")});
    const std::vector<double> a = rendered::onsets(track, 0, 0.2);
    const std::vector<double> b = rendered::onsets(track, 1, 0.2);
    ASSERT_EQ(a.size(), 1u);
    ASSERT_EQ(b.size(), 1u);
    ASSERT_LT(a[0], 1.8) << "the hand-over came while the first item played";
    // Full level without a break from its start to its fade point (4.5 s); the next one still
    // comes at the mix point.
    for (double t = a[0] + 0.02; t < a[0] + 4.45; t += 0.005)
        ASSERT_GT(level(0, t), 0.8) << "the item on air was touched at " << t << " s";
    EXPECT_NEAR(b[0] - a[0], 4.0, 0.05 + kSlack);
}

TEST_F(OnAir, ASilentTailNeverGoesOnAirBeforeTheNextMixPoint)
{
    // 2.5 s of tone and 1.5 s of silence each: the mix point lies 1.0 s before the end of the
    // sound, not of the file (which would leave 0.5 s of silence before each next item).
    play({{tones[0], 2.5, 1.5}, {tones[1], 2.5, 1.5}, {tones[2], 2.5, 1.5}}, 1.0f, 0.5f, 7000);
    const std::vector<double> a = rendered::onsets(track, 0, 0.2);
    const std::vector<double> b = rendered::onsets(track, 1, 0.2);
    const std::vector<double> c = rendered::onsets(track, 2, 0.2);
    ASSERT_EQ(a.size(), 1u);
    ASSERT_EQ(b.size(), 1u);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_NEAR(b[0] - a[0], 1.5, 0.05 + kSlack);
    EXPECT_NEAR(c[0] - b[0], 1.5, 0.05 + kSlack);
    EXPECT_LT(longestSilenceMs(a[0] + 0.01, c[0] + 2.45), 10.0);
}

TEST_F(OnAir, EachNextItemStartsWithinTwentyFiveMsOfItsMixPoint)
{
    // 2.5 s items, mix point 1.0 s and fade 0.5 s before the end: a start every 1.5 s.
    std::vector<Item> items;
    for (int i = 0; i < 6; ++i)
        items.push_back({tones[static_cast<std::size_t>(i) % 3], 2.5});
    play(items, 1.0f, 0.5f, 10500);
    std::vector<double> on;
    for (int i = 0; i < 6; ++i) {
        const std::vector<double> list = rendered::onsets(track, static_cast<std::size_t>(i) % 3, 0.2);
        const std::size_t k = static_cast<std::size_t>(i) / 3;
        ASSERT_GT(list.size(), k) << "item " << i << " never started";
        on.push_back(list[k]);
    }
    // The onsets lie within about 2 ms of the first sample of each tone; an item is opened a
    // little before its point, so that it may also sound a few ms early.
    for (std::size_t i = 1; i < on.size(); ++i) {
        const double lateMs = (on[i] - on[i - 1] - 1.5) * 1000.0;
        EXPECT_GT(lateMs, -27.0) << "item " << i;
        EXPECT_LT(lateMs, 27.0 + kSlack * 1000) << "item " << i;
    }
}

TEST_F(OnAir, EveryItemFadesAtItsFadePointWhateverKindOfItemItIs)
{
    // Music, adverts and times written in the name mix and fade at the same point (as every
    // shipped preset has them); jingles fade before they mix.
    const rendered::Points music{1.5f, 1.5f};
    const rendered::Points advert{0.5f, 0.5f};
    const rendered::Points jingle{0.4f, 0.8f};
    const std::vector<std::pair<std::string, rendered::Points>> kinds{
        {"song", music}, {"commercial", advert}, {"song *1.0", {1.0f, 1.0f}},
        {"jingle", jingle}, {"song *0.6", {0.6f, 0.6f}}, {"last song", music}};
    constexpr double kSeconds = 2.5;
    std::vector<Item> items;
    for (std::size_t i = 0; i < kinds.size(); ++i)
        items.push_back({tones[i % 3], kSeconds, 0, kinds[i].first});
    playWith(items, rendered::crossfadeHex(music, advert, jingle), 14000);
    std::vector<double> on;
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        const std::vector<double> list = rendered::onsets(track, i % 3, 0.2);
        ASSERT_GT(list.size(), i / 3) << kinds[i].first << " never started";
        on.push_back(list[i / 3]);
    }
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        const rendered::Points points = kinds[i].second;
        const rendered::Fall fall = rendered::fallAfter(track, i % 3, on[i]);
        const double mixBeforeEnd = i + 1 < kinds.size() ? kSeconds - (on[i + 1] - on[i]) : 0;
        std::printf("%-10s mix %.3f s, fade %.3f s before its end over %.3f s (points %.1f, %.1f)\n",
                    kinds[i].first.c_str(), mixBeforeEnd, kSeconds - (fall.start - on[i]), fall.seconds,
                    points.mix, points.fade);
        if (i + 1 < kinds.size()) {
            EXPECT_NEAR(mixBeforeEnd, points.mix, 0.05 + kSlack) << "mix of " << kinds[i].first;
        }
        EXPECT_NEAR(fall.start - on[i], kSeconds - points.fade, 0.06 + kSlack) << "fade of " << kinds[i].first;
        EXPECT_NEAR(fall.seconds, points.fade, 0.1 * points.fade) << "fade of " << kinds[i].first;
    }
}

TEST_F(OnAir, WithoutCrossfadesItemsFollowEachOtherWithoutSilence)
{
    std::vector<Item> items;
    for (int i = 0; i < 6; ++i)
        items.push_back({tones[static_cast<std::size_t>(i) % 3], 1.0});
    play(items, 0, 0, 7500);
    std::vector<double> on;
    for (int i = 0; i < 6; ++i) {
        const std::vector<double> list = rendered::onsets(track, static_cast<std::size_t>(i) % 3, 0.2);
        const std::size_t k = static_cast<std::size_t>(i) / 3;
        ASSERT_EQ(list.size(), 2u) << "item " << i;
        on.push_back(list[k]);
    }
    // Each next item starts just before the end of the one before (which plays out under it):
    // its open lead makes it sound a few ms early at most, as at a mix point.
    const double lead = player::PlaybackSequencer::kEndLeadMs / 1000.0;
    for (std::size_t i = 1; i < on.size(); ++i) {
        const double lateMs = (on[i] - on[i - 1] - (1.0 - lead)) * 1000.0;
        EXPECT_GT(lateMs, -27.0) << "item " << i;
        EXPECT_LT(lateMs, 27.0 + kSlack * 1000) << "item " << i;
    }
    EXPECT_LT(longestSilenceMs(on.front() + 0.01, on.back() + 0.95), 10.0 + kSlack * 1000);
}

TEST_F(OnAir, LongLargeAndSlowFilesStartOnTimeAndLetTheItemBeforeThemFade)
{
    // Music ends without a crossfade; adverts mix 0.6 s and fade 0.3 s before their end, jingles
    // mix and fade 0.2 s before it. The three-hour MP3s mix into the next item 1.2 s after their
    // start by the time in their names.
    const std::vector<double> tones4{500, 1250, 2000, 2750};
    folder.slowReadMs = 25;
    folder.setUp(rendered::crossfadeHex({}, {0.6f, 0.3f}, {0.2f, 0.2f}));
    // The files below take about 550 MB: a machine without the room says so rather than fails.
    std::error_code ec;
    const auto room = std::filesystem::space(folder.dir.path(), ec);
    if (!ec && room.available < (std::uintmax_t{1} << 30))
        GTEST_SKIP() << "less than 1 GB free in " << folder.dir.path();
    const auto wav = [this](const std::string& name, double hz, double seconds) {
        return folder.dir.write(name, rendered::toneWav(hz, seconds));
    };
    const auto longMp3 = [this](const std::string& stem, double hz, bool xing) {
        const std::string made = folder.dir.path() + "/" + stem + ".mp3";
        const double seconds = rendered::longToneMp3(made, hz, 3 * 3600, xing);
        if (seconds <= 0)
            return std::string();
        char name[64];
        std::snprintf(name, sizeof name, "%s *%.2f.mp3", stem.c_str(), seconds - 1.2);
        const std::string path = folder.dir.path() + "/" + name;
        std::filesystem::rename(made, path);
        return path;
    };
    const std::string randomMp3 = folder.dir.path() + "/random.mp3";
    rendered::randomBytesFile(randomMp3, std::size_t{200} << 20);
    const std::string randomOgg = folder.dir.path() + "/random.ogg";
    std::filesystem::create_hard_link(randomMp3, randomOgg);
    std::filesystem::create_directories(folder.slowDisk());
    struct Row {
        std::string path;
        int tone = -1;  // -1: a row that cannot be opened
    };
    const std::vector<Row> rows{
        {wav("song0.wav", tones4[0], 1.2), 0},  {randomMp3},
        {wav("commercial1.wav", tones4[1], 1.2), 1}, {randomOgg},
        {wav("song2.wav", tones4[2], 1.2), 2},  {wav("slowdisk/commercial.wav", tones4[0], 1.2), 0},
        {wav("song3.wav", tones4[1], 1.2), 1},  {longMp3("noxing", tones4[3], false), 3},
        {wav("jingle4.wav", tones4[0], 1.2), 0}, {longMp3("xing", tones4[2], true), 2},
        {wav("song5.wav", tones4[1], 1.0), 1}};
    std::string m3u = "#EXTM3U\r\n";
    for (const Row& row : rows) {
        ASSERT_FALSE(row.path.empty());
        m3u += "#EXTINF:1,x\r\n" + row.path + "\r\n";
    }
    const std::string list = folder.dir.write("list.m3u", m3u);
    ASSERT_TRUE(rendered::runPlayer(folder, {"list", QString::fromStdString(list)}, kLongFilesTimed ? 9300 : 14000));
    pcm = rendered::readWav(folder.dir.read(folder.wavOut()));
    ASSERT_GT(pcm.rate, 0);
    track = rendered::trackTones(pcm, tones4, 10, 1);

    // The onset and tone of every row that plays, in list order.
    std::vector<double> on;
    std::vector<std::size_t> playedTones;
    std::vector<std::vector<double>> perTone;
    for (std::size_t t = 0; t < tones4.size(); ++t)
        perTone.push_back(rendered::onsets(track, t, 0.2));
    std::vector<std::size_t> seen(tones4.size(), 0);
    for (const Row& row : rows) {
        if (row.tone < 0)
            continue;
        const auto t = static_cast<std::size_t>(row.tone);
        ASSERT_GT(perTone[t].size(), seen[t]) << row.path << " never started";
        on.push_back(perTone[t][seen[t]++]);
        playedTones.push_back(t);
    }
    // Where each next item is due, in seconds after the onset of the item before: at its end
    // (less the end lead) without a crossfade, else at its mix point; and where that item fades.
    const double atEnd = 1.2 - player::PlaybackSequencer::kEndLeadMs / 1000.0;
    struct Transition {
        const char* what;
        double point;
        double fadePoint = 0;  // 0: no fade
        bool crossfadesOff = false;
    };
    const std::vector<Transition> transitions{
        {"random bytes .mp3, no crossfade", atEnd, 0, true},
        {"random bytes .ogg, advert 0.6 / 0.3", 0.6, 0.9},
        {"slow disk, no crossfade", atEnd, 0, true},
        {"after the slow disk, advert 0.6 / 0.3", 0.6, 0.9},
        {"3 h MP3 without Xing, no crossfade", atEnd, 0, true},
        {"after it, at the time in its name", 1.2},
        {"3 h MP3 with Xing, jingle 0.2 / 0.2", 1.0, 1.0},
        {"after it, at the time in its name", 1.2}};
    ASSERT_EQ(on.size(), transitions.size() + 1);
    if (!kLongFilesTimed)
        return;
    for (std::size_t i = 0; i < transitions.size(); ++i) {
        const Transition& t = transitions[i];
        const double lateMs = (on[i + 1] - on[i] - t.point) * 1000.0;
        std::printf("%-40s next start %+6.1f ms", t.what, lateMs);
        EXPECT_NEAR(lateMs, 0, 100 + kSlack * 1000) << t.what;
        if (t.fadePoint > 0) {
            const rendered::Fall fall = rendered::fallAfter(track, playedTones[i], on[i]);
            const double fadeLateMs = (fall.start - on[i] - t.fadePoint) * 1000.0;
            std::printf(", fade %+6.1f ms", fadeLateMs);
            EXPECT_NEAR(fadeLateMs, 0, 60 + kSlack * 1000) << t.what;
        }
        if (t.crossfadesOff) {
            const double silenceMs = longestSilenceMs(on[i] + 0.01, on[i + 1] + 0.2);
            std::printf(", silence %4.1f ms", silenceMs);
            EXPECT_LT(silenceMs, 30 + kSlack * 1000) << t.what;
        }
        std::printf("\n");
    }
}

}  // namespace

namespace {

// The player on a real output: a PulseAudio server of the test's own, its sink recorded.
class OnAirPulse : public OnAir {
protected:
    void SetUp() override
    {
        std::string why;
        if (!server.prepare() || !server.start(&why))
            GTEST_SKIP() << why;
    }
    void playOnPulse(const std::vector<Item>& items, const std::string& crossfadeHex, int ms)
    {
        folder.setUp(crossfadeHex);
        folder.dir.write("system.ini", "[Device]\nMainDev=1\n");  // the default output: the server's sink
        const std::string list = makeList(folder, items);
        ASSERT_TRUE(server.record(folder.dir.path() + "/sink.raw")) << "parec (pulseaudio-utils) cannot be started";
        // The list is handed over once the output runs steadily: a server's sink may take its time
        // to ask for the first blocks of a new stream.
        ASSERT_TRUE(rendered::runPlayer(folder, {}, kWarmUpMs + ms, kWarmUpMs, {"list", QString::fromStdString(list)}));
        server.stopRecording();
        pcm = rendered::Pcm{44100, 2, server.recordedLeft()};
        ASSERT_GT(pcm.left.size(), 44100u) << "parec recorded nothing";
        track = rendered::trackTones(pcm, tones, 10, 1);
    }
    static constexpr int kWarmUpMs = 2500;
    pulsetest::PulseServer server;
};

}  // namespace

TEST_F(OnAirPulse, EachNextItemSoundsAtItsPointAsOnTheNoSoundDevice)
{
    // Songs mix 1.0 s before their end; commercials have no mix point: the next item starts at
    // their end, with no silence between them, however long the output's latency.
    std::vector<Item> items{{tones[0], 2.0, 0, "song0"}, {tones[1], 2.0, 0, "song1"},
                            {tones[2], 1.0, 0, "commercial2"}, {tones[0], 1.0, 0, "commercial3"},
                            {tones[1], 1.0, 0, "song4"}};
    playOnPulse(items, rendered::crossfadeHex({1.0f, 0.5f}), 6500);
    std::vector<double> on;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::vector<double> list = rendered::onsets(track, i % 3, 0.2);
        ASSERT_GT(list.size(), i / 3) << items[i].name << " never sounded";
        on.push_back(list[i / 3]);
    }
    const double lead = player::PlaybackSequencer::kEndLeadMs / 1000.0;
    const std::vector<double> expected{1.0, 1.0, 1.0 - lead, 1.0 - lead};
    for (std::size_t i = 1; i < on.size(); ++i) {
        const double lateMs = (on[i] - on[i - 1] - expected[i - 1]) * 1000.0;
        std::printf("%-12s starts %+.1f ms from its point\n", items[i].name.c_str(), lateMs);
        EXPECT_GT(lateMs, -27.0) << items[i].name;
        EXPECT_LT(lateMs, 27.0 + kSlack * 1000) << items[i].name;
    }
    const double silence = longestSilenceMs(on[2] + 0.01, on[4] + 0.95);
    std::printf("longest silence between the items without a mix point: %.1f ms\n", silence);
    EXPECT_LT(silence, 1.0 + kSlack * 1000) << "no run of silent samples at a hand-over";
}
