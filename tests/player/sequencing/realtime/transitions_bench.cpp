// How precisely the real player moves from item to item, on the rendering device (argument 0) and
// on a real output (argument 1: a PulseAudio server of the benchmark's own, its null sink recorded
// from its monitor): a generated list of tones is played and the mix measured.
//  - MixPointOffsets: 2.5 s tones, music mix point 1.0 s, fade 0.5 s; how late each next tone
//    starts after its mix point (ms).
//  - SilenceWithCrossfadeOff: 1.0 s tones, no mix or fade point; the silence between consecutive
//    tones (ms).
// Each prints one figure per transition and reports the median, the earliest and the latest as
// counters.
//  - DropoutsUnderLoad: on the real output, one 50 s tone with the equaliser and all five effects
//    on while eight threads keep every core busy; the runs of silence inside the tone (the
//    output ran dry), their count, total and longest.
#include "renderedmix.h"

#include "tests/common/benchmain.h"
#include "tests/common/pulseserver.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <thread>

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

// The player's output: the rendering device, or (real) the default output, which is the sink of a
// PulseAudio server started here and recorded from its monitor.
class Output {
public:
    // False (the benchmark told why) when the real output cannot be had.
    bool setUp(benchmark::State& state, bool real, rendered::PlayerFolder& folder, const std::string& systemIni = {})
    {
        m_real = real;
        if (!real)
            return true;
        std::string why = "cannot make a runtime folder for the PulseAudio server";
        if (!m_server.prepare() || !m_server.start(&why)) {
            state.SkipWithError(why.c_str());
            return false;
        }
        folder.dir.write("system.ini", "[Device]\nMainDev=1\n" + systemIni);
        if (!m_server.record(folder.dir.path() + "/sink.raw")) {
            state.SkipWithError("parec (pulseaudio-utils) cannot be started");
            return false;
        }
        return true;
    }
    rendered::Pcm heard(const rendered::PlayerFolder& folder)
    {
        if (!m_real)
            return rendered::readWav(folder.dir.read(folder.wavOut()));
        m_server.stopRecording();
        return rendered::Pcm{44100, 2, m_server.recordedLeft()};
    }

private:
    bool m_real = false;
    pulsetest::PulseServer m_server;
};

