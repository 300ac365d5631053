// TForm1: the player's main window. It holds the player's working state in its own fields; the
// handlers of each feature live in the feature's folder (player/playlist/, player/sequencing/,
// ...), the window's life in startup.cpp, its profiles in player/profiles/.
#pragma once

#include "controls/vqlistview.h"
#include "platform/window.h"
#include "player/fileinfo.h"
#include "player/link/linkprograms.h"
#include "player/playerini.h"
#include "player/playermessages.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QComboBox;  // database link
class QLineEdit;  // database link
class QLabel;
class QMenu;
class QProgressBar;
class QSystemTrayIcon;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;    // play modes and MIC
class QListWidget;
class QCheckBox;

namespace controls {
class TTBar;
class TvtqStatusBar;
class TzrFolderTreeView;
class TSpinFloatEdit;
}  // namespace controls
namespace engine {
class TAudioEngine;
}
namespace platform {
class SharedMemory;
class IniFile;
}

namespace player {

class TFindDialog;
class EngineDeck;
class FormSequencerHost;
class MainTimer;
class PlaybackSequencer;
struct CrossfadeTable;
struct ProfileLoad;

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
    // The main menu's drop-down menus, in bar order.
    QMenu* mFile;
    QMenu* mEdit;
    QMenu* mPlaylist;
    QMenu* mView;
    QMenu* mBase;      // "Музыкальная база"
    QMenu* mSettings;  // "Настройки"
    QMenu* mJingles;   // "Джинглы"
    QMenu* mHelp;      // "Справка"

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
    // The profile last loaded (when its file existed) or saved; "noname" until then.
    std::string CurrentProfile = "noname";
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
    // ---- Profiles (profiles/profile.cpp; each feature's share through profiles/profilehooks.cpp)
    void LoadProfile(const std::string& path);
    void SaveProfile(const std::string& path);
    // The window's own options: database, item-class keywords and colours, closing rule, sorting,
    // monitor type, size, clock colour, silence cut (profiles/windowprofile.cpp).
    void LoadWindowProfile(const platform::IniFile& ini, const ProfileLoad& how);
    void SaveWindowProfile(platform::IniFile& ini);
    // The folder tree's place, the lists' font and column widths (profiles/viewprofile.cpp).
    void LoadExplorerProfile(const platform::IniFile& ini, const ProfileLoad& how);
    void SaveExplorerProfile(platform::IniFile& ini);
    void LoadFontProfile(const platform::IniFile& ini, const ProfileLoad& how);
    void SaveFontProfile(platform::IniFile& ini);
    void LoadColumnsProfile(const platform::IniFile& ini, const ProfileLoad& how);
    void SaveColumnsProfile(platform::IniFile& ini);
    // Keys of features not built yet, kept as read (profiles/passthrough.cpp).
    void LoadPassThroughProfile(const platform::IniFile& ini, const ProfileLoad& how);
    void SavePassThroughProfile(platform::IniFile& ini);
    std::map<std::pair<std::string, std::string>, std::string> PassThroughValues;
    // Options as the profile wrote them, saved back as read while the setting is unchanged.
    std::string AdvertId = "commercial";  // ID_A; the lists get it in lower case
    std::string JingleId = "jingle";      // ID_J
    std::string DefBaseText;              // DefBase before it was made a full path
    // The menu "Настройки": saving and loading profiles (profiles/profilemenu.cpp).
    static constexpr std::size_t kMaxProfiles = 50;
    QAction* N33 = nullptr;             // "Сохранить профиль"
    QAction* mSaveProfileAs = nullptr;  // "Сохранить профиль как..."
    QMenu* mLoadProfile = nullptr;      // "Загрузить профиль": one item per profile, tag k + 1
    std::vector<std::string> ProfilePaths;  // the items' profiles, in menu order
    void buildProfileMenu();  // once, from the constructor
    void FillProfileMenu();
    void N33Click();
    void mSaveProfileAsClick();
    void m_loadprf(int tag);
    bool Shown() const { return m_shown; }

