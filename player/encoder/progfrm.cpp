// The encoding progress window and its reports.
#include "player/encoder/progfrm.h"

#include "platform/messageids.h"
#include "player/language/playertexts.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <cstring>

namespace player {

namespace {

constexpr int kDefaultMaximum = 10;

}  // namespace

std::vector<std::string> EncoderArguments(platform::WindowHandle window, const std::string& source,
                                          const std::string& outputFolder, const std::string& extension,
                                          const std::string& command)
{
    return {std::to_string(window), source, outputFolder, extension, "plugins\\" + command};
}

std::string EncoderExitText(int exitCode, const PlayerTexts& texts)
{
    if (exitCode >= 0)
        return texts.Text(PlayerText::ExitStatus, {std::to_string(exitCode)});
    return texts.Text(PlayerText::ExitSignal, {std::to_string(-exitCode), ::strsignal(-exitCode)});
}

TProgFrm::TProgFrm(QWidget* owner) : QDialog(owner), platform::MessageWindow("TProgFrm", "Encoding files...")
{
    setObjectName(QStringLiteral("ProgFrm"));
    setWindowTitle(QStringLiteral("Encoding files..."));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, kDefaultMaximum);
    ProgressBar1->setMinimumWidth(320);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label2);
    layout->addWidget(ProgressBar1);
    setFixedSize(sizeHint());
}

void TProgFrm::UpdateProgressCaption()
{
    QString caption = QStringLiteral("Encoding file %1 of %2...").arg(Number).arg(Total);
    if (AbortRequested)
        caption += QStringLiteral(" [terminating]");
    setWindowTitle(caption);
}

bool TProgFrm::StartEncoder()
{
    UpdateProgressCaption();
    Label2->setText(QString::fromStdString(PresetName));
    StartFailed = false;
    EndedWithoutReport = false;
    ExitCode = 0;
    auto process = std::make_unique<platform::WatchedProcess>();
    const platform::WatchedProcess* started = process.get();
    const bool ok = process->start(Program, EncoderArguments(handle(), Source, OutFolder, Extension, Command),
                                   [this, started](int exitCode) { encoderEnded(started, exitCode); });
    m_process = std::move(process);
    StartFailed = !ok;
    return ok;
}

void TProgFrm::encoderEnded(const platform::WatchedProcess* process, int exitCode)
{
    // An encoder of an earlier file ending after its report is of no concern.
    if (process != m_process.get() || Finished == 1)
        return;
    EndedWithoutReport = true;
    ExitCode = exitCode;
    Finished = 1;
    QDialog::done(QDialog::Rejected);
}

platform::LResult TProgFrm::WMEncoderProgress(platform::WParam wParam, platform::LParam lParam)
{
    emit reported(wParam, lParam);
    switch (wParam) {
    case 0:
        ProgressBar1->setMaximum(static_cast<int>(std::clamp<platform::LParam>(lParam, 0, INT32_MAX)));
        return 0;
    case 1:
        ProgressBar1->setValue(
            static_cast<int>(std::clamp<platform::LParam>(lParam, ProgressBar1->minimum(), ProgressBar1->maximum())));
        return AbortRequested ? 1 : 0;
    case 2:
        if (Finished != 1) {
            Finished = 1;
            QDialog::done(QDialog::Accepted);
        }
        return 0;
    default:
        return 0;
    }
}

platform::LResult TProgFrm::windowProc(std::uint32_t msg, platform::WParam wParam, platform::LParam lParam)
{
    if (msg == platform::UM_ENCODER_PROGRESS)
        return WMEncoderProgress(wParam, lParam);
    return 0;
}

void TProgFrm::reject()
{
    FormClose();
}

void TProgFrm::FormClose()
{
    if (Finished == 1) {
        QDialog::reject();
        return;
    }
    // The encoder asked to stop once and still running: it does not listen, so it is ended. Its
    // end then closes the window and, the abort being asked, ends the run.
    if (AbortRequested && m_process)
        m_process->terminate();
    AbortRequested = true;
    UpdateProgressCaption();
}

}  // namespace player
