// Load and save of a 100,000-row ".dfs" file, searches (next to the fold-table floor), Check base
// and the statistics over 100,000 rows, and adding a folder of real MP3 files with their
// durations, next to the floor of reading every byte of them.
#include "audiolib/audiolib.h"
#include "database/basesearch.h"
#include "database/recordtext.h"
#include "database/dfsfile.h"
#include "database/dialogs/statistics.h"
#include "database/filecheck.h"
#include "database/folderscan.h"
#include "database/trackbase.h"
#include "testtracks.h"

#include "media/tag.h"
#include "platform/cp1251.h"

#include <sys/stat.h>

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

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

// The floor of a search: the code page's fold table run over a field's stored bytes laid end to
// end (what any matcher of these texts must read), for the artist and then for all eight fields.
std::size_t foldedScan(const std::string& bytes, const std::vector<std::uint32_t>& starts, std::string_view query)
{
    const auto& table = cp1251UpperTable();
    std::size_t found = 0;
    const auto* t = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* q = reinterpret_cast<const unsigned char*>(query.data());
    for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
        const std::size_t begin = starts[i], end = starts[i + 1] - 1;
        for (std::size_t p = begin; p + query.size() <= end; ++p) {
            std::size_t k = 0;
            while (k < query.size() && table[t[p + k]] == q[k])
                ++k;
            if (k == query.size()) {
                ++found;
                break;
            }
        }
    }
    return found;
}

struct StoredColumn {
    std::string bytes;
    std::vector<std::uint32_t> starts{0};
};

StoredColumn storedColumn(const TrackBase& base, Field f)
{
    StoredColumn c;
    char buf[kShownTimeBytes];
    for (const auto* r : base.List2) {
        c.bytes.append(f == Field::Time ? shownTime(r->Duration, buf) : storedBytes(*r, f));
        c.bytes.push_back('\0');
        c.starts.push_back(static_cast<std::uint32_t>(c.bytes.size()));
    }
    return c;
}

void BM_FloorFoldOneFieldContiguous(benchmark::State& state)
{
    const StoredColumn artist = storedColumn(sharedBase(), Field::Artist);
    const std::string query = platform::utf8ToCp1251("ИСПОЛНИТЕЛЬ 97");
    std::size_t found = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(found = foldedScan(artist.bytes, artist.starts, query));
    state.counters["found"] = static_cast<double>(found);
}
BENCHMARK(BM_FloorFoldOneFieldContiguous)->Unit(benchmark::kMillisecond);

void BM_FloorFoldEightFieldsContiguous(benchmark::State& state)
{
    std::vector<StoredColumn> columns;
    for (int f = 0; f < kFieldCount; ++f)
        columns.push_back(storedColumn(sharedBase(), static_cast<Field>(f)));
    const char* const kQueries[] = {"TITLE", "A", "ALBUM", "19", "ROCK", "COMM", "0", "/MUSIC/"};
    for (auto _ : state)
        for (int f = 0; f < kFieldCount; ++f)
            benchmark::DoNotOptimize(foldedScan(columns[static_cast<std::size_t>(f)].bytes,
                                                columns[static_cast<std::size_t>(f)].starts, kQueries[f]));
}
BENCHMARK(BM_FloorFoldEightFieldsContiguous)->Unit(benchmark::kMillisecond);

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

