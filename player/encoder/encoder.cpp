// TForm1's encode command: the selected files of the current playlist, one after the other,
// through the outside encoder, with the settings dialog first when the profile asks for it.
#include "player/form1.h"

#include "platform/programfolder.h"
#include "platform/usermessages.h"
#include "player/encoder/encodablerows.h"
#include "player/encoder/progfrm.h"

#include <QProgressBar>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace player {

void TForm1::N52Click()
{
    if (Encoder.ShowParam && !ShowSettingsDialog(true))
        return;
    std::vector<int> rows = CurrentList->selectedRows();
    std::sort(rows.begin(), rows.end());
    const std::vector<std::string> files = EncodableFiles(*CurrentList, rows);
    if (files.empty())
        return;

    auto* window = new TProgFrm(this);
    window->Program = EncoderProgram;
    window->Total = static_cast<int>(files.size());
    std::vector<std::string> unfinished;
    for (std::size_t i = 0; i < files.size(); ++i) {
        window->Finished = 0;
        window->ProgressBar1->setMaximum(10);
        window->ProgressBar1->setValue(0);
        window->AbortRequested = false;
        window->Number = static_cast<int>(i) + 1;
        window->Command = Encoder.Command;
        window->OutFolder = platform::programPath(Encoder.OutDir);
        window->PresetName = Encoder.PresetName;
        window->Extension = Encoder.Ext;
        window->Source = files[i];
        if (!window->StartEncoder()) {
            const std::string program = platform::executablePath(EncoderProgram);
            // The usual causes: the program is missing or may not be run.
            const std::string why =
                ::access(program.c_str(), X_OK) != 0 ? std::strerror(errno) : Texts.Text(PlayerText::StartFailed);
            platform::messageBox(Texts.Text(PlayerText::EncoderNotStarted, {program, why}), "Quorvalen",
                                 platform::MB_OK | platform::MB_ICONERROR);
            break;
        }
        window->exec();
        if (window->EndedWithoutReport)
            unfinished.push_back(files[i] + " (" + EncoderExitText(window->ExitCode, Texts) + ")");
        if (window->AbortRequested)
            break;
    }
    delete window;
    if (!unfinished.empty()) {
        std::string text = Texts.Text(PlayerText::EncoderUnfinished);
        for (const std::string& file : unfinished)
            text += "\r\n" + file;
        platform::messageBox(text, "Quorvalen", platform::MB_OK | platform::MB_ICONWARNING);
    }
}

}  // namespace player
