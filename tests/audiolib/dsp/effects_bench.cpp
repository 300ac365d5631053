// Cost of the deck's sound processing per second of stereo 44100 Hz audio: the equaliser and
// compressor every deck runs, all optional effects at once, and the tempo change.
#include "audiolib/dsp/effect.h"
#include "audiolib/dsp/effectrecords.h"
#include "audiolib/dsp/tempoprocessor.h"
#include "signal.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

using namespace audiolib::dsp;

namespace {

constexpr int kBlock = 1024;

template <typename Record>
std::unique_ptr<Effect> make(int kind, const Record& r)
{
    auto fx = createEffect(kind);
    fx->prepare(dsptest::kRate, 2);
    fx->setParameters(&r, sizeof r);
    return fx;
}

// Runs one second of noise through the chain per iteration; reports seconds of audio per second.
void runChain(benchmark::State& state, std::vector<std::unique_ptr<Effect>>& chain)
{
    const std::vector<float> source = dsptest::noise(1.0, 2, 0.5);
    std::vector<float> x(source.size());
    for (auto _ : state) {
        x = source;
        for (std::size_t i = 0; i + kBlock * 2 <= x.size(); i += kBlock * 2)
            for (auto& fx : chain)
                fx->process(x.data() + i, kBlock);
        benchmark::DoNotOptimize(x.data());
    }
    state.counters["realtime_x"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_EqualiserAndCompressor(benchmark::State& state)
{
    std::vector<std::unique_ptr<Effect>> chain;
    const float centres[12] = {60, 170, 310, 600, 1000, 3000, 6000, 12000, 14000, 16000, 18000, 20000};
    for (int band = 0; band < 12; ++band)
        chain.push_back(make(kEffectPeakEq, PeakEqParams{band, dsptest::kRate, 2.5f, 0, centres[band], band % 2 ? 6.0f : -4.0f}));
    CompressorParams comp{};
    chain.push_back(createEffect(kEffectCompressor));
    chain.back()->prepare(dsptest::kRate, 2);
    chain.back()->getParameters(&comp, sizeof comp);
    comp.gainDb = 6.0f;
    chain.back()->setParameters(&comp, sizeof comp);
    runChain(state, chain);
}
BENCHMARK(BM_EqualiserAndCompressor)->Unit(benchmark::kMillisecond);

void BM_OneEqualiserBand(benchmark::State& state)
{
    std::vector<std::unique_ptr<Effect>> chain;
    chain.push_back(make(kEffectPeakEq, PeakEqParams{0, dsptest::kRate, 2.5f, 0, 1000, 6.0f}));
    runChain(state, chain);
}
BENCHMARK(BM_OneEqualiserBand)->Unit(benchmark::kMillisecond);

void BM_Compressor(benchmark::State& state)
{
    std::vector<std::unique_ptr<Effect>> chain;
    chain.push_back(make(kEffectCompressor, CompressorParams{6.0f, -10.0f, 3.0f, 5.0f, 250.0f, 6.0f}));
    runChain(state, chain);
}
BENCHMARK(BM_Compressor)->Unit(benchmark::kMillisecond);

void BM_AllOptionalEffects(benchmark::State& state)
{
    std::vector<std::unique_ptr<Effect>> chain;
    chain.push_back(make(kEffectReverb, ReverbParams{0, -6, 1500, 0.5f}));
    chain.push_back(make(kEffectEcho, EchoParams{30, 40, 333, 250, -1}));
    chain.push_back(make(kEffectFlanger, FlangerParams{2.0f, dsptest::kRate, 60, 1}));
    chain.push_back(make(kEffectEcho2, Echo2Params{1, 0.5f, 0.3f, 0.4f}));
    runChain(state, chain);
}
BENCHMARK(BM_AllOptionalEffects)->Unit(benchmark::kMillisecond);

void BM_TempoPlusTenPercent(benchmark::State& state)
{
    const std::vector<float> source = dsptest::noise(1.0, 2, 0.5);
    std::vector<float> out(kBlock * 4);
    TempoProcessor tp(dsptest::kRate, 2);
    tp.setTempoPercent(10.0f);
    for (auto _ : state) {
        for (std::size_t i = 0; i + kBlock * 2 <= source.size(); i += kBlock * 2) {
            tp.putFrames(source.data() + i, kBlock);
            while (tp.receiveFrames(out.data(), kBlock * 2) > 0) {
            }
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["realtime_x"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TempoPlusTenPercent)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
