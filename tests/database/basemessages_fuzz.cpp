// Fuzz target: the database program as the player's hidden search server, fed the frames another
// program could send it (hello, queries on any field, show, hide, quit), with the query slot of
// the shared area filled from the same input. A window that quit is replaced for the next input.
#include "tests/common/fuzzapp.h"

#include "database/basemainwindow.h"
#include "database/dfsfile.h"
#include "database/searcharea.h"
#include "platform/messageids.h"
#include "platform/sharedmemory.h"

#include <cstring>
#include <memory>

namespace {

// The player's main window as the server talks to it: alive to every ping, taking the answers.
class PlayerStandIn : public platform::MessageWindow {
public:
    PlayerStandIn() : MessageWindow("TForm1", "player stand-in") {}

protected:
    platform::LResult windowProc(std::uint32_t msg, platform::WParam, platform::LParam) override
    {
        return msg == platform::UM_PING ? database::kPlayerAlive : 0;
    }
};

struct Server {
    Server()
    {
        std::vector<std::unique_ptr<media::TTrackRecord>> rows;
        std::vector<media::TTrackRecord*> ptrs;
        for (int i = 0; i < 50; ++i) {
            auto r = std::make_unique<media::TTrackRecord>();
            r->Artist.assign(i % 2 ? "\xca\xe8\xed\xee" : "Band");  // "Кино" in code page 1251
            r->Title.assign("Song " + std::to_string(i));
            r->FileName.assign("/music/" + std::to_string(i) + ".mp3");
            r->Duration = 1000 * i;
            ptrs.push_back(r.get());
            rows.push_back(std::move(r));
        }
        database::writeDfsFile(basePath(), ptrs, nullptr);
        area.open(database::kSearchAreaName, database::kSearchAreaBytes);
    }
    static std::string basePath() { return fuzzing::programFolder() + "/Base.dfs"; }
    database::TBase_main_window& window()
    {
        if (!m_window || m_finished) {
            m_window.reset();
            m_finished = false;
            m_window = std::make_unique<database::TBase_main_window>(
                std::vector<std::string>{"hidden", std::to_string(player.handle()), basePath()});
            QObject::connect(m_window.get(), &database::TBase_main_window::finished, [this] { m_finished = true; });
        }
        return *m_window;
    }
    PlayerStandIn player;
    platform::SharedMemory area;

private:
    std::unique_ptr<database::TBase_main_window> m_window;
    bool m_finished = false;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzing::startApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Server* server = new Server;  // lives for the run
    database::TBase_main_window& window = server->window();
    fuzzing::recordedMessages().clear();
    fuzzing::paintFor(window, size);
    fuzzing::InputReader in(data, size);
    const std::string slot0 = in.text(database::kSearchSlotBytes);
    if (server->area.isOpen())
        std::memcpy(server->area.data(), slot0.data(), slot0.size());
    fuzzing::deliverFrames(in.rest(), window.handle());
    return 0;
}
