// Keystroke to results shown in the search list, with the real database program as the server
// (two processes) over a 100,000-row base: a query that fills all 15,000 slots, and one that
// finds a handful. Beside them the parts no search can go below: the player showing results
// already in the area, and one message to the server and back.
#include "realprograms.h"

#include "audiolib/audiolib.h"
#include "platform/messageids.h"
#include "platform/objectnames.h"
#include "platform/recordedusermessages.h"
#include "player/form1.h"

#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>

#include "tests/common/isolatedrun.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

struct Session {
    QTemporaryDir dir;
    platform::RecordedUserMessages messages;
    linktest::RealLauncher programs;
    std::unique_ptr<player::TForm1> form;

    Session()
    {
        const std::string root = dir.path().toStdString();
        setenv("QUORVALEN_PROGRAM_DIR", root.c_str(), 1);
        std::filesystem::create_directories(root + "/Database");
        std::filesystem::create_directories(root + "/Profile");
        std::ofstream(root + "/system.ini") << "[Device]\nMainDev=0\n";
        std::ofstream(root + "/Profile/Default.prf") << "[Options]\nDefBase=Database/Base.dfs\n";
        linktest::writeBase(root + "/Database/Base.dfs", 100000);
        audiolib::initDevice(audiolib::kDeviceNoSound, 44100, 0, 0);
        platform::setUserMessages(&messages);
        form = std::make_unique<player::TForm1>();
        form->LaunchProgram = programs.launcher();
        form->show();  // the first showing loads the default profile, which starts the server
        form->PageControl1->setCurrentWidget(form->TabSheet2);
        // The start does not wait for the server's window to come up: this does.
        linktest::waitUntil([this] { return !form->ServerWatch.active(); }, 10000);
    }
    ~Session()
    {
        form.reset();
        for (const auto& [name, pid] : programs.started)
            linktest::endProcess(pid);
        platform::setUserMessages(nullptr);
        audiolib::freeDevice();
    }
    // One keystroke: the query, the nested answer, the list filled and painted.
    int keystroke(const QString& text)
    {
        form->edFindText->setText(text);
        form->LVFindResult->viewport()->repaint();
        return form->LVFindResult->rowCount();
    }
};

Session* g_session = nullptr;

void runQueries(benchmark::State& state, const QString& a, const QString& b)
{
    if (!g_session->form->ServerWindow) {
        state.SkipWithError("the database program did not start");
        return;
    }
    bool flip = false;
    int rows = 0;
    for (auto _ : state) {
        rows = g_session->keystroke(flip ? a : b);
        flip = !flip;
    }
    state.counters["results"] = rows;
}

void KeystrokeTo15000Results(benchmark::State& state)
{
    // "s" and "" both match every title ("Song N"): each fills all 15,000 slots.
    runQueries(state, QStringLiteral("s"), QString());
}
BENCHMARK(KeystrokeTo15000Results)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

void KeystrokeToAHandfulOfResults(benchmark::State& state)
{
    runQueries(state, QStringLiteral("song 4242"), QStringLiteral("song 7777"));
}
BENCHMARK(KeystrokeToAHandfulOfResults)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

// The player's own part: results already in the area read into the list and painted.
void FloorPlayerShowsResults(benchmark::State& state)
{
    if (!g_session->form->ServerWindow) {
        state.SkipWithError("the database program did not start");
        return;
    }
    const int wanted = static_cast<int>(state.range(0));
    g_session->keystroke(wanted > 100 ? QStringLiteral("s") : QStringLiteral("song 4242"));
    const int filled = g_session->form->LVFindResult->rowCount();
    for (auto _ : state) {
        g_session->form->WMSearchResult(static_cast<platform::WParam>(filled));
        g_session->form->LVFindResult->viewport()->repaint();
    }
    state.counters["results"] = filled;
}
BENCHMARK(FloorPlayerShowsResults)->Arg(15000)->Arg(11)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

// One message to the server and its answer (the server only hides its hidden window).
void FloorMessageToTheServer(benchmark::State& state)
{
    const platform::WindowHandle server = g_session->form->ServerWindow;
    if (!server) {
        state.SkipWithError("the database program did not start");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::sendMessage(server, platform::UM_BASE_HIDE, 0, 0));
}
BENCHMARK(FloorMessageToTheServer)->Unit(benchmark::kMicrosecond)->MinTime(2.0)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const testrun::IsolatedRun run("qvbench");
    int result = 0;
    {
        QApplication app(argc, argv);
        benchmark::Initialize(&argc, argv);
        Session session;
        g_session = &session;
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        g_session = nullptr;
    }
    platform::removeNamedObjects();
    return result;
}
