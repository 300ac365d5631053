// TBase_main_window: the database program's one main window. It owns the track base, shows it in
// an owner-data list and carries the commands for adding, saving, loading, searching, sorting and
// exporting; started hidden it is the player's search server. Registered as a platform window of
// class "TBase_main_window" so the player can find it.
#pragma once

#include "database/baseoptions.h"
#include "database/basetexts.h"
#include "database/commandline.h"
#include "database/dfsfile.h"
#include "database/folderscan.h"
#include "database/searcharea.h"
#include "database/trackbase.h"
#include "database/unseenboxes.h"
#include "platform/window.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>

class QDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;
class QToolButton;

namespace controls {
class TTBar;
class TVqPosSave;
}
namespace engine {
class TAudioEngine;
}

namespace database {

class TProgress_window;
class TStatThrd;
class TrackListModel;
class TVqStatusBar;

inline constexpr const char* kWindowClass = media::kDatabaseWindowClass.data();
inline constexpr const char* kAppTitle = "Base";

class TBase_main_window : public QMainWindow, public platform::MessageWindow {
    Q_OBJECT
public:
    // args: the command line without the program name. Runs FormCreate.
    explicit TBase_main_window(const std::vector<std::string>& args, QWidget* parent = nullptr);
    ~TBase_main_window() override;

    // ---- State -------------------------------------------------------------------------------
    TrackBase Base;
    std::string BFName = "---";
    bool Modified = false;
    int SortDirection = 1;
    BaseOptions Options;
    BaseTexts Texts;  // what the window writes while it runs, in the chosen language
    platform::WindowHandle PlayerWindow = 0;
    const CommandLine& commandLine() const { return m_cmd; }
    TrackListModel* model() const { return m_model; }

    // ---- Components ----------------------------------------------------------------------------
    QPushButton *Button1, *Button10, *Button5, *Button6, *Button8, *Button2, *Button3, *Button4, *Button7, *Button9,
        *Button11, *Button12;
    std::array<QLineEdit*, 8> Edits{};  // Edit1..Edit8
    QTableView* ListView1;
    QMenu* PopupMenu1;
    QAction *Delete1, *Deletefile1, *N4, *N2, *id3v11, *N5;
    QLabel *Label3, *Label5, *Label15, *Label13, *Label17, *Label20;
    // Preview: SpeedButton1..5 carry the Tags 4 (previous), 2 (stop), 3 (pause), 1 (play), 5 (next).
    QToolButton *SpeedButton1, *SpeedButton2, *SpeedButton3, *SpeedButton4, *SpeedButton5;
    QProgressBar* ProgressBar1;
    QLabel* Label19;
    controls::TTBar* tbVolume;  // vertical, full volume at the top
    TVqStatusBar* VqStatusBar1;
    QProgressBar* Gauge1;
    QTimer* Timer1;       // 100 ms, preview position
    QTimer* Timer2;       // 1000 ms, frees a finished statistics thread
    QTimer* Timer3;
    QTimer* ping_player;  // 3000 ms, runs only in search-server mode

    // ---- Base and file (track base) ----------------------------------------------------------
    // False (base empty, message shown) when the file exists but cannot be read.
    bool LoadBase();
    // Reads the base file for LoadBase; tests replace it to see a read fail part way.
    std::function<DfsLoadResult(const std::string&)> readBaseFile = readDfsFile;
    bool SaveBase(const std::string& path);
    void ClearList();
    // Save: true when the base was written (false: dialog cancelled or the write failed).
    bool Button5Click();
    void Button6Click();
    void Button8Click();

    // ---- Adding tracks -------------------------------------------------------------------------
    void Button1Click();
    void Button10Click();
    // Adds every supported file below folder (the pass behind Add folder, without the dialog).
    void addFolder(const std::string& folder);
    void addFiles(const std::vector<std::string>& files);
    AddOutcome AddFile(const std::string& path, std::int64_t size = 0);
    void CountAllTime();
    void N5Click() { CountAllTime(); }
    void CalcTotalTime(int flag);
    // The progress window of the pass running now, if any.
    TProgress_window* progressWindow() const;
    // Called after each item of a pass (tests cancel from here); runs before the message loop.
    std::function<void(std::size_t done)> onPassItem;

    // ---- Search, sort, display -----------------------------------------------------------------
    void SearchBase();
    void Button3Click() { SearchBase(); }
    void ResetSearch();
    void Button4Click() { ResetSearch(); }
    void ListView1ColumnClick(int column);
    void N2Click();

    // How often a search lets the message loop run; tests shorten it.
    std::chrono::milliseconds searchPumpPeriod{20};

    // ---- Delete, check, copy, tag editing ------------------------------------------------------
    // Tag 0: the selected records leave the base; Tag 1: their files go to the trash too.
    void Delete1Click(int tag);
    // Check base: the records whose files are certainly gone leave the base.
    void Button2Click();
    // Copies the selected rows' files to a folder chosen in a dialog.
    void N4Click();
    // Tag editor over the selected rows.
    void id3v11Click();
    // How often the check and the tag writing let the message loop run; tests shorten it.
    std::chrono::milliseconds checkPumpPeriod{20};

    // ---- Preview playback ----------------------------------------------------------------------
    void SpeedButton1Click(int tag);
    void ListView1Change();
    void ListView1DblClick();
    void ListView1KeyPress(char key);
    void Timer1Timer();
    void ProgressBar1MouseDown(int x);
    void ProgressBar1MouseMove(int x);
    void ProgressBar1MouseUp(int x);
    void FormMouseUp();
    void tbVolumeChange();
    engine::TAudioEngine* previewDeck() const { return m_previewDeck.get(); }

