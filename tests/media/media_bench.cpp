// Reading the ID3v1 tag and the MPEG header information of 10,000 small files, the way the tag
// page does (one open for ReadTagRecord and TMPEGaudio with its two tag readers) and through the
// readers' own file names, next to the file-system floor: open, read the first bytes, the last
// 128 and an MPEG header block, close.
#include "mediafixtures.h"

#include "media/inputfile.h"
#include "media/mpegaudio.h"
#include "media/tag.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

void countFiles(benchmark::State& state, std::int64_t found, int perFile)
{
    if (found != perFile * static_cast<std::int64_t>(kFiles) * state.iterations())
        state.SkipWithError("a file was not read");
    state.counters["files_per_s"] =
        benchmark::Counter(static_cast<double>(kFiles) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// Reads every file's tag record and frame information through read(path, tag, mpeg).
template <typename Read>
void readAll(benchmark::State& state, Read read)
{
    const std::vector<std::string>& paths = files();
    media::TMPEGaudio mpeg;
    media::TTagRecord tag;
    std::int64_t found = 0;
    for (auto _ : state) {
        for (const std::string& path : paths) {
            found += read(path, tag, mpeg);
            benchmark::DoNotOptimize(mpeg.BitRate());
        }
    }
    countFiles(state, found, 2);
}

// The tag page: one open, shared by the tag record and the frame reader.
void BM_TagAndMpegHeaders(benchmark::State& state)
{
    readAll(state, [](const std::string& path, media::TTagRecord& tag, media::TMPEGaudio& mpeg) {
        const media::InputFile file(path);
        return int{media::ReadTagRecord(file, tag)} + int{mpeg.ReadInfo(file) && mpeg.Frame.Found};
    });
}
BENCHMARK(BM_TagAndMpegHeaders)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same through the file names: one open for the tag record, one for the frame reader.
void BM_TagAndMpegHeadersByName(benchmark::State& state)
{
    readAll(state, [](const std::string& path, media::TTagRecord& tag, media::TMPEGaudio& mpeg) {
        return int{media::ReadTagRecord(path, tag)} + int{mpeg.ReadInfo(path) && mpeg.Frame.Found};
    });
}
BENCHMARK(BM_TagAndMpegHeadersByName)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The floor: what any reader of these files must do at least.
void BM_FloorOpenReadEndsAndHeaderClose(benchmark::State& state)
{
    const std::vector<std::string>& paths = files();
    std::int64_t found = 0;
    unsigned char head[10];
    unsigned char tail[128];
    unsigned char block[media::TMPEGaudio::kBufferSize];
    for (auto _ : state) {
        for (const std::string& path : paths) {
            const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            struct stat st {};
            if (fd < 0 || ::fstat(fd, &st) != 0)
                continue;
            found += ::pread(fd, head, sizeof head, 0) == sizeof head &&
                     ::pread(fd, tail, sizeof tail, st.st_size - 128) == sizeof tail &&
                     ::pread(fd, block, sizeof block, 0) > 0;
            ::close(fd);
            benchmark::DoNotOptimize(block[4]);
        }
    }
    countFiles(state, found, 1);
}
BENCHMARK(BM_FloorOpenReadEndsAndHeaderClose)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
