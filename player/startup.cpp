// TForm1's life: creation (decks, tray icon, tag readers), the first showing (default profile,
// command line), the hand-over from a second start, closing or minimising, Exit and session end.
#include "player/form1.h"

#include "engine/audioengine.h"
#include "engine/enginesettings.h"
#include "media/shellfiletypes.h"
#include "media/tag.h"
#include "platform/direntries.h"
#include "platform/inifile.h"
#include "platform/usermessages.h"
#include "platform/messageids.h"
#include "platform/programfolder.h"
#include "platform/registry.h"
#include "platform/savefile.h"
#include "platform/sharedmemory.h"
#include "platform/taskbarbutton.h"
#include "platform/pathtext.h"
#include "player/about/dbgfrm.h"
#include "player/commandlinearea.h"
#include "player/icons.h"
#include "player/emblem.h"
#include "player/monitor/rearplay.h"
#include "player/notes/notesfrm.h"
#include "player/sequencing/crossfade.h"
#include "player/sequencing/formsequencer.h"
#include "player/sequencing/maintimer.h"
#include "player/sequencing/sequencingdeck.h"
#include "player/sequencing/sequencingplayback.h"
#include "player/playlist/playlistfile.h"
#include "player/playlist/playlistrows.h"
#include "player/reporterror.h"
#include "player/unattended.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolButton>

#include <filesystem>

namespace player {

namespace {

// What saves cut short (a crash, a power cut, a kill) left in the folders the player saves into.
void removeLeftoverSaves()
{
    std::vector<std::string> folders{platform::programFolder(), platform::programPath("Profile"),
                                     platform::programPath("Txt"), platform::programPath("Temp"),
                                     platform::programPath("Presets"),
                                     std::filesystem::path(platform::Registry::storePath()).parent_path().string()};
    std::vector<platform::DirEntry> presets;
    if (platform::readDirectory(platform::programPath("Presets"), presets))
        for (const platform::DirEntry& e : presets)
            if (e.attributes & platform::kAttrDirectory)
                folders.push_back(platform::programPath("Presets/" + e.name));
    for (const std::string& folder : folders)
        platform::removeStaleSaveFiles(folder);
}

}  // namespace

void TForm1::FormCreate()
{
    removeLeftoverSaves();
    setWindowTitle(QStringLiteral("Quorvalen"));
    setAcceptDrops(true);
    StartTime = TickCount();
    Random.seed(std::random_device{}());

    engine::LoadEngineSettings();
    const engine::EngineSettings& settings = engine::engineSettings();
    LangDir = settings.LangDir;
    LoadTexts();
    Comment = Ini.Comment;

    DeckA = std::make_unique<engine::TAudioEngine>(handle());
    DeckB = std::make_unique<engine::TAudioEngine>(handle());
    LineInDeck = std::make_unique<engine::TAudioEngine>(handle());
    for (engine::TAudioEngine* deck : {DeckA.get(), DeckB.get(), LineInDeck.get()})
        deck->Device = settings.MainDev;
    InitMainDevice();
    DeckA->SilenceThreshold = Ini.Threshold;
    DeckB->SilenceThreshold = Ini.Threshold;
    LineInDeck->SilenceThreshold = DeckA->SilenceThreshold;
    MicBtn->setEnabled(settings.UseLineIn);

    // A desktop without a tray must not fail the start: the window keeps its own task-bar entry.
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        TrayIcon = new QSystemTrayIcon(QIcon(MainIcon()), this);
        TrayIcon->setObjectName(QStringLiteral("TrayIcon"));
        TrayIcon->setToolTip(QStringLiteral("Quorvalen"));
        TrayIcon->setContextMenu(TrayMenu);
        connect(TrayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
            if (r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::DoubleClick)
                windowProc(platform::UM_TRAY_NOTIFY, 0, 513);
        });
        TrayIcon->show();
    }

    Readers = std::make_unique<TagReaders>();
    CreateSequencer();
    // The silence cut holds from the start, before any profile has been read.
    SetCutSilence(CutSilence);
    SoundCreate();
    if (Ini.ShellExt)
        RegisterShellTypes();
    MetersCreate();
}

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Before the window is mapped: a hidden window lost its state with its last hiding.
    ApplicationEvents1Restore();
    if (!m_shown)
        FormShow();
}

void TForm1::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isVisible())
        ApplicationEvents1Restore();
}

void TForm1::ApplicationEvents1Restore()
{
    // A desktop without a tray keeps the button: it is the only way back to a minimised window.
    platform::setTaskbarButtonHidden(this, TrayIcon != nullptr && TrayIcon->isVisible());
}

void TForm1::FormShow()
{
    if (m_shown)
        return;
    const std::string version = media::GetFileVersionString(QCoreApplication::applicationFilePath().toStdString());
    WindowTitle = QStringLiteral("%1 (%2)").arg(windowTitle(), QString::fromStdString(version.empty() ? QV_VERSION : version));
    setWindowTitle(WindowTitle);

    CurrentList = LVMaster;
    PendingInsertIndex = -1;
    LVMaster->DragInsideList = true;
    LVSlave->DragInsideList = true;
    LVFindResult->DragInsideList = false;
    LVMaster->HighlightColor = LVMaster->palette().color(QPalette::Text);

    SoundShow();
    FillProfileMenu();
    LoadProfile(platform::programPath("Profile/Default.prf"));
    InitMonitorDevice();

    LoadLanguage();
    ListsReady = true;
    RenumberList();
    UpdateCaption();
    m_shown = true;

    HandleCommandLine(CommandLine[0], CommandLine[1]);
    for (const auto& [a, b] : std::exchange(m_pendingCommands, {}))
        HandleHandOver(a, b);
    // The keyboard starts on the Main list, so the hot keys answer from the first moment (the
    // folder tree took the focus when the profile moved it to its folder).
    CurrentList->setFocus();
}

