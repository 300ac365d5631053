// Reading the ID3v1 tag and the MPEG header information of 10,000 small files, the way the tag
// page and the database's folder scan do: ReadTagRecord plus TMPEGaudio with its two tag readers.
#include "mediafixtures.h"

#include "media/mpegaudio.h"
#include "media/tag.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kFiles = 10000;

const std::vector<std::string>& files()
{
    static mediatest::TempDir dir;
    static const std::vector<std::string> paths = [] {
        std::vector<std::string> out;
        out.reserve(kFiles);
        const std::string audio = mediatest::mpegFrames(4);
        for (int i = 0; i < kFiles; ++i) {
            const std::string tag =
                mediatest::id3v1Tag("Title " + std::to_string(i), "Artist", "Album", "2001", "", i % 100, static_cast<std::uint8_t>(i % 148));
            out.push_back(dir.write("f" + std::to_string(i) + ".mp3", audio + tag));
        }
        return out;
    }();
    return paths;
}

void BM_TagAndMpegHeaders(benchmark::State& state)
{
    const std::vector<std::string>& paths = files();
    media::TMPEGaudio mpeg;
    media::TTagRecord tag;
    std::int64_t found = 0;
    for (auto _ : state) {
        for (const std::string& path : paths) {
            found += media::ReadTagRecord(path, tag);
            found += mpeg.ReadInfo(path) && mpeg.Frame.Found;
            benchmark::DoNotOptimize(mpeg.BitRate());
        }
    }
    if (found != 2 * static_cast<std::int64_t>(kFiles) * state.iterations())
        state.SkipWithError("a file was not read");
    state.counters["files_per_s"] =
        benchmark::Counter(static_cast<double>(kFiles) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TagAndMpegHeaders)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
