// TForm1's playlist generator (started once, greeted, left alone while it answers) and the
// playlists other programs hand over into the Main list.
#include "player/form1.h"

#include "controls/vqlistview.h"
#include "platform/messageids.h"
#include "platform/programfolder.h"
#include "platform/usermessages.h"
#include "player/link/handoverlist.h"

#include <chrono>
#include <filesystem>

namespace player {

namespace {

// The generator answers at once; one that stays silent this long hangs. The wait holds the
// player's thread (and its main timer), so it is kept short.
constexpr std::chrono::milliseconds kGeneratorTimeout{2000};

}  // namespace

void TForm1::startgenClick()
{
    platform::WindowHandle hung = 0;
    if (GeneratorWindow != 0) {
        platform::LResult answer = 0;
        const platform::SendStatus status =
            platform::sendMessageEx(GeneratorWindow, platform::UM_PING, 0, 0, &answer, kGeneratorTimeout);
        if (status == platform::SendStatus::Answered && answer == kGeneratorPingAnswer)
            return;
        // A hung generator is still registered: the new one must be told apart from it.
        if (status == platform::SendStatus::TimedOut)
            hung = GeneratorWindow;
    }
    GeneratorWindow = 0;
    // No short names here: the generator gets the full path, or nothing when the file is missing.
    std::error_code ec;
    const std::string base = std::filesystem::is_regular_file(DefBase, ec) ? DefBase : std::string();
    const bool started = LaunchProgram && LaunchProgram(kGeneratorProgram, {base});
    if (started)
        GeneratorWindow = WaitForWindow(kGeneratorWindowClass, {}, kWindowWaitLimit, hung);
    if (GeneratorWindow == 0) {
        platform::messageBox(Messages[0].toStdString(), "XXX", platform::MB_OK | platform::MB_ICONERROR);
        return;
    }
    platform::LResult ignored = 0;
    platform::sendMessageEx(GeneratorWindow, platform::UM_SEARCH_HELLO, handle(), kHelloGenerator, &ignored,
                            kGeneratorTimeout);
}

void TForm1::WMLoadTempList(platform::WParam which)
{
    if (which != kTempListStack && which != kTempListBase)
        return;
    // After the lists the operator is reading: what is handed over comes after their rows.
    Reads->finish();
    const std::string path = platform::programPath(which == kTempListStack ? kStackListFile : kBaseListFile);
    std::optional<std::vector<controls::TVirtualItem>> rows = ReadHandOverRows(path, kHandOverRecords);
    // A generator list replaces the Main list only when one was read: a missing or broken file
    // must not empty the list on air.
    if (!rows || (which == kTempListStack && rows->empty()))
        return;
    if (which == kTempListStack) {
        // The deck keeps playing; only the marks go with the old rows.
        LVMaster->selectionModel()->clearSelection();
        LVMaster->clearRows();
    }
    for (controls::TVirtualItem& row : *rows)
        LVMaster->Rows.push_back(std::move(row));
    LVMaster->syncView();
    RenumberList();
}

}  // namespace player
