// Every playlist command on the real main window (offscreen) while a track plays, at 10,000,
// 50,000 and 100,000 rows (other sizes from the command line: `player_playlist_bench 100000
// 300000`): how long each command holds the event loop (a playlist read, which lets the loop
// run while the file is read, for the longest turn of it), best and worst of three rounds, the
// longest interval between two 50 ms main-timer ticks across it, and the fresh memory pages it
// touched at the largest size (on a virtual machine each page fault can cost tens of microseconds:
// a list copied into new memory shows there).
#include "editharness.h"

#include "player/sequencing/sequencingplayback.h"

#include "tests/common/isolatedrun.h"

#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

using edittest::EditWindow;
using edittest::Operation;

constexpr int kRounds = 3;

std::vector<int>& sizes()
{
    static std::vector<int> s = {10000, 50000, 100000};
    return s;
}

// What one command did at one size, over the rounds.
struct Figures {
    double bestMs = 1e9;
    double worstMs = 0;
    double gapMs = 0;  // the longest main-timer interval across it
    long faults = 0;
};

std::map<std::string, std::map<int, Figures>>& figures()
{
    static std::map<std::string, std::map<int, Figures>> f;
    return f;
}

long minorFaults()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// The list and transport commands in rounds on one window whose track plays throughout.
void EditsWhilePlaying(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    EditWindow w(n, true);
    w.list().selectRows({0});
    w.form->aPlay();
    using clock = std::chrono::steady_clock;
    // The longest interval between two ticks since the op's preparation ended: a tick that fell
    // due while the command held the loop comes as soon as the loop is free again.
    clock::time_point lastTick = clock::now();
    double longestInterval = 0;
    int ticks = 0;
    QObject::connect(w.form->maintimer, &QTimer::timeout, [&] {
        const clock::time_point now = clock::now();
        longestInterval = std::max(longestInterval, std::chrono::duration<double, std::milli>(now - lastTick).count());
        lastTick = now;
        ++ticks;
    });
    auto waitTick = [&] {
        const int seen = ticks;
        while (ticks == seen)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    };
    // With every row selected, Next and Play must still find their row at once.
    std::vector<Operation> ops = edittest::operations();
    ops.push_back({"next_all_selected", [](EditWindow& w) { w.reset(); w.form->N37Click(); },
                   [](EditWindow& w) { w.form->aNextTrack(); }});
    ops.push_back({"play_all_selected", [](EditWindow& w) { w.reset(); w.form->N37Click(); },
                   [](EditWindow& w) { w.form->aPlay(); }});
    // QV_BENCH_ONLY=name,name runs those commands alone, for a profile of them.
    if (const char* only = std::getenv("QV_BENCH_ONLY")) {
        const std::string names = std::string(",") + only + ",";
        std::erase_if(ops, [&](const Operation& op) { return names.find(std::string(",") + op.name + ",") == std::string::npos; });
    }
    double worst = 0;
    for (auto _ : state) {
        for (const Operation& op : ops) {
            op.prepare(w);
            if (w.list().HLIndex < 0 || w.form->OnAirDeck() == nullptr) {
                const std::vector<int> selected = w.list().selectedRows();
                w.list().selectRows({0});
                w.form->aPlay();
                w.list().selectRows(selected);
            }
            waitTick();
            const clock::time_point before = lastTick;
            longestInterval = 0;
            const long faults0 = minorFaults();
            const clock::time_point t0 = clock::now();
            w.heldMs = -1;
            op.run(w);
            EditWindow::settle();
            const clock::time_point t1 = clock::now();
            const long faults = minorFaults() - faults0;
            waitTick();
            const double gap = longestInterval;
            // A command that lets the loop run meanwhile holds it for its longest turn.
            const double held = w.heldMs >= 0 ? w.heldMs : std::chrono::duration<double, std::milli>(t1 - t0).count();
            Figures& f = figures()[op.name][n];
            f.bestMs = std::min(f.bestMs, held);
            f.worstMs = std::max(f.worstMs, held);
            f.gapMs = std::max(f.gapMs, gap);
            f.faults = std::max(f.faults, faults);
            if (std::getenv("QV_BENCH_VERBOSE"))
                std::fprintf(stderr, "%d %s: since tick %.1f run %.1f gap %.1f faults %ld\n", n, op.name,
                             std::chrono::duration<double, std::milli>(t0 - before).count(), held, gap, faults);
            worst = std::max(worst, gap);
        }
    }
    state.counters["max_tick_gap_ms"] = worst;
}

void registerAll()
{
    auto* bench = benchmark::RegisterBenchmark("EditsWhilePlaying", EditsWhilePlaying);
    for (int n : sizes())
        bench->Arg(n);
    bench->Iterations(kRounds)->Unit(benchmark::kMillisecond);
}

void printTable()
{
    std::printf("\n%-28s", "command (ms held, a track");
    for (int n : sizes())
        std::printf(" %22s", (std::to_string(n / 1000) + "k best/worst/gap").c_str());
    std::printf(" %8s\n", "faults");
    std::map<int, double> longestGap;
    for (const auto& [name, bySize] : figures()) {
        std::printf("%-28s", name.c_str());
        long faults = 0;
        for (int n : sizes()) {
            const auto it = bySize.find(n);
            if (it == bySize.end()) {
                std::printf(" %22s", "-");
                continue;
            }
            const Figures& f = it->second;
            char cell[64];
            std::snprintf(cell, sizeof cell, "%.1f/%.1f/%.0f", f.bestMs, f.worstMs, f.gapMs);
            std::printf(" %22s", cell);
            longestGap[n] = std::max(longestGap[n], f.gapMs);
            faults = f.faults;
        }
        std::printf(" %8ld\n", faults);
    }
    std::printf("%-28s", "longest main-timer gap");
    for (int n : sizes())
        std::printf(" %22.0f", longestGap[n]);
    std::printf("\n(playing; best and worst of %d rounds of how long the command held the event loop, the\n"
                " longest interval between two 50 ms main-timer ticks across it, and the most fresh memory\n"
                " pages it touched in one run at the largest size)\n",
                kRounds);
}

// Plain numbers among the arguments are the row counts to run, in place of the default ones.
void takeSizes(int& argc, char** argv)
{
    std::vector<int> given;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        char* end = nullptr;
        const long n = std::strtol(argv[i], &end, 10);
        if (end != argv[i] && *end == '\0' && n > 0 && n <= 10'000'000)
            given.push_back(static_cast<int>(n));
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    if (!given.empty())
        sizes() = given;
}

}  // namespace

int main(int argc, char** argv)
{
    // The offscreen platform's note on every shown window would drown the figures.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (!text.contains(QLatin1String("propagateSizeHints")))
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
    });
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const testrun::IsolatedRun run("qvbench");
    takeSizes(argc, argv);
    QApplication app(argc, argv);
    registerAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printTable();
    return 0;
}