// Plays kItems tones of toneSeconds with music's mix and fade points (seconds, 0 = off) and
// measures the mix; false (the benchmark told why) when the player did not run.
bool playItems(benchmark::State& state, float mix, float fade, double toneSeconds, rendered::Pcm& pcm,
               std::vector<double>& onsets)
{
    rendered::PlayerFolder folder;
    folder.setUp(rendered::musicCrossfadeHex(mix, fade));
    Output output;
    if (!output.setUp(state, state.range(0) != 0, folder))
        return false;
    const std::string list = toneList(folder, toneSeconds);
    // Slack for a slow start: the player may wait up to 5 s for its search server first.
    const int ms = 8000 + static_cast<int>(kItems * (toneSeconds - mix) * 1000);
    if (!rendered::runPlayer(folder, {"list", QString::fromStdString(list)}, ms)) {
        state.SkipWithError("the player did not run");
        return false;
    }
    pcm = output.heard(folder);
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
BENCHMARK(MixPointOffsets)->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->Iterations(1)->UseManualTime();

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
BENCHMARK(SilenceWithCrossfadeOff)->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->Iterations(1)->UseManualTime();

// Threads that keep every core busy while they live.
class CpuHogs {
public:
    explicit CpuHogs(int count)
    {
        for (int i = 0; i < count; ++i)
            m_threads.emplace_back([this] {
                double x = 1.0;
                while (!m_stop.load(std::memory_order_relaxed))
                    x = std::sqrt(x + 1.0);
                m_sink.store(x);
            });
    }
    ~CpuHogs()
    {
        m_stop.store(true);
        for (std::thread& t : m_threads)
            t.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<double> m_sink{0};
    std::vector<std::thread> m_threads;
};

void DropoutsUnderLoad(benchmark::State& state)
{
    constexpr double kToneSeconds = 50;
    const std::string bands = "[Equalizer]\nBandsNum=12\nFreq0=60\nFreq1=120\nFreq2=310\nFreq3=600\nFreq4=1000\n"
                              "Freq5=3000\nFreq6=6000\nFreq7=12000\nFreq8=14000\nFreq9=16000\nFreq10=18000\n"
                              "Freq11=20000\n";
    // The shipped presets' settings (Hall, Slapback, Slow, Default, Delay), every effect on.
    const std::string effectsOn = "[Equalizer]\nOn=1\n"
                                  "[Reverb]\nOn=1\nSettings=00000000000020C10000FA440000003F\n"
                                  "[Echo]\nOn=1\nSettings=0000A041000000000000F0420000F04200000000\n"
                                  "[Flanger2]\nOn=1\nSettings=0000004044AC00000000A04100004040\n"
                                  "[AutoAmp]\nOn=1\nSettings=3075000020030000CDCC4C3D0000003F\n"
                                  "[Echo2]\nOn=1\nSettings=0000803F0000003F9A99993ECDCCCC3E\n";
    std::vector<double> counts, totals, longest;
    for (auto _ : state) {
        rendered::PlayerFolder folder;
        folder.setUp(rendered::musicCrossfadeHex(0, 0), effectsOn);
        Output output;
        if (!output.setUp(state, true, folder, bands))
            return;
        const std::string tone = folder.dir.write("tone.wav", rendered::toneWav(kTones[0], kToneSeconds));
        const std::string list = folder.dir.write("tone.m3u", "#EXTM3U\r\n#EXTINF:50,tone\r\n" + tone + "\r\n");
        bool ran = false;
        {
            const CpuHogs hogs(static_cast<int>(std::thread::hardware_concurrency()));
            ran = rendered::runPlayer(folder, {"list", QString::fromStdString(list)},
                                      static_cast<int>(kToneSeconds * 1000) + 6000);
        }
        if (!ran) {
            state.SkipWithError("the player did not run");
            return;
        }
        const rendered::Pcm pcm = output.heard(folder);
        const std::vector<double> on = rendered::onsets(rendered::trackTones(pcm, {kTones[0]}, 10, 5), 0, 0.2);
        if (on.empty()) {
            state.SkipWithError("the tone was never heard");
            return;
        }
        // Inside the tone, away from its start and end.
        const auto from = static_cast<std::size_t>((on[0] + 0.2) * pcm.rate);
        const auto to = static_cast<std::size_t>((on[0] + kToneSeconds - 0.2) * pcm.rate);
        double total = 0, worst = 0;
        const std::vector<rendered::Run> runs =
            rendered::silentRuns(pcm, from, to, 1e-3f, rendered::kSilentRunSamples);
        for (const rendered::Run& r : runs) {
            std::printf("dropout at %.3f s: %.1f ms\n", static_cast<double>(r.first) / pcm.rate - on[0], r.ms(pcm.rate));
            total += r.ms(pcm.rate);
            worst = std::max(worst, r.ms(pcm.rate));
        }
        std::printf("run %zu: %zu dropouts, %.1f ms in all, the longest %.1f ms, over %.1f s heard\n", counts.size() + 1,
                    runs.size(), total, worst, static_cast<double>(std::min(to, pcm.left.size()) - from) / pcm.rate);
        counts.push_back(static_cast<double>(runs.size()));
        totals.push_back(total);
        longest.push_back(worst);
        state.SetIterationTime(1);
    }
    double count = 0, total = 0;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        count += counts[i];
        total += totals[i];
    }
    state.counters["dropouts"] = count;
    state.counters["silent_ms"] = total;
    state.counters["longest_ms"] = longest.empty() ? 0 : *std::max_element(longest.begin(), longest.end());
}
BENCHMARK(DropoutsUnderLoad)->Unit(benchmark::kSecond)->Iterations(3)->UseManualTime();

}  // namespace

int main(int argc, char** argv)
{
    return testrun::runBenchmarks(argc, argv);
}
