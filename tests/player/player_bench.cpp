// Start-up of the main window with a 10,000-row Main list, and a folder add of 10,000 MP3 files
// (tag reading and durations measured apart).
#include "playerfixtures.h"

#include "audiolib/audiolib.h"
#include "media/tag.h"
#include "player/fileinfo.h"
#include "player/playlist/folderscan.h"
#include "player/form1.h"
#include "platform/recordedusermessages.h"

#include <QApplication>

#include "tests/common/isolatedrun.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

void StartWith10000Rows(benchmark::State& state)
{
    playertest::ProgramFolder dir;
    setenv("QUORVALEN_PROGRAM_DIR", dir.path().c_str(), 1);
    dir.write("system.ini", "[Device]\nMainDev=0\n");
    std::filesystem::create_directories(dir.path() + "/Profile");
    std::string m3u = "#EXTM3U\r\n";
    for (int i = 0; i < 10000; ++i)
        m3u += "#EXTINF:215,Artist " + std::to_string(i) + " - Title\r\n/music/folder/" + std::to_string(i) + ".mp3\r\n";
    dir.write("Profile/Default.m3u", m3u);
    for (auto _ : state) {
        player::TForm1 form;
        form.LaunchProgram = dir.launcher();
        form.FormCreate();
        form.show();
        QApplication::processEvents();
        if (form.LVMaster->rowCount() != 10000)
            state.SkipWithError("rows not loaded");
    }
}
BENCHMARK(StartWith10000Rows)->Unit(benchmark::kMillisecond)->Iterations(3);

void AddFolderOf10000Mp3(benchmark::State& state)
{
    playertest::TempDir dir;
    const std::string one = dir.path() + "/one.mp3";
    const std::string cmd = "ffmpeg -loglevel error -y -f lavfi -i sine=frequency=440:duration=1 -c:a libmp3lame -b:a 64k '" + one + "'";
    if (std::system(cmd.c_str()) != 0) {
        state.SkipWithError("ffmpeg could not make the MP3");
        return;
    }
    std::filesystem::create_directories(dir.path() + "/f");
    for (int i = 0; i < 10000; ++i)
        std::filesystem::copy_file(one, dir.path() + "/f/" + std::to_string(i) + ".mp3");
    audiolib::initDevice(audiolib::kDeviceNoSound, 44100, 0, 0);
    setenv("QUORVALEN_PROGRAM_DIR", dir.path().c_str(), 1);
    for (auto _ : state) {
        using clock = std::chrono::steady_clock;
        const auto t0 = clock::now();
        std::vector<std::string> files;
        player::ScanFolder(dir.path() + "/f", files, {});
        player::TagReaders readers;
        media::TTagRecord tag{};
        std::string info;
        for (const std::string& f : files)
            player::ReadFileInfo(readers, f, tag, info);
        const auto t1 = clock::now();
        for (const std::string& f : files)
            benchmark::DoNotOptimize(media::GetFileDurationMs(f));
        const auto t2 = clock::now();
        player::TForm1 form;
        form.ListsReady = true;
        form.AddDir(QString::fromStdString(dir.path() + "/f/"));
        const auto t3 = clock::now();
        state.counters["scan_and_tag_s"] = std::chrono::duration<double>(t1 - t0).count();
        state.counters["durations_s"] = std::chrono::duration<double>(t2 - t1).count();
        state.counters["AddDir_s"] = std::chrono::duration<double>(t3 - t2).count();
    }
    audiolib::freeDevice();
}
BENCHMARK(AddFolderOf10000Mp3)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const testrun::IsolatedRun run("qvbench");
    QApplication app(argc, argv);
    // A box (a program that could not start, say) is recorded, never waited on.
    platform::RecordedUserMessages messages;
    platform::setUserMessages(&messages);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const auto& shown : messages.shown())
        std::fprintf(stderr, "box: %s\n", shown.text.c_str());
    platform::setUserMessages(nullptr);
    return 0;
}
