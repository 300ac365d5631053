// TForm1: the player's main window. It holds the player's working state in its own fields; the
// handlers of each feature live in a source file of their own (playlistedit.cpp,
// playlistfiles.cpp, startup.cpp).
#pragma once

#include "controls/vqlistview.h"
#include "platform/window.h"
#include "player/fileinfo.h"
#include "player/playerini.h"
#include "player/playermessages.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QSystemTrayIcon;
class QTabWidget;
class QTimer;
class QToolBar;

namespace controls {
class TTBar;
class TvtqStatusBar;
class TzrFolderTreeView;
}  // namespace controls
namespace engine {
class TAudioEngine;
}
namespace platform {
class SharedMemory;
}

namespace player {

class TFindDialog;
class EngineDeck;
class FormSequencerHost;
class MainTimer;
class PlaybackSequencer;

class TForm1 : public QMainWindow, public platform::MessageWindow {
    Q_OBJECT
public:
    // Builds the window's components; the engines, tray icon and the rest come with FormCreate.
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // ---- Components (objectName = the member's name) -------------------------------------
    QTabWidget* pcPlaylist;
    QWidget* _master;
    QWidget* _slave;
    controls::TVqListView* LVMaster = nullptr;
    controls::TVqListView* LVSlave = nullptr;
    controls::TVqListView* rhelper = nullptr;       // hidden; the schedule loads playlists through it
    controls::TVqListView* LVFindResult;  // the database search results
    QTabWidget* PageControl1;
    QWidget* TabSheet1;  // the folder tree's page
    controls::TzrFolderTreeView* SHView;
    QLabel* Panel2;   // count and total time
    QLabel* Label11;  // the folder being scanned
    QLabel* Label28;  // "ESC - отмена"
    QProgressBar* Gauge1;
    controls::TvtqStatusBar* StatusBar1;
    TFindDialog* FindDialog1;
    QSystemTrayIcon* TrayIcon = nullptr;
    // Transport and the main timer's displays.
    QToolBar* ToolBar1;
    QLabel* edToEnd;    // the main time (remaining or elapsed)
    QLabel* EdToEnd2;   // the second time
    QLabel* timelabel;  // the clock
    QLabel* Label29;    // the decks' states
    controls::TTBar* TBar1;  // position bar, 0..1000
    QMenu* PopupMenu1;  // the playlists' popup menu
    QMenu* TrayMenu;
    QMenu* mFile;

    QAction* aPlayAction;
    QAction* aPauseAction;
    QAction* aStopAction;
    QAction* aNextTrackAction;
    QAction* aPrevTrackAction;
    QAction* N20Player;  // tray menu: bring the player back
    QAction* aNew;
    QAction* aOpen;
    QAction* aSave;
    QAction* aSaveAs;
    QAction* aEditCut;
    QAction* aEditCopy;
    QAction* aEditPaste;
    QAction* aEditUndo;
    QAction* aEditRedo;
    QAction* aEditDel;
    QAction* aEditDelAll;
    QAction* N25;  // add files
    QAction* N27;  // find
    QAction* N37;  // select all
    QAction* N47;  // insert playlist
    QAction* N58;  // add tracks from a playlist
    QAction* N53;  // rename file
    QAction* N55;  // play next
    QAction* Randomize1;
    QAction* mSlave2Master;
    QAction* N21;  // font
    QAction* Refresh1;
    QAction* N20;      // exit (main menu)
    QAction* N20Tray;  // exit (tray menu)
    std::array<QAction*, 9> h{};  // recent playlists h1..h9

    // ---- Working state ---------------------------------------------------------------------
    controls::TVqListView* CurrentList;
    int PendingInsertIndex = -1;
    bool ScanAbort = false;
    bool ListsReady = false;
    int PlaylistSortDirection = 1;
    bool AllowSort = false;
    bool Comment = false;
    std::array<QString, 2> ListNames{QStringLiteral("noname"), QStringLiteral("noname")};
    std::array<QString, 9> RecentPlaylists;
    QString WindowTitle;  // the caption base formed at the first showing
    PlayerMessages Messages = BuiltInMessages();
    PlayerIni Ini;
    int MonType = 0;
    bool SilenceDetectorOn = false;
    bool ExitFlag = false;
    bool CloseAllowed = false;  // the profile's Close option
    std::string CurrentProfile;  // path of the loaded profile
    std::array<std::string, 2> CommandLine;  // the program's own arguments (FormShow step 13)
    // The command-line area, mapped for the life of the process; not owned.
    platform::SharedMemory* CommandLineArea = nullptr;

