// Fuzz target: the player's main window fed the frames another program could send it (ping,
// search answers, hand-over lists, command-line hand-overs, deck ends, tray clicks), with the
// shared areas and the exchange lists those messages read filled from the same input.
#include "tests/common/fuzzapp.h"

#include "media/records.h"
#include "platform/messageids.h"
#include "platform/sharedmemory.h"
#include "player/commandlinearea.h"
#include "player/form1.h"
#include "player/link/linkprograms.h"
#include "player/link/searcharea.h"

#include <cstring>
#include <memory>

namespace {

// The search server's window as the player expects to find it after starting the database program.
class ServerStandIn : public platform::MessageWindow {
public:
    explicit ServerStandIn(platform::WindowHandle player)
        : MessageWindow(std::string(player::kServerWindowClass),
                        std::string(player::kServerCaptionPrefix) + std::to_string(player))
    {
    }

protected:
    platform::LResult windowProc(std::uint32_t, platform::WParam, platform::LParam) override { return 0; }
};

struct Player {
    Player()
    {
        fuzzing::writeProgramFile("system.ini", "[Device]\nMainDev=0\n");
        form = std::make_unique<player::TForm1>();
        server = std::make_unique<ServerStandIn>(form->handle());
        form->LaunchProgram = [](std::string_view, const std::vector<std::string>&) { return true; };
        commandLine.open(player::kCommandLineAreaName, player::kCommandLineAreaSize);
        form->CommandLineArea = &commandLine;
        form->Ini.ShellExt = false;
        form->FormCreate();
        form->show();
        QCoreApplication::processEvents();
    }
    platform::SharedMemory commandLine;
    std::unique_ptr<player::TForm1> form;
    std::unique_ptr<ServerStandIn> server;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzing::startApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Player* p = new Player;  // lives for the run: a window per input would take most of it
    fuzzing::recordedMessages().clear();
    fuzzing::paintFor(*p->form, size);
    fuzzing::InputReader in(data, size);
    const std::string first = in.text(600);
    const std::string second = in.text(600);
    fuzzing::writeProgramFile(std::string(player::kBaseListFile), in.text(4096));
    fuzzing::writeProgramFile(std::string(player::kStackListFile), in.text(4096));
    const std::string results = in.text(4 * sizeof(media::TTrackRecord));

    std::memset(p->commandLine.data(), 0, p->commandLine.size());
    std::memcpy(p->commandLine.data(), first.data(), std::min(first.size(), p->commandLine.size()));
    if (second.size() <= p->commandLine.size() - player::kSecondArgOffset)
        std::memcpy(static_cast<char*>(p->commandLine.data()) + player::kSecondArgOffset, second.data(), second.size());
    if (p->form->SharedArea && p->form->SharedArea->size() > sizeof(media::TTrackRecord) + results.size())
        std::memcpy(static_cast<char*>(p->form->SharedArea->data()) + sizeof(media::TTrackRecord), results.data(),
                    results.size());

    fuzzing::deliverFrames(in.rest(), p->form->handle());
    // Each input starts from empty lists, so the run does not slow down as rows pile up.
    for (controls::TVqListView* list : {p->form->LVMaster, p->form->LVSlave})
        list->ClearRows();
    return 0;
}