void TForm1::HandleCommandLine(const std::string& first, const std::string& second)
{
    if (first != "file" && first != "list")
        return;
    controls::TVqListView* previous = CurrentList;
    CurrentList = LVMaster;
    // The argument's bytes as the file system has them.
    const QString path = platform::pathToQString(second);
    if (first == "file") {
        PendingInsertIndex = -1;
        AddFile(path);
        RenumberList();
        LVMaster->selectRows({LVMaster->rowCount() - 1});
        aPlay();
    } else {
        // A handed-over playlist is appended to the Main list, so nothing already there is lost;
        // when nothing is on air its first row starts, as a file handed over does.
        const int firstNew = LVMaster->rowCount();
        std::string why;
        if (auto rows = ReadPlaylistFile(second, PlaylistEntries::All, &why)) {
            for (TVirtualItem& row : *rows)
                LVMaster->Rows.push_back(std::move(row));
            LVMaster->syncView();
        } else {
            ReportUnreadHandOver(path, why);
        }
        RenumberList();
        if (LVMaster->HLIndex < 0 && firstNew < LVMaster->rowCount()) {
            LVMaster->selectRows({firstNew});
            aPlay();
        }
    }
    CurrentList = previous;
    RenumberList();
}

namespace {

QString unreadText(const PlayerTexts& texts, PlayerText text, const QString& path, const std::string& why)
{
    const QString said = QString::fromStdString(texts.Text(text, {path.toStdString()}));
    if (why.empty())
        return said;
    return said + QStringLiteral(" (") + QString::fromStdString(why) + QLatin1Char(')');
}

}  // namespace

void TForm1::ReportUnreadFile(PlayerText text, const QString& path, const std::string& why)
{
    // Queued: shown from the message loop, after whatever the start still writes into the panel,
    // all of them in one text (the panel shows one).
    if (UnreadFiles.isEmpty())
        QTimer::singleShot(0, this, [this] { ShowFailure(std::exchange(UnreadFiles, {}).join(QStringLiteral("; "))); });
    UnreadFiles.append(unreadText(Texts, text, path, why));
}

void TForm1::ReportUnreadHandOver(const QString& path, const std::string& why)
{
    ShowFailure(unreadText(Texts, PlayerText::PlaylistUnread, path, why));
    if (OnAir())
        return;
    // After the hand-over's own message has been answered: the second start is not kept waiting.
    QTimer::singleShot(0, this, [path] { ReportAudioError(-1, path.toStdString(), "LoadPlaylist"); });
}

std::pair<std::string, std::string> ReadCommandLineArea(const platform::SharedMemory* area)
{
    if (area == nullptr || !area->isOpen())
        return {};
    return ReadCommandLineArea(area->data(), area->size());
}

void TForm1::WMCommandLine()
{
    windowProc(platform::UM_TRAY_NOTIFY, 0, 513);
    const auto [first, second] = ReadCommandLineArea(CommandLineArea);
    HandleHandOver(first, second);
}

void TForm1::HandleHandOver(const std::string& first, const std::string& second)
{
    // After the lists the operator is reading: a hand-over appends to what they leave.
    Reads->finish();
    if (ArgumentWasCut(second) && (first == "file" || first == "list")) {
        // What is left of the path names another file, or the folder above it.
        const QString shown = platform::pathToQString(second) + QStringLiteral("…");
        ShowFailure(QString::fromStdString(
            Texts.Text(PlayerText::PathTooLong, {std::to_string(kMaxArgBytes), shown.toStdString()})));
        return;
    }
    HandleCommandLine(first, second);
}

void TForm1::N20Click()
{
    ExitFlag = true;
    close();
}

void TForm1::WMQueryEndSession()
{
    N20Click();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (!CloseAllowed && !ExitFlag) {
        event->ignore();
        showMinimized();
        return;
    }
    // Nobody may be there to click a box now (a shutdown, a service manager): what fails on the
    // way out is logged, and the player ends.
    const ShutdownMessages logged;
    // A list the operator opened just before is put in, so the profile saved below keeps it.
    Reads->finish();
    if (TrayIcon) {
        TrayIcon->hide();
        delete TrayIcon;
        TrayIcon = nullptr;
    }
    if (maintimer)
        maintimer->stop();
    if (pointtimer)
        pointtimer->stop();
    if (DbgFrm)
        DbgFrm->close();
    if (RearPlay)
        RearPlay->close();
    // Notes typed for the track now shown are kept.
    if (NotesFrm)
        NotesFrm->SaveNotes();
    if (Sequencer)
        Sequencer->fadeOut().abort();
    CurrentList = LVMaster;
    // A window closed before its first showing had loaded the profile would save an empty state
    // over it.
    if (m_shown)
        SaveProfile(platform::programPath("Profile/Default.prf"));
    CloseJingleWindows();
    if (DeckA)
        DeckA->Stop();
    if (DeckB)
        DeckB->Stop();
    event->accept();
    // The window stays registered only while it can answer.
    unregisterWindow();
}

void TForm1::FormDestroy()
{
    CloseJingleWindows();  // their decks share the device the decks free below
    // The monitor's deck goes before the decks that own the output device.
    delete RearPlay.data();
    SoundDestroy();
    StopSearchServer();
    DestroySequencer();
    if (DeckA)
        DeckA->Destroy();
    DeckA.reset();
    DeckB.reset();
    Readers.reset();
}

}  // namespace player
