// TProgFrm "Encoding files...": the progress window of an encoding run. It starts the encoder for
// one file at a time and follows its reports (UM_ENCODER_PROGRESS, sent to this window's handle);
// shown modally per file, it closes when the encoder reports the end, or when the encoder ends
// without that report.
#pragma once

#include "platform/process.h"
#include "platform/window.h"

#include <QDialog>

#include <memory>
#include <string>
#include <vector>

class QLabel;
class QProgressBar;

namespace player {

class PlayerTexts;

// The encoder's command line after its program: the window, the source, the output folder, the
// extension (as it is) and "plugins\" + the command.
std::vector<std::string> EncoderArguments(platform::WindowHandle window, const std::string& source,
                                          const std::string& outputFolder, const std::string& extension,
                                          const std::string& command);

// How an encoder ended, for the operator in the language of texts: "exit status 3", "signal 9
// (Killed)".
std::string EncoderExitText(int exitCode, const PlayerTexts& texts);

class TProgFrm : public QDialog, public platform::MessageWindow {
    Q_OBJECT
public:
    explicit TProgFrm(QWidget* owner);

    QLabel* Label2;  // the preset's name
    QProgressBar* ProgressBar1;

    std::string Program = "encoder";
    std::string Source;
    std::string Command;  // "plugins\" + the profile's Command
    std::string OutFolder;
    std::string Extension;
    std::string PresetName;
    bool AbortRequested = false;
    int Number = 0;
    int Total = 0;
    int Finished = 0;
    // How the last file ended besides its report: not started, or ended without the report, and
    // then with which exit status (minus the signal that ended it).
    bool StartFailed = false;
    bool EndedWithoutReport = false;
    int ExitCode = 0;

    // Starts the encoder for Source; false (StartFailed) when it could not be started.
    bool StartEncoder();
    void UpdateProgressCaption();
    platform::LResult WMEncoderProgress(platform::WParam wParam, platform::LParam lParam);
    // A close by the user: refused until the encoder has finished, asking it to stop instead; a
    // second close while it has not stopped ends it.
    void FormClose();
    // The encoder of the current file (tests end it from outside); nullptr before a start.
    const platform::WatchedProcess* encoderProcess() const { return m_process.get(); }

    void reject() override;

signals:
    // Every report, before it is handled.
    void reported(qint64 wParam, qint64 lParam);

protected:
    platform::LResult windowProc(std::uint32_t msg, platform::WParam wParam, platform::LParam lParam) override;

private:
    void encoderEnded(const platform::WatchedProcess* process, int exitCode);

    // The encoder of the current file. One of an earlier file may still be ending after its report;
    // it is reaped on its own and its end reaches nobody.
    std::unique_ptr<platform::WatchedProcess> m_process;
};

}  // namespace player