// 2,000 MP3 files of 1 to 4 seconds in 20 folders, ten encodings (CBR and VBR, 22 to 48 kHz, mono
// and stereo, with and without tags) each copied 200 times; made once by ffmpeg.
const std::string& mp3Folder()
{
    static QTemporaryDir dir;
    static const std::string folder = [] {
        const std::string root = dir.path().toStdString();
        const char* const kArgs[] = {"-ar 44100 -ac 2 -b:a 128k", "-ar 44100 -ac 2 -q:a 2", "-ar 48000 -ac 2 -b:a 192k",
                                     "-ar 22050 -ac 1 -b:a 48k", "-ar 44100 -ac 1 -q:a 5", "-ar 32000 -ac 2 -b:a 96k",
                                     "-ar 44100 -ac 2 -b:a 160k -write_xing 0", "-ar 24000 -ac 2 -q:a 4",
                                     "-ar 44100 -ac 2 -b:a 128k -write_id3v1 1", "-ar 44100 -ac 2 -b:a 256k"};
        std::vector<std::string> made;
        for (int k = 0; k < 10; ++k) {
            const std::string one = root + "/one" + std::to_string(k) + ".mp3";
            const std::string cmd = "ffmpeg -nostdin -v error -y -f lavfi -i sine=frequency=440:duration=" +
                                    std::to_string(1 + k % 4) + " -c:a libmp3lame " + kArgs[k] +
                                    " -metadata title=Track" + std::to_string(k) + " '" + one + "' >/dev/null 2>&1";
            if (std::system(cmd.c_str()) != 0)
                return std::string();
            made.push_back(one);
        }
        const std::string music = root + "/music";
        for (int i = 0; i < 2000; ++i) {
            const std::string sub = music + "/folder" + std::to_string(i % 20);
            std::filesystem::create_directories(sub);
            std::filesystem::copy_file(made[static_cast<std::size_t>(i % 10)], sub + "/track" + std::to_string(i) + ".mp3");
        }
        return music;
    }();
    return folder;
}

std::vector<std::string> mp3Files()
{
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(mp3Folder()))
        if (entry.is_regular_file())
            paths.push_back(entry.path().string());
    return paths;
}

// Add folder with durations measured: scan, tags, records, then every duration.
void BM_AddFolderWithDurations(benchmark::State& state)
{
    if (mp3Folder().empty()) {
        state.SkipWithError("ffmpeg could not make the files");
        return;
    }
    audiolib::initDevice(audiolib::kDeviceNoSound, 44100, 0, 0);
    std::size_t added = 0;
    std::int64_t measured = 0;
    for (auto _ : state) {
        TrackBase base;
        FolderScanner scanner;
        std::vector<ScanEntry> entries;
        scanner.CollectFiles(mp3Folder(), entries);
        for (const ScanEntry& e : entries) {
            media::TTrackRecord r;
            if (makeTrackRecord(e, false, r, nullptr) == AddOutcome::Added)
                base.append(std::make_unique<media::TTrackRecord>(r));
        }
        for (media::TTrackRecord* r : base.List2) {
            r->Duration = media::GetFileDurationMs(std::string(storedBytes(*r, Field::FileName)));
            measured += r->Duration > 0;
        }
        added = base.size();
    }
    audiolib::freeDevice();
    if (measured != static_cast<std::int64_t>(added) * state.iterations())
        state.SkipWithError("a duration was not measured");
    state.counters["files/s"] = benchmark::Counter(static_cast<double>(added), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_AddFolderWithDurations)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same durations measured by the audio library's decode stream, which counts every packet.
void BM_DurationsThroughTheDecoder(benchmark::State& state)
{
    const std::vector<std::string> files = mp3Files();
    audiolib::initDevice(audiolib::kDeviceNoSound, 44100, 0, 0);
    for (auto _ : state)
        for (const std::string& f : files) {
            const audiolib::Handle stream = audiolib::streamCreateFile(f, audiolib::kStreamDecode);
            benchmark::DoNotOptimize(audiolib::getLength(stream));
            audiolib::streamFree(stream);
        }
    audiolib::freeDevice();
    state.counters["files/s"] =
        benchmark::Counter(static_cast<double>(files.size()), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_DurationsThroughTheDecoder)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The floor: list the folders, open every file, read all of its bytes, close it.
void BM_FloorListAndReadEveryByte(benchmark::State& state)
{
    std::vector<char> buffer(256 * 1024);
    std::size_t files = 0;
    for (auto _ : state) {
        files = 0;
        for (const std::string& f : mp3Files()) {
            const int fd = ::open(f.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0)
                continue;
            while (::read(fd, buffer.data(), buffer.size()) > 0) {
            }
            ::close(fd);
            ++files;
        }
    }
    state.counters["files/s"] = benchmark::Counter(static_cast<double>(files), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_FloorListAndReadEveryByte)->Unit(benchmark::kMillisecond)->MinTime(2.0);

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
