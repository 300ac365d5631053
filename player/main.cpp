// The player's entry point: the command-line area, "player.ini", the single-instance rule with
// the hand-over to a running player, the splash window, the main window, and the end of the
// session by signal.
#include "platform/exitsignal.h"
#include "platform/messageids.h"
#include "platform/namedmutex.h"
#include "platform/programfolder.h"
#include "platform/sharedmemory.h"
#include "platform/window.h"
#include "player/commandlinearea.h"
#include "player/form1.h"
#include "player/playerini.h"
#include "player/splash.h"
#include "player/unattended.h"

#include <QApplication>
#include <QSessionManager>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>

namespace {

// The running player's main window: the first window of this system whose caption contains
// "Quorvalen" and that is a player's main window (the database window's caption may hold the word
// as well).
platform::WindowHandle FindPlayerWindowProc()
{
    for (const platform::WindowInfo& w : platform::enumWindows())
        if (w.className == "TForm1" && w.caption.substr(0, 100).find("Quorvalen") != std::string::npos)
            return w.handle;
    return 0;
}

// Hands the two arguments to the running player; why it failed, or nothing when it was done.
// Several files opened at once start several processes: they take turns, and each waits up to
// about 5 s for the running window to appear.
std::optional<std::string> HandOver(platform::SharedMemory& area, const std::string& first, const std::string& second)
{
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + seconds(5);
    std::unique_ptr<platform::NamedMutex> turn;
    while (true) {
        turn = std::make_unique<platform::NamedMutex>("QuorvalenCommandLineHandOver");
        if (turn->owned() || !turn->valid() || steady_clock::now() >= deadline)
            break;
        turn.reset();
        std::this_thread::sleep_for(milliseconds(20));
    }
    if (!area.isOpen())
        return "нет области командной строки (" + area.lastError() + ")";
    platform::WindowHandle window = FindPlayerWindowProc();
    while (window == 0 && steady_clock::now() < deadline) {
        std::this_thread::sleep_for(milliseconds(20));
        window = FindPlayerWindowProc();
    }
    if (window == 0)
        return std::string("окно работающего плеера не найдено");
    player::WriteCommandLineArea(area.data(), area.size(), first, second);
    platform::LResult answer = 0;
    if (platform::sendMessageEx(window, platform::UM_COMMAND_LINE, 0, 0, &answer) != platform::SendStatus::Answered)
        return std::string("работающий плеер не ответил");
    // A player that could not make the area when it started has nothing to read this from.
    if (answer != player::kCommandLineTaken)
        return std::string("у работающего плеера нет области командной строки");
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string first = argc > 1 ? argv[1] : "";
    const std::string second = argc > 2 ? argv[2] : "";

    platform::SharedMemory area;
    area.open(player::kCommandLineAreaName, player::kCommandLineAreaSize);
    const player::PlayerIni ini = player::ReadPlayerIni(platform::programPath("player.ini"));

    std::unique_ptr<platform::NamedMutex> single;
    if (ini.NoCopy) {
        single = std::make_unique<platform::NamedMutex>("уникальное_имя_для_твоей_проги");
        if (single->alreadyExisted()) {
            const std::optional<std::string> failed = HandOver(area, first, second);
            area.close();
            if (!failed)
                return 0;
            // Nothing is lost without a word: whoever started this learns it from the status too.
            std::fprintf(stderr, "player: передача в работающий плеер не удалась: %s\n", failed->c_str());
            return 1;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvalen"));
    // Before anything is written into the folder.
    if (!platform::programFolderUsable("player", "Quorvalen"))
        return 1;

    auto splash = std::make_unique<player::TSplashForm>();
    splash->show();
    QApplication::processEvents();

    auto form = std::make_unique<player::TForm1>();
    form->Ini = ini;
    form->CommandLineArea = &area;
    form->CommandLine = {first, second};

    // The end of the session (SIGTERM, SIGHUP, the session manager) runs Exit, which saves. Set up
    // before anything of the start can wait, so that a signal is never lost.
    bool endRequested = false;
    const platform::ExitOnSignal onSignal(player::kExitDeadline, player::PlayerLogPath(), "player", [&form, &endRequested] {
        endRequested = true;
        form->WMQueryEndSession();
        QApplication::quit();
    });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, form.get(),
                     [&form](QSessionManager&) { form->WMQueryEndSession(); });

    // Nobody may be there to click: what the start has to report waits until the window is up,
    // and the player comes up and plays whatever it can meanwhile.
    player::StartupMessages startup;
    form->FormCreate();
    form->CreateDbgFrm();
    form->CreateNotesFrm();
    splash->hide();
    splash.reset();
    form->show();
    startup.release();

    // An end asked for while the start was still running (a quit before the loop runs is lost).
    if (endRequested) {
        form.reset();
        return 0;
    }
    const int result = QApplication::exec();
    form.reset();
    return result;
}
