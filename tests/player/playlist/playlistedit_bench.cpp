// Every playlist command on the real main window (offscreen) at 1,000, 10,000 and 50,000 rows,
// the growth from one size to the next, and the longest stop of the main timer that each command
// causes while a track plays, with the fresh memory pages it touched (on a virtual machine each
// page fault can cost tens of microseconds: a list copied into new memory shows there).
#include "editharness.h"

#include "player/sequencing/sequencingplayback.h"

#include "tests/common/isolatedrun.h"

#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include <sys/resource.h>

namespace {

using edittest::EditWindow;
using edittest::Operation;

std::map<std::string, std::map<int, double>>& timings()
{
    static std::map<std::string, std::map<int, double>> t;
    return t;
}

std::map<std::string, double>& tickGaps()
{
    static std::map<std::string, double> g;
    return g;
}

// How long each command held the event loop while the track played: the first time in the
// session (every undo level and the clipboard still to be made) and the longest time after.
std::map<std::string, double>& blocks()
{
    static std::map<std::string, double> b;
    return b;
}

std::map<std::string, double>& laterBlocks()
{
    static std::map<std::string, double> b;
    return b;
}

// The page faults each command took while the track played.
std::map<std::string, long>& faults()
{
    static std::map<std::string, long> f;
    return f;
}

long minorFaults()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// Times op once per iteration; the best run goes to the growth table.
void timeIterations(benchmark::State& state, EditWindow& w, const Operation& op)
{
    double best = 1e9;
    for (auto _ : state) {
        const double s = edittest::timeOperation(w, op, 1);
        state.SetIterationTime(s);
        best = std::min(best, s);
    }
    timings()[op.name][w.n] = best;
}

void ListCommand(benchmark::State& state, const Operation* op)
{
    EditWindow w(static_cast<int>(state.range(0)));
    timeIterations(state, w, *op);
}

// The transport commands with every row selected, on a list that really plays.
const std::vector<Operation>& transportOperations()
{
    static const std::vector<Operation> ops = {
        {"next_all_selected", [](EditWindow& w) { w.form->N37Click(); }, [](EditWindow& w) { w.form->aNextTrack(); }},
        {"play_all_selected", [](EditWindow& w) { w.form->N37Click(); }, [](EditWindow& w) { w.form->aPlay(); }},
    };
    return ops;
}

void TransportCommand(benchmark::State& state, const Operation* op)
{
    EditWindow w(static_cast<int>(state.range(0)), true);
    w.list().selectRows({0});
    w.form->aPlay();
    timeIterations(state, w, *op);
}

// While a track plays: the longest interval between two main-timer ticks across each command.
void EditsWhilePlaying(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    EditWindow w(n, true);
    w.list().selectRows({0});
    w.form->aPlay();
    using clock = std::chrono::steady_clock;
    clock::time_point lastTick = clock::now();
    int ticks = 0;
    QObject::connect(w.form->maintimer, &QTimer::timeout, [&] {
        lastTick = clock::now();
        ++ticks;
    });
    auto waitTick = [&] {
        const int seen = ticks;
        while (ticks == seen)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    };
    double worst = 0;
    bool first = true;
    for (auto _ : state) {
        for (const Operation& op : edittest::operations()) {
            op.prepare(w);
            if (w.list().HLIndex < 0 || w.form->OnAirDeck() == nullptr) {
                w.list().selectRows({0});
                w.form->aPlay();
            }
            waitTick();
            const clock::time_point before = lastTick;
            const long faults0 = minorFaults();
            const clock::time_point t0 = clock::now();
            op.run(w);
            EditWindow::settle();
            const clock::time_point t1 = clock::now();
            faults()[op.name] = std::max(faults()[op.name], minorFaults() - faults0);
            waitTick();
            const double gap = std::chrono::duration<double, std::milli>(lastTick - before).count();
            double& held = (first ? blocks() : laterBlocks())[op.name];
            held = std::max(held, std::chrono::duration<double, std::milli>(t1 - t0).count());
            if (std::getenv("QV_BENCH_VERBOSE"))
                std::fprintf(stderr, "%s: since tick %.1f run %.1f gap %.1f faults %ld\n", op.name,
                             std::chrono::duration<double, std::milli>(t0 - before).count(),
                             std::chrono::duration<double, std::milli>(t1 - t0).count(), gap, faults()[op.name]);
            tickGaps()[op.name] = std::max(tickGaps()[op.name], gap);
            worst = std::max(worst, gap);
        }
        first = false;
    }
    state.counters["max_tick_gap_ms"] = worst;
}

void registerAll()
{
    for (const Operation& op : edittest::operations())
        benchmark::RegisterBenchmark(("List/" + std::string(op.name)).c_str(), ListCommand, &op)
            ->Arg(1000)->Arg(10000)->Arg(50000)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
    for (const Operation& op : transportOperations())
        benchmark::RegisterBenchmark(("Transport/" + std::string(op.name)).c_str(), TransportCommand, &op)
            ->Arg(1000)->Arg(10000)->Arg(50000)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("EditsWhilePlaying", EditsWhilePlaying)->Arg(50000)->Iterations(3)->Unit(benchmark::kMillisecond);
}

void printGrowth()
{
    for (const auto& [name, gap] : tickGaps())
        timings()[name];  // a row also for commands only timed while playing
    std::printf("\n%-30s %10s %10s %10s %9s %9s %16s %8s\n", "command (best of 5)", "1k ms", "10k ms", "50k ms", "10k/1k",
                "50k/10k", "held/later/gap ms", "faults");
    for (const auto& [name, bySize] : timings()) {
        auto at = [&bySize](int n) {
            const auto it = bySize.find(n);
            return it == bySize.end() ? 0.0 : it->second * 1000.0;
        };
        const double a = at(1000), b = at(10000), c = at(50000);
        const auto gap = tickGaps().find(name);
        const std::string playing = gap == tickGaps().end()
                                        ? "-"
                                        : std::to_string(static_cast<int>(blocks()[name])) + "/" +
                                              std::to_string(static_cast<int>(laterBlocks()[name])) + "/" +
                                              std::to_string(static_cast<int>(gap->second));
        const auto pages = faults().find(name);
        const std::string faulted = pages == faults().end() ? "-" : std::to_string(pages->second);
        std::printf("%-30s %10.2f %10.2f %10.2f %9.1f %9.1f %16s %8s\n", name.c_str(), a, b, c, a > 0 ? b / a : 0.0,
                    b > 0 ? c / b : 0.0, playing.c_str(), faulted.c_str());
    }
    std::printf("(held/later/gap: at 50k rows with a track playing, how long the command held the event loop the\n"
                " first time in the session and at worst in two rounds after, and the longest interval between two\n"
                " 50 ms main-timer ticks across it; faults: the most fresh memory pages it touched in one run)\n");
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
    QApplication app(argc, argv);
    registerAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printGrowth();
    return 0;
}
