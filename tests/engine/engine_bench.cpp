// Real-time factor of the player's two decks on one core with everything the sound controls can
// switch on: 12 equaliser bands, the compressor and all five optional effects on both decks,
// each deck playing an MP3, mixed on the "no sound" device's manual clock.
#include <benchmark/benchmark.h>

#include "audiolib/audiolib.h"
#include "engine/audioengine.h"
#include "engine/enginesettings.h"
#include "tests/common/benchmp3.h"

#include <array>
#include <chrono>
#include <memory>
#include <string>

namespace {

constexpr double kSeconds = benchtest::kBenchMp3Seconds;
constexpr int kRate = 44100;

const std::string& mp3File() { return benchtest::benchMp3("/tmp/engine_bench_192k.mp3"); }

// What the player's sound controls put on a deck with everything on.
void everythingOn(engine::TAudioEngine& deck)
{
    // Every band boosted or cut: a band at 0 dB is skipped and would cost nothing.
    for (int band = 0; band < engine::kMaxBands; ++band)
        deck.SetEqualizerGain(band, band % 2 == 0 ? 4 : -4);
    deck.SetCompressorParams(engine::CompressorParams{3.0f, -10.0f, 3.0f, 5.0f, 250.0f, 6.0f});
    deck.reverbParams = {0.0f, -10.0f, 1000.0f, 0.5f};
    deck.EnableReverb();
    deck.ApplyReverb();
    deck.echoParams = {30.0f, 40.0f, 333.0f, 250.0f, -1};
    deck.EnableEcho();
    deck.ApplyEcho();
    deck.flangerParams = {2.0f, 0, 60.0f, 3.0f};
    deck.EnableFlanger();
    deck.ApplyFlanger();
    deck.autoAmpSettings = {30000, 800, 0.05f, 0.5f};
    deck.EnableAutoAmp();
    deck.ResetAutoAmp();
    deck.echo2Params = {1.0f, 0.5f, 0.3f, 0.4f};
    deck.EnableEcho2();
    deck.ApplyEcho2();
}

void BM_TwoDecksEverythingOn(benchmark::State& state)
{
    mp3File();  // made once, outside the timing
    engine::EngineSettings settings;
    settings.LastBand = engine::kMaxBands - 1;
    settings.Freq = engine::kBaseBandCenters;
    engine::setEngineSettings(settings);
    audiolib::setManualClock(true);
    std::array<std::unique_ptr<engine::TAudioEngine>, 2> decks{std::make_unique<engine::TAudioEngine>(0),
                                                                std::make_unique<engine::TAudioEngine>(0)};
    for (auto& deck : decks)
        deck->Device = audiolib::kDeviceNoSound;
    if (!decks[0]->InitDevice(audiolib::kDeviceNoSound))
        state.SkipWithError("no device");
    double audio = 0, wall = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        for (auto& deck : decks) {
            deck->PlayFile(mp3File());
            everythingOn(*deck);
        }
        std::int64_t frames = 0;
        while (decks[0]->State() == engine::STATE_PLAY && frames < static_cast<std::int64_t>(kSeconds * kRate)) {
            audiolib::advance(4096);
            frames += 4096;
        }
        for (auto& deck : decks)
            deck->Stop();
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        audio += static_cast<double>(frames) / kRate;
    }
    // The mix's own factor, and what each deck's chain costs: two decks' audio per wall second.
    state.counters["x_realtime_mix"] = audio / wall;
    state.counters["x_realtime_per_deck"] = 2 * audio / wall;
    decks[0]->Destroy();
    engine::setEngineSettings(engine::EngineSettings{});
}

}  // namespace

BENCHMARK(BM_TwoDecksEverythingOn)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