    // ---- Play modes, MIC and crossfade controls (modes.cpp, crossfadecontrols.cpp, onair.cpp) ----
    QToolBar* ModeBar = nullptr;
    QToolButton* btRepeat = nullptr;      // "Repeat track"; excludes btBreak
    QToolButton* btBreak = nullptr;       // "Break"; its menu mbreak holds brOneTrack
    QToolButton* btShuffle = nullptr;     // "Random play"; excludes btRepeatList
    QToolButton* btRepeatList = nullptr;  // "Repeat playlist"
    QToolButton* MicBtn = nullptr;        // the line-in deck on or off; enabled with UseLineIn
    QMenu* mbreak = nullptr;
    QAction* brOneTrack = nullptr;    // a break applies to one track only
    QAction* aBlockPlayAction = nullptr;  // the play lock
    QLabel* Bevel5 = nullptr;         // shown while the play lock is on
    QAction* cbCenterList = nullptr;  // keep the playing row in the middle of the list
    QLabel* lOnAir = nullptr;         // the on-air text; a click shows the playing row
    QLabel* Label10 = nullptr;        // the silence cut of the item on air
    QListWidget* ListBox2 = nullptr;  // today's play report
    QWidget* TabSheet7 = nullptr;     // the crossfade page
    controls::TSpinFloatEdit* musmix = nullptr;
    controls::TSpinFloatEdit* musfade = nullptr;
    controls::TSpinFloatEdit* admix = nullptr;
    controls::TSpinFloatEdit* adfade = nullptr;
    controls::TSpinFloatEdit* jinmix = nullptr;
    controls::TSpinFloatEdit* jinfade = nullptr;
    QCheckBox* cbmusmix = nullptr;
    QCheckBox* cbmusfade = nullptr;
    QCheckBox* cbadmix = nullptr;
    QCheckBox* cbadfade = nullptr;
    QCheckBox* cbjinmix = nullptr;
    QCheckBox* cbjinfade = nullptr;
    bool ReportOn = true;     // the profile's Report
    bool PlayLocked = false;  // while set, double clicks start no row
    void buildModeControls();   // once, from buildComponents
    void btRepeatClick();
    void btBreakClick();
    void btShuffleClick();
    void btRepeatListClick();
    void brOneTrackClick();
    void MicBtnClick();
    void aBlockPlay();
    void cbmusmixClick();  // the crossfade controls into records 1 to 3 of the table
    // Records 1 to 3 of table into the crossfade controls (whose handler then copies them back).
    void ShowCrossfadeTable(const CrossfadeTable& table);
    void UpdateNowPlaying(const QString& fileName, int row);
    void SetOnAirText(const QString& text);
    // After deck A has started row: the silence-cut label.
    void TrackStarted(int row);
    // Both decks cut leading and trailing silence, or neither; the silence-cut label shows it.
    void SetCutSilence(bool on);
    bool CutSilence = true;
    void WriteReportLine(const QString& name);
    void LoadReportList();  // today's report file into ListBox2
    // Creates the folder "Report" when missing; false (after the error box) when it cannot be made.
    bool EnsureReportFolder();
    void edArtistClick();
    void CenterPlayingRow();
    void LoadSequencingProfile(const platform::IniFile& ini, const ProfileLoad& how);
    void SaveSequencingProfile(platform::IniFile& ini);


    // ---- Database link and playlist generator (searchserver.cpp, searchpage.cpp, playlistgenerator.cpp)
    QWidget* TabSheet2 = nullptr;  // the search page
    QLineEdit* edFindText = nullptr;
    QComboBox* cbFindIndex = nullptr;  // the item index is the search field number
    QMenu* ppfind = nullptr;           // popup menu of LVFindResult
    QAction* N43 = nullptr;            // "Добавить все"
    QAction* N34 = nullptr;            // "Запустить": the database window, visible
    QAction* N46 = nullptr;            // tray menu: the same
    QAction* startgen = nullptr;       // "Создать...": the playlist generator
    platform::WindowHandle ServerWindow = 0;  // the search server, 0 when none
    // The mapped search area; null when none is mapped (then the slots are never touched).
    // Shared, so that this header needs no complete type to destroy it.
    std::shared_ptr<platform::SharedMemory> SharedArea;
    platform::WindowHandle GeneratorWindow = 0;
    std::string DefBase;  // the database file handed to the other programs
    ProgramLauncher LaunchProgram = DefaultProgramLauncher();
    void buildDatabaseLink();  // once, from the constructor
    // Tells the old server to quit, starts a new one, greets it and maps the area. Failures are
    // shown and leave the search page disabled; they never end the caller.
    void StartSearchServer();
    // Tells the server to quit and releases the area (the window's end).
    void StopSearchServer();
    void edFindTextChange();
    void WMSearchResult(platform::WParam count);
    void SetSearchPageEnabled(bool on);
    void LVFindResultDblClick();
    void N43Click();
    void N34Click();
    void startgenClick();
    void WMLoadTempList(platform::WParam which);

