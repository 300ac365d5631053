// How precisely the real player moves from item to item on the rendering device: a generated list
// of tones is played and its rendered mix measured.
//  - MixPointOffsets: 2.5 s tones, music mix point 1.0 s, fade 0.5 s; how late each next tone
//    starts after its mix point (ms).
//  - SilenceWithCrossfadeOff: 1.0 s tones, no mix or fade point; the silence between consecutive
//    tones (ms).
// Each prints one figure per transition and reports the median, the earliest and the latest as
// counters.
#include "renderedmix.h"

#include "tests/common/benchmain.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kItems = 22;  // 21 transitions
const std::vector<double>& kTones = rendered::kTones;

std::string toneList(const rendered::PlayerFolder& folder, double toneSeconds)
{
    std::string m3u = "#EXTM3U\r\n";
    for (int i = 0; i < kItems; ++i) {
        const double hz = kTones[static_cast<std::size_t>(i) % kTones.size()];
        const std::string name = "item" + std::to_string(i) + ".wav";
        m3u += "#EXTINF:2," + name + "\r\n" + folder.dir.write(name, rendered::toneWav(hz, toneSeconds)) + "\r\n";
    }
    return folder.dir.write("items.m3u", m3u);
}

void report(benchmark::State& state, const char* what, std::vector<double> values)
{
    for (std::size_t i = 0; i < values.size(); ++i)
        std::printf("%s %2zu: %6.1f ms\n", what, i + 1, values[i]);
    if (values.empty()) {
        state.SkipWithError("no transitions measured");
        return;
    }
    std::sort(values.begin(), values.end());
    state.counters["transitions"] = static_cast<double>(values.size());
    state.counters["median_ms"] = values[values.size() / 2];
    state.counters["earliest_ms"] = values.front();
    state.counters["latest_ms"] = values.back();
    state.SetIterationTime(1);
}

// The onsets of every item, in list order (item i sounds tone i % 3).
std::vector<double> itemOnsets(const rendered::ToneTrack& track)
{
    std::vector<std::vector<double>> perTone;
    for (std::size_t t = 0; t < kTones.size(); ++t)
        perTone.push_back(rendered::onsets(track, t, 0.2));
    std::vector<double> all;
    for (int i = 0; i < kItems; ++i) {
        const auto& list = perTone[static_cast<std::size_t>(i) % kTones.size()];
        const std::size_t k = static_cast<std::size_t>(i) / kTones.size();
        if (k >= list.size())
            break;
        all.push_back(list[k]);
    }
    return all;
}

// Plays kItems tones of toneSeconds with music's mix and fade points (seconds, 0 = off) and
// measures the mix; false (the benchmark told why) when the player did not run.
bool playItems(benchmark::State& state, float mix, float fade, double toneSeconds, rendered::Pcm& pcm,
               std::vector<double>& onsets)
{
    rendered::PlayerFolder folder;
    folder.setUp(rendered::musicCrossfadeHex(mix, fade));
    const std::string list = toneList(folder, toneSeconds);
    // Slack for a slow start: the player may wait up to 5 s for its search server first.
    const int ms = 8000 + static_cast<int>(kItems * (toneSeconds - mix) * 1000);
    if (!rendered::runPlayer(folder, {"list", QString::fromStdString(list)}, ms)) {
        state.SkipWithError("the player did not run");
        return false;
    }
    pcm = rendered::readWav(folder.dir.read(folder.wavOut()));
    onsets = itemOnsets(rendered::trackTones(pcm, kTones, 10, 1));
    return true;
}

// Runs the list once and reports figure(pcm, onsets, i) for every transition i (from 1).
template <typename Figure>
void measure(benchmark::State& state, float mix, float fade, double toneSeconds, const char* what, Figure figure)
{
    for (auto _ : state) {
        rendered::Pcm pcm;
        std::vector<double> on;
        if (!playItems(state, mix, fade, toneSeconds, pcm, on))
            return;
        std::vector<double> values;
        for (std::size_t i = 1; i < on.size(); ++i)
            values.push_back(figure(pcm, on, i));
        report(state, what, values);
    }
}

void MixPointOffsets(benchmark::State& state)
{
    // 2.5 s items: the fade of the item before has ended by each mix point, so the other deck is
    // free when it comes. Each item's mix point lies 1.5 s after its own onset.
    measure(state, 1.0f, 0.5f, 2.5, "next start after its mix point",
            [](const rendered::Pcm&, const std::vector<double>& on, std::size_t i) {
                return (on[i] - on[i - 1] - 1.5) * 1000.0;
            });
}
BENCHMARK(MixPointOffsets)->Unit(benchmark::kSecond)->Iterations(1)->UseManualTime();

void SilenceWithCrossfadeOff(benchmark::State& state)
{
    // The silence around each next item's start: every run of zero samples within 100 ms before
    // its onset window.
    measure(state, 0, 0, 1.0, "silence before item", [](const rendered::Pcm& pcm, const std::vector<double>& on, std::size_t i) {
        const auto to = static_cast<std::size_t>((on[i] + 0.01) * pcm.rate);
        const auto from = static_cast<std::size_t>(std::max(0.0, on[i] - 0.1) * pcm.rate);
        double ms = 0;
        for (const rendered::Run& r : rendered::silentRuns(pcm, from, to, 1e-3f, rendered::kSilentRunSamples))
            ms += r.ms(pcm.rate);
        return ms;
    });
}
BENCHMARK(SilenceWithCrossfadeOff)->Unit(benchmark::kSecond)->Iterations(1)->UseManualTime();

}  // namespace

int main(int argc, char** argv)
{
    return testrun::runBenchmarks(argc, argv);
}
