// Load and save of a 100,000-row ".dfs" file, searches, Check base and the statistics over
// 100,000 rows.
#include "database/basesearch.h"
#include "database/dfsfile.h"
#include "database/dialogs/statistics.h"
#include "database/filecheck.h"
#include "database/folderscan.h"
#include "database/trackbase.h"
#include "testtracks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <filesystem>

using namespace database;

namespace {

constexpr int kRows = 100000;

void fillBase(TrackBase& base)
{
    for (int i = 0; i < kRows; ++i)
        base.append(dbtest::makeTrack({.title = "Title number " + std::to_string(i),
                                       .artist = (i % 2) ? "Исполнитель " + std::to_string(i % 977)
                                                         : "Artist " + std::to_string(i % 977),
                                       .album = "Album " + std::to_string(i % 5000),
                                       .year = std::to_string(1950 + i % 70),
                                       .genre = "Rock",
                                       .comment = "comment",
                                       .fileName = "/music/folder" + std::to_string(i % 300) + "/track" +
                                                   std::to_string(i) + ".mp3",
                                       .duration = (i % 7) ? 180000 + i : 0}));
}

TrackBase& sharedBase()
{
    static TrackBase base;
    if (base.size() == 0)
        fillBase(base);
    return base;
}

void BM_SaveDfs(benchmark::State& state)
{
    TrackBase& base = sharedBase();
    QTemporaryDir dir;
    const std::string path = dir.filePath("bench.dfs").toStdString();
    for (auto _ : state)
        benchmark::DoNotOptimize(writeDfsFile(path, base.List2, nullptr));
}
BENCHMARK(BM_SaveDfs)->Unit(benchmark::kMillisecond);

void BM_LoadDfs(benchmark::State& state)
{
    TrackBase& base = sharedBase();
    QTemporaryDir dir;
    const std::string path = dir.filePath("bench.dfs").toStdString();
    writeDfsFile(path, base.List2, nullptr);
    for (auto _ : state) {
        TrackBase loaded;
        loaded.assign(readDfsFile(path).records);
        benchmark::DoNotOptimize(loaded.size());
    }
}
BENCHMARK(BM_LoadDfs)->Unit(benchmark::kMillisecond);

void BM_SearchOneField(benchmark::State& state)
{
    TrackBase& base = sharedBase();
    std::array<QString, kFieldCount> q;
    q[static_cast<int>(Field::Artist)] = QString::fromUtf8("исполнитель 97");
    const SearchMatcher m(q);
    for (auto _ : state)
        runSearch(base, m, [](int) {});
    state.counters["found"] = static_cast<double>(base.List.size());
}
BENCHMARK(BM_SearchOneField)->Unit(benchmark::kMillisecond);

void BM_SearchAllEight(benchmark::State& state)
{
    TrackBase& base = sharedBase();
    const std::array<QString, kFieldCount> q = {"title", "a", "album", "19", "rock", "comm", "0", "/music/"};
    const SearchMatcher m(q);
    for (auto _ : state)
        runSearch(base, m, [](int) {});
    state.counters["found"] = static_cast<double>(base.List.size());
}
BENCHMARK(BM_SearchAllEight)->Unit(benchmark::kMillisecond);

// The add-folder pass without its window: scan 10,000 tagged files and build their records.
void BM_AddFolder10k(benchmark::State& state)
{
    QTemporaryDir dir;
    for (int d = 0; d < 100; ++d) {
        const QString sub = dir.filePath(QString("folder%1").arg(d));
        std::filesystem::create_directories(sub.toStdString());
        for (int i = 0; i < 100; ++i)
            dbtest::writeTaggedFile((sub + QString("/track%1.mp3").arg(i)).toStdString(), "Title", "Artist", 12, 2048);
    }
    std::size_t added = 0;
    for (auto _ : state) {
        TrackBase base;
        FolderScanner scanner;
        std::vector<ScanEntry> entries;
        scanner.CollectFiles(dir.path().toStdString(), entries);
        for (const ScanEntry& e : entries) {
            media::TTrackRecord r;
            if (makeTrackRecord(e, true, r, nullptr) == AddOutcome::Added)
                base.append(std::make_unique<media::TTrackRecord>(r));
        }
        added = base.size();
    }
    state.counters["files"] = static_cast<double>(added);
    state.counters["files/s"] =
        benchmark::Counter(static_cast<double>(added), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_AddFolder10k)->Unit(benchmark::kMillisecond);

// 100,000 records whose files exist: 1,000 folders of 100 empty files.
struct ExistingFiles {
    QTemporaryDir dir;
    TrackBase base;
    ExistingFiles()
    {
        for (int d = 0; d < 1000; ++d) {
            const std::string folder = dir.filePath(QString("f%1").arg(d)).toStdString();
            ::mkdir(folder.c_str(), 0755);
            for (int i = 0; i < 100; ++i) {
                const std::string file = folder + "/track" + std::to_string(i) + ".mp3";
                ::close(::open(file.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
                base.append(dbtest::makeTrack({.title = "T", .fileName = file}));
            }
        }
    }
};

ExistingFiles& existingFiles()
{
    static ExistingFiles files;
    return files;
}

// The floor: one bare stat per file, nothing else.
void BM_StatFloor100k(benchmark::State& state)
{
    TrackBase& base = existingFiles().base;
    std::size_t present = 0;
    for (auto _ : state) {
        present = 0;
        struct stat st {};
        for (const TTrackRecord* r : base.List2)
            present += ::stat(r->FileName.str().c_str(), &st) == 0;
    }
    state.counters["records/s"] = benchmark::Counter(static_cast<double>(base.size()),
                                                     benchmark::Counter::kIsIterationInvariantRate);
    state.counters["present"] = static_cast<double>(present);
}
BENCHMARK(BM_StatFloor100k)->Unit(benchmark::kMillisecond);

// Check base's pass over the same files (with its pacing clock), warm.
void BM_CheckBase100k(benchmark::State& state)
{
    TrackBase& base = existingFiles().base;
    const FileChecker checker;
    CheckOutcome out;
    std::size_t pumps = 0;
    for (auto _ : state)
        out = findMissingFiles(base.List2, checker, [&](std::size_t, std::size_t) { ++pumps; },
                               std::chrono::milliseconds(20), nullptr);
    state.counters["records/s"] = benchmark::Counter(static_cast<double>(base.size()),
                                                     benchmark::Counter::kIsIterationInvariantRate);
    state.counters["present"] = static_cast<double>(out.present);
}
BENCHMARK(BM_CheckBase100k)->Unit(benchmark::kMillisecond);

// The floor of the statistics: the copy of the base the worker is given.
void BM_StatisticsSnapshot100k(benchmark::State& state)
{
    TrackBase& base = sharedBase();
    for (auto _ : state) {
        std::vector<media::TTrackRecord> snapshot;
        snapshot.reserve(base.size());
        for (const TTrackRecord* r : base.List2)
            snapshot.push_back(*r);
        benchmark::DoNotOptimize(snapshot.data());
    }
}
BENCHMARK(BM_StatisticsSnapshot100k)->Unit(benchmark::kMillisecond);

// The whole statistics run: the copy, durations, years, genres, artists and sizes.
void BM_Statistics100k(benchmark::State& state)
{
    TrackBase& base = sharedBase();
    const std::atomic<bool> stop{false};
    StatResults results;
    for (auto _ : state) {
        std::vector<media::TTrackRecord> snapshot;
        snapshot.reserve(base.size());
        for (const TTrackRecord* r : base.List2)
            snapshot.push_back(*r);
        results = StatResults{};
        computeDurationsAndNames(snapshot, results, stop);
        computeSizes(snapshot, results, QLocale(), [](int) {}, stop);
    }
    state.counters["artists"] = results.texts[12].toDouble();
}
BENCHMARK(BM_Statistics100k)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