    // ---- Meters, spectrum, volume and seeking (meters.cpp, meterprofile.cpp, meters.h) --------
    struct MetersState;                  // the meter picture and the spectrum painter (meters.h)
    std::shared_ptr<MetersState> Meters;
    QWidget* TabSheet5 = nullptr;        // the sound page, with the level meters
    QWidget* _left = nullptr;            // left-channel level meter (a FrameBox)
    QWidget* _right = nullptr;           // right-channel level meter (a FrameBox)
    QWidget* panel1 = nullptr;
    QWidget* PaintFrame = nullptr;       // the spectrum (a FrameBox)
    controls::TTBar* tbVolume = nullptr;   // master volume 0..100: the library's stream volume
    controls::TTBar* tbPanning = nullptr;  // pan of both decks, -100..100
    QLabel* Label13 = nullptr;             // the pan
    QAction* SpeedButton7 = nullptr;       // "-5 sec" (Tag -1)
    QAction* SpeedButton8 = nullptr;       // "+5 sec" (Tag 1)
    QTimer* Timer1 = nullptr;              // level meters, 30 ms, only while TabSheet5 shows
    QTimer* vistimer = nullptr;            // spectrum, every VisUpdateDelay ms
    bool Visualization = true;             // the spectrum timer draws
    int DeckVolume = 100;                  // remembered by SetDeckVolume
    QLabel* Label14 = nullptr;             // the automatic level's gain, or "off"
    std::string QuietList;                 // the silence detector's emergency playlist
    void buildMeters();   // once, from buildComponents
    void MetersCreate();  // once, from FormCreate, after the decks and the sequencer exist
    void Timer1Timer();
    void vistimerTimer();
    void PageControl1Change();
    void TBar1MouseDown(int x);
    void TBar1MouseUp();
    void SpeedButton7Click(int tag);
    void tbVolumeChange();
    void tbPanningChange();
    // Mouse wheel over the window: moves tbVolume while it is the active control; true when used.
    bool ApplicationEvents1Message(QObject* watched, QEvent* event);
    void SetDeckVolume(int volume);
    void edToEndClick();
    void edToEndMouseUp(Qt::MouseButton button);
    void StatusBar1Panels5Click();
    // The engine in deck A's role now (the decks swap roles at every start).
    engine::TAudioEngine* OnAirDeck();
    // The main timer's load figures and automatic level (status panels 1 and 2, Label14).
    double CpuLoad();
    bool AutoLevelGain(double& gain);
    // Silence action 3: the first page's list replaced by QuietList; its row count.
    int LoadEmergencyList();
    // The silence detector, time labels, spectrum switch and (from "default.prf" only) the volume.
    void LoadMetersProfile(const platform::IniFile& ini, const ProfileLoad& how);
    void SaveMetersProfile(platform::IniFile& ini);

    // ---- Sound controls: equaliser, effects, tempo, pitch, rate, BPM, mute (sound/) -----------

    // ---- Jingles (jingles/) --------------------------------------------------------------------

    // ---- Schedule (schedule/) ------------------------------------------------------------------

    // ---- Hot keys (hotkeys/) -------------------------------------------------------------------

    // ---- Tag page (tagpage/) -------------------------------------------------------------------

    // ---- Notes window (notes/) -----------------------------------------------------------------

    // ---- Pre-listen monitor (monitor/) ---------------------------------------------------------

    // ---- About and diagnostics windows (about/) ------------------------------------------------

    // ---- Settings dialog (settings/), encoding (encoder/), languages (language/) ---------------

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