    // ---- Options and statistics ----------------------------------------------------------------
    void Button7Click();
    void Button9Click();
    void Timer2Timer();
    void StatThreadDone();
    TStatThrd* statThread() const { return m_statThread.get(); }
    // Shows a dialog modally; tests replace the runner to work the dialog and close it.
    std::function<int(QDialog&)> runDialog;

    // ---- Search server ---------------------------------------------------------------------------
    // The handlers of the player's messages. While a search or a pass walks the records, everything
    // but a quit is kept back and run in order when it has ended (a later message of the same kind
    // replaces the one waiting), so nothing frees the records under it.
    platform::LResult WMSearchHello(platform::WParam wParam, platform::LParam lParam);
    platform::LResult WMSearchQuery(platform::WParam wParam);
    platform::LResult WMSearchQuit();
    platform::LResult WMBaseShow();
    platform::LResult WMBaseHide();
    void ping_playerTimer();
    SearchArea& searchArea() { return m_area; }
    std::size_t deferredCount() const { return m_deferred.size(); }

    // ---- Playlist export -------------------------------------------------------------------------
    // The selected rows from the top, or every shown row when none is selected, as an M3U file
    // (replaced whole). False, with a message shown, when it cannot be written.
    bool ExportPlaylist(const std::string& path);
    void Button11Click();
    void Button12Click();
    std::string DBTempPath() const;

    // ---- Window life and services --------------------------------------------------------------
    void FormCreate();
    void FormShow();
    // False when the close was refused (Cancel in the save question, or a save that did not happen),
    // and for the search server, whose window only hides while its player lives.
    bool FormClose();
    // The end of the program with nobody to ask (a signal, the player's end): boxes are logged, a
    // changed base is saved without a dialog, and the window closes for good.
    void Exit();
    void ApplyCaptions(QWidget* form, const std::string& section);
    void ApplyMenuCaptions(QWidget* form, const std::string& section);
    void Timer3Timer();
    std::string langFile() const;
    // Runs a handler; an exception that escapes it is shown in a box titled with the program title.
    void guarded(const std::function<void()>& handler);

    // The window has closed for good (finished() was emitted).
    bool hasClosed() const { return m_closing; }

signals:
    // The window has closed for good: the program ends.
    void finished();

protected:
    platform::LResult windowProc(std::uint32_t msg, platform::WParam wParam, platform::LParam lParam) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWindow();
    void fitCaptions();
    void writeBaseIni();
    // The save of a changed base at an Exit: to its own file, or to a new one in the program
    // folder's "Database" when it has none or its file could not be read.
    void saveOnExit();
    // BFName names a file whose rows are in memory: false for "---" and for a file that was
    // refused or failed to read, which holds what this window does not.
    bool baseFileRead() const { return BFName != "---" && BFName != m_unreadBase; }
    void reportError(const std::string& function, const std::string& message);
    void setEditsEnabled(bool enabled);
    bool Edit1KeyUp(int key);
    void centerActiveDialog();
    void applyOptionsToView();
    TProgress_window* openProgress(const std::string& operation);
    void closeProgress();
    void pumpMessages();
    // What an outermost pass (or a command with its own boxes) tells the window: the commands
    // that change, save or reload the base are off while it runs.
    std::function<void(bool running)> passCommands();
    void setPassCommandsEnabled(bool enabled);
    int execDialog(QDialog& dialog);
    std::vector<int> selectedRows() const;
    void previewStart(const std::string& fileName);
    // Enter in the list and the mouse on the position bar; true when the event was taken.
    bool previewEventFilter(QObject* watched, QEvent* event);
    void seekPreview(int x);
    void moveFirstSelection(int step);
    void removeRows(const std::vector<int>& rows, bool toTrash);
    // One item of an add or count pass done: progress, the test hook, the message loop; true
    // when the user asked to stop.
    bool passItemDone(std::size_t i, std::size_t count);
    void finishPass();
    bool busy() const { return m_searching || m_passRunning; }
    platform::LResult serverMessage(std::uint32_t msg, platform::WParam wParam, platform::LParam lParam);
    void scheduleDeferred();
    void runDeferred();
    std::vector<const TTrackRecord*> exportRows() const;

    CommandLine m_cmd;
    TrackListModel* m_model = nullptr;
    std::unique_ptr<engine::TAudioEngine> m_previewDeck;
    controls::TVqPosSave* m_posSave = nullptr;
    QPointer<TProgress_window> m_progress;
    std::string m_lastFolder;
    bool m_shownOnce = false;
    // The file LoadBase last refused, as named by BFName then: a save without a dialog never
    // replaces it.
    std::string m_unreadBase;
    bool m_baseIniRead = false;  // FormShow has run: the options are the operator's, written back
    bool m_visibleState = false;
    bool m_passRunning = false;
    bool m_closeAfterPass = false;
    bool m_closing = false;
    bool m_exiting = false;
    bool m_searching = false;
    UnseenBoxes m_unseen;
    QWidget* m_host = nullptr;

    struct DeferredMessage {
        std::uint32_t msg;
        platform::WParam wParam;
        platform::LParam lParam;
    };
    SearchArea m_area;
    std::deque<DeferredMessage> m_deferred;
    bool m_deferredPosted = false;
    bool m_pinging = false;
    bool m_quitting = false;
    bool m_boxesAfterAnswer = false;  // a failed reload reports after the sender has its answer

    bool m_dragging = false;  // seeking on the preview position bar
    std::unique_ptr<TStatThrd> m_statThread;
    bool m_statFinished = false;
};

}  // namespace database
