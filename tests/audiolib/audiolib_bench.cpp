// Real-time factors on one core: MP3 decoding alone, a whole deck chain (decode, 12 equaliser
// bands, compressor, mixing), the same through the tempo stream, and all optional effects on.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "audiolib/audiolib.h"
#include "audiolib/dsp/effectrecords.h"
#include "audiolib/ffmpegsource.h"
#include "tests/common/benchmp3.h"

using namespace audiolib;

namespace {

constexpr double kSeconds = benchtest::kBenchMp3Seconds;

const std::string& mp3File() { return benchtest::benchMp3("/tmp/audiolib_bench_192k.mp3"); }

void reportRealTime(benchmark::State& state, double audioSeconds, double wallSeconds)
{
    state.counters["x_realtime"] = audioSeconds / wallSeconds;
}

void BM_DecodeMp3(benchmark::State& state)
{
    mp3File();  // made once, outside the timing
    std::vector<float> buf(4096 * 2);
    double audio = 0, wall = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        int error = 0;
        auto src = FfmpegSource::open(mp3File(), &error);
        std::int64_t frames = 0;
        int n;
        while ((n = src->read(buf.data(), 4096, nullptr)) > 0)
            frames += n;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        audio += double(frames) / 44100.0;
        benchmark::DoNotOptimize(buf.data());
    }
    reportRealTime(state, audio, wall);
}

void dspPass(DspHandle, Handle, void* buffer, std::uint32_t length, void*)
{
    auto* s = static_cast<std::int16_t*>(buffer);
    for (std::uint32_t i = 0; i < length / 2; ++i)
        s[i] = std::int16_t(s[i] - (s[i] >> 4));
}

enum class Chain { Deck, DeckTempo, AllEffects };

void runChain(benchmark::State& state, Chain chain)
{
    mp3File();
    setManualClock(true);
    if (!initDevice(kDeviceNoSound, 44100, 0, 0))
        state.SkipWithError("no device");
    static const int kBands[12] = {60, 120, 310, 600, 1000, 3000, 6000, 12000, 14000, 16000, 18000, 20000};
    double audio = 0, wall = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        Handle source = streamCreateFile(mp3File(), chain == Chain::DeckTempo ? kStreamDecode : 0);
        Handle playing = source;
        if (chain == Chain::DeckTempo) {
            playing = tempoCreate(source, 0);
            tempoSet(playing, 5.0f, kTempoRateUnchanged, kPitchUnchanged);
        }
        for (int i = 0; i < 12; ++i) {
            const FxHandle band = setDspFx(playing, kFxPeakEq, 0);
            // Every band boosted or cut: a band at 0 dB is skipped and would cost nothing.
            dsp::PeakEqParams eq{i, 44100, 2.5f, 0.0f, float(kBands[i]), i % 2 == 0 ? 4.0f : -4.0f};
            dspFxSetParameters(band, &eq, sizeof eq);
        }
        const FxHandle comp = setFx(playing, kFxCompressor);
        dsp::CompressorParams cp{};
        fxGetParameters(comp, &cp, sizeof cp);
        cp.gainDb = 3.0f;
        fxSetParameters(comp, &cp, sizeof cp);
        if (chain == Chain::AllEffects) {
            const FxHandle reverb = setFx(playing, kFxReverb);
            dsp::ReverbParams rp{0.0f, -10.0f, 1000.0f, 0.5f};
            fxSetParameters(reverb, &rp, sizeof rp);
            const FxHandle echo = setFx(playing, kFxEcho);
            dsp::EchoParams ep{30.0f, 40.0f, 333.0f, 250.0f, -1};
            fxSetParameters(echo, &ep, sizeof ep);
            const FxHandle flanger = setDspFx(playing, kFxFlanger, 1);
            dsp::FlangerParams fp{2.0f, 44100, 60.0f, 3.0f};
            dspFxSetParameters(flanger, &fp, sizeof fp);
            const FxHandle echo2 = setDspFx(playing, kFxEcho2, 1);
            dsp::Echo2Params e2{1.0f, 0.5f, 0.3f, 0.4f};
            dspFxSetParameters(echo2, &e2, sizeof e2);
            setDsp(playing, &dspPass, nullptr, 10000);  // a user procedure on 16-bit blocks, as the level control
        }
        play(playing, false);
        std::int64_t frames = 0;
        while (isActive(playing) != kStopped && frames < std::int64_t(kSeconds * 44100 * 2)) {
            advance(4096, nullptr);
            frames += 4096;
        }
        if (chain == Chain::DeckTempo)
            tempoFree(playing);
        streamFree(source);
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        audio += double(frames) / 44100.0;
    }
    reportRealTime(state, audio, wall);
    freeDevice();
}

void BM_DeckChain(benchmark::State& state) { runChain(state, Chain::Deck); }
void BM_DeckChainTempo(benchmark::State& state) { runChain(state, Chain::DeckTempo); }
void BM_DeckChainAllEffects(benchmark::State& state) { runChain(state, Chain::AllEffects); }

}  // namespace

BENCHMARK(BM_DecodeMp3)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DeckChain)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DeckChainTempo)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DeckChainAllEffects)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
