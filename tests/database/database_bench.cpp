// Load and save of a 100,000-row ".dfs" file, and searches over 100,000 rows.
#include "database/basesearch.h"
#include "database/dfsfile.h"
#include "database/folderscan.h"
#include "database/trackbase.h"
#include "testtracks.h"

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

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
