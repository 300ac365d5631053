// How precisely the real player moves from item to item on the rendering device: a generated list
// of tones is played and its rendered mix measured.
//  - MixPointOffsets: 2.5 s tones, music mix point 1.0 s, fade 0.5 s; how late each next tone
//    starts after its mix point (ms).
//  - SilenceWithCrossfadeOff: 1.0 s tones, no mix or fade point; the silence between consecutive
//    tones (ms).
// Each prints one figure per transition and reports the median and the worst as counters.
#include "renderedmix.h"

#include "tests/common/isolatedrun.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

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
    state.counters["worst_ms"] = values.back();
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

void MixPointOffsets(benchmark::State& state)
{
    for (auto _ : state) {
        rendered::PlayerFolder folder;
        folder.setUp(rendered::musicCrossfadeHex(1.0f, 0.5f));
        // 2.5 s items: the fade of the item before has ended by each mix point, so the other deck
        // is free when it comes.
        const std::string list = toneList(folder, 2.5);
        if (!rendered::runPlayer(folder, {"list", QString::fromStdString(list)}, 3000 + kItems * 1500)) {
            state.SkipWithError("the player did not run");
            return;
        }
        const rendered::Pcm pcm = rendered::readWav(folder.dir.read(folder.wavOut()));
        const rendered::ToneTrack track = rendered::trackTones(pcm, kTones, 10, 1);
        const std::vector<double> on = itemOnsets(track);
        std::vector<double> late;
        // Each item's mix point lies 1.0 s before its end, 1.5 s after its own onset.
        for (std::size_t i = 1; i < on.size(); ++i)
            late.push_back((on[i] - on[i - 1] - 1.5) * 1000.0);
        report(state, "next start after its mix point", late);
    }
}
BENCHMARK(MixPointOffsets)->Unit(benchmark::kSecond)->Iterations(1)->UseManualTime();

void SilenceWithCrossfadeOff(benchmark::State& state)
{
    for (auto _ : state) {
        rendered::PlayerFolder folder;
        folder.setUp(rendered::musicCrossfadeHex(0, 0));
        const std::string list = toneList(folder, 1.0);
        if (!rendered::runPlayer(folder, {"list", QString::fromStdString(list)}, 2500 + kItems * 1000)) {
            state.SkipWithError("the player did not run");
            return;
        }
        const rendered::Pcm pcm = rendered::readWav(folder.dir.read(folder.wavOut()));
        const rendered::ToneTrack track = rendered::trackTones(pcm, kTones, 10, 1);
        const std::vector<double> on = itemOnsets(track);
        std::vector<double> gaps;
        for (std::size_t i = 1; i < on.size(); ++i) {
            // The silence around the next item's start: every run of zero samples within 100 ms
            // before its onset window.
            const auto to = static_cast<std::size_t>((on[i] + 0.01) * pcm.rate);
            const auto from = static_cast<std::size_t>(std::max(0.0, on[i] - 0.1) * pcm.rate);
            double ms = 0;
            for (const rendered::Run& r : rendered::silentRuns(pcm, from, to, 1e-3f, rendered::kSilentRunSamples))
                ms += r.ms(pcm.rate);
            gaps.push_back(ms);
        }
        report(state, "silence before item", gaps);
    }
}
BENCHMARK(SilenceWithCrossfadeOff)->Unit(benchmark::kSecond)->Iterations(1)->UseManualTime();

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const testrun::IsolatedRun run("qvbench");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