    std::unique_ptr<engine::TAudioEngine> DeckA;
    std::unique_ptr<engine::TAudioEngine> DeckB;
    std::unique_ptr<engine::TAudioEngine> LineInDeck;
    std::unique_ptr<TagReaders> Readers;
    std::unique_ptr<FormSequencerHost> SeqHost;
    std::unique_ptr<EngineDeck> DeckAView;
    std::unique_ptr<EngineDeck> DeckBView;
    std::unique_ptr<PlaybackSequencer> Sequencer;
    std::unique_ptr<MainTimer> MainTick;
    QTimer* maintimer = nullptr;
    std::mt19937 Random;

    // ---- Playlist editing (playlistedit.cpp) -------------------------------------------------
    void AddFile(const QString& path);
    void AddDir(const QString& folder);
    void RenumberList();
    void ShowComments(bool all);
    QString DisplayNameOf(const QString& path);
    void N25Click();
    void aEditCutExecute();
    void aEditCopyExecute();
    void aEditPasteExecute();
    void aEditUndoExecute();
    void aEditDelExecute();
    void aEditDelAllExecute();
    void N37Click();
    void N27Click();
    void FindNext();
    void LVMasterColumnClick(int header);
    void Randomize1Click();
    void N55Click();
    void N53Click();
    void mSlave2MasterClick();
    void N21Click();
    void Refresh1Click();
    void pcPlaylistChange();
    void UpdateActions();
    // source: SHView, LVFindResult; row: the row under the drop point (-1: below the last).
    void LVMasterDragDrop(QObject* source, int row);
    // Files and folders dropped by the desktop.
    void WMDropFiles(const QStringList& paths);
    void SHView1DblClick();
    // Transport commands, forwarded to the sequencer (formsequencer.cpp).
    void aPlay();
    void aStop();
    void aPause();
    void aNextTrack();
    void aPrevTrack();
    void LVMasterDblClick();
    void CreateSequencer();
    void DestroySequencer();
    void maintimerTimer();
    void WMDeckEnded(platform::WParam wParam, platform::LParam lParam);

    // ---- Playlist files (playlistfiles.cpp) --------------------------------------------------
    bool LoadPlaylist(const QString& path);
    bool SavePlaylist(const QString& path);
    void LoadHistory(const QString& path);
    void SaveHistory(const QString& path);
    void UpdateCaption();
    void aNewExecute();
    void aOpenExecute();
    // False when nothing was saved (dialog cancelled or write failed).
    bool aSaveExecute();
    bool aSaveAsExecute();
    void N47Click();
    void N58Click();
    void RecentClick(int n);  // 1..9
    // The name of the current list (Main or Temp).
    QString& CurrentListName();
    // Puts path at the head of the recent list (once) and shows the items.
    void RememberRecent(const QString& path);

    // ---- Start-up and shut-down (startup.cpp) ------------------------------------------------
    void FormCreate();
    void FormShow();
    void FormDestroy();
    void N20Click();
    void WMCommandLine();
    void WMQueryEndSession();
    void HandleCommandLine(const std::string& first, const std::string& second);
    void LoadProfile(const std::string& path);
    void SaveProfile(const std::string& path);
    bool Shown() const { return m_shown; }


protected:
    platform::LResult windowProc(std::uint32_t msg, platform::WParam wParam, platform::LParam lParam) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildComponents();
    void buildMenus();
    controls::TVqListView* makeList(const QString& name, QWidget* parent);
    bool forwardToTextField(int key);
    bool m_shown = false;
    // Hand-overs that arrived before the first showing finished, handled right after it.
    std::vector<std::pair<std::string, std::string>> m_pendingCommands;
    bool m_inScan = false;
};

}  // namespace player
