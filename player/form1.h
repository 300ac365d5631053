// TForm1: the player's main window. It holds the player's working state in its own fields; the
// handlers of each feature live in the feature's folder (player/playlist/, player/sequencing/,
// ...), the window's life in startup.cpp, its profiles in player/profiles/.
#pragma once

#include "controls/vqlistview.h"
#include "platform/tickcount.h"
#include "platform/window.h"
#include "player/device/devicewatch.h"
#include "player/fileinfo.h"
#include "player/hotkeys/keydispatch.h"
#include "player/jingles/jingleslots.h"
#include "player/link/linkprograms.h"
#include "player/playerini.h"
#include "player/language/playertexts.h"
#include "player/playermessages.h"
#include "player/playlist/notesmarks.h"
#include "player/playlist/playlistreads.h"
#include "player/playlist/playlisttally.h"
#include "player/schedule/schedule.h"
#include "player/schedule/schedulefile.h"
#include "player/sound/effectsettings.h"
#include "player/settings/encodersettings.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QColor;
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
class QPushButton;  // tag page, schedule
class QTreeWidget;  // schedule

namespace controls {
class TMainMenuXP;
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
class TFXFrm;
class BpmMeter;
class SoundDeckRoles;
class TNotesFrm;
class TRearPlay;
class TDbgFrm;
struct DbgSnapshot;
class EngineDeck;
class FormSequencerHost;
class MainTimer;
class PlaybackSequencer;
class NextItemPreparer;
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
    controls::TvtqStatusBar* StatusBar1 = nullptr;  // read by the event filter from the first event on
    TFindDialog* FindDialog1;
    QSystemTrayIcon* TrayIcon = nullptr;
    // The list commands (New leading), then transport, and the main timer's displays.
    QToolBar* ListBar = nullptr;
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
    controls::TVqListView* CurrentList = nullptr;
    int PendingInsertIndex = -1;
    bool ScanAbort = false;
    bool ListsReady = false;
    int PlaylistSortDirection = 1;
    bool AllowSort = false;
    bool Comment = false;
    NotesMarks NotesMarksOfMain;  // ShowComments' memory of which tracks have notes
    // RenumberList's and ShowComments' memory of the Main and the Temp list.
    PlaylistTally MainTally;
    PlaylistTally TempTally;
    std::array<QString, 2> ListNames{QStringLiteral("noname"), QStringLiteral("noname")};
    std::array<QString, 9> RecentPlaylists;
    QString WindowTitle;  // the caption base formed at the first showing
    PlayerMessages Messages = BuiltInMessages();
    PlayerTexts Texts;  // what the windows write while the player runs, in the chosen language
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
    std::unique_ptr<NextItemPreparer> NextItems;  // the next item, opened ahead for either deck
    std::unique_ptr<EngineDeck> DeckAView;
    std::unique_ptr<EngineDeck> DeckBView;
    std::unique_ptr<PlaybackSequencer> Sequencer;
    std::unique_ptr<MainTimer> MainTick;
    QTimer* maintimer = nullptr;
    QTimer* pointtimer = nullptr;  // one-shot at a mix or fade point that falls between two ticks
    std::mt19937 Random;

    // Status panel 0 (statuspanel.cpp): the hint of what the mouse is over, else the panel's own
    // text, such as the master volume.
    void ShowStatus(const QString& text);
    QString StatusText;  // panel 0's own text: a hint shows over it only while there is one
    // What went wrong where no box may hold the air: it stands in panel 0, over hints and the
    // panel's own text, until the next failure, and the panel's tool tip holds it whole.
    void ShowFailure(const QString& text);
    QString FailureText;
    // Deck A (the item on air) is playing or paused.
    bool OnAir() const;

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
    // The current list is the window's active control (it holds the window's focus).
    bool CurrentListActive() const;
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
    void pointtimerTimer();
    // Arms pointtimer when the next mix or fade point comes before the next tick.
    void ArmPointTimer();
    void WMDeckEnded(platform::WParam wParam, platform::LParam lParam);

    // ---- Playlist files (playlistfiles.cpp) --------------------------------------------------
    // False (error, when given, says why) when the file gave no rows; the list then stays. Read
    // here and now, after the reads asked for before have landed.
    bool LoadPlaylist(const QString& path, std::string* error = nullptr);
    // What LoadPlaylist does with a read of path, into list.
    bool PutPlaylist(controls::TVqListView& list, const QString& path, PlaylistRead& read, std::string* error = nullptr);
    // RenumberList on list, whichever list is current.
    void RenumberListOf(controls::TVqListView& list);
    // The folder whose notes mark the rows read into list ("/" at its end); empty when none do.
    std::string NotesFolderFor(const controls::TVqListView& list) const;
    // The rows [first, end) of list came marked from read: ShowComments takes their marks.
    void TakeReadMarks(controls::TVqListView& list, const PlaylistRead& read, int first, int end);
    // Open, append and the recent playlists read their files here, while the window goes on;
    // whatever else fills a list from a file or hands one over lands them first (finish()).
    std::unique_ptr<PlaylistReads> Reads = std::make_unique<PlaylistReads>();
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
    // Reads a playlist file into this list off the window's thread (remember: into the recent ones).
    void OpenPlaylistInto(controls::TVqListView* list, const QString& path, bool remember);
    // The name of the current list (Main or Temp).
    QString& CurrentListName();
    // Puts path at the head of the recent list (once) and shows the items.
    void RememberRecent(const QString& path);
    // Lists left empty by a playlist file that could not be read, with that file: a save of the
    // empty list never replaces it.
    std::map<const controls::TVqListView*, QString> UnreadPlaylists;

    // ---- Start-up and shut-down (startup.cpp) ------------------------------------------------
    void FormCreate();
    void FormShow();
    void FormDestroy();
    void N20Click();
    void WMCommandLine();
    void WMQueryEndSession();
    // Every showing, minimising and restoring: while the tray icon can bring the window back, the
    // window has no task-bar button of its own.
    void ApplicationEvents1Restore();
    void HandleCommandLine(const std::string& first, const std::string& second);
    // The arguments a second start handed over: as the command line, unless the path did not fit.
    void HandleHandOver(const std::string& first, const std::string& second);
    // A handed-over playlist that could not be read: said in the status bar, and in a box only
    // while nothing is on air.
    void ReportUnreadHandOver(const QString& path, const std::string& why);
    // A file of the profile that is there but could not be read (a folder, a pipe, a file too
    // large, not text): said in the status bar once the window is up, never in a box that would
    // hold the start. text: FileUnread or PlaylistUnread.
    void ReportUnreadFile(PlayerText text, const QString& path, const std::string& why);
    QStringList UnreadFiles;  // said together, once the window is up
    // ---- Profiles (profiles/profile.cpp; each feature's share through profiles/profilehooks.cpp)
    void LoadProfile(const std::string& path);
    void SaveProfile(const std::string& path);
    // The window's own options: database, item-class keywords and colours, closing rule, sorting,
    // monitor type, size, clock colour, silence cut (profiles/windowprofile.cpp).
    void LoadWindowProfile(const platform::IniFile& ini, const ProfileLoad& how);
    void SaveWindowProfile(platform::IniFile& ini);
    // The window at `size` (cut to fit with its frame) with its frame centred on the work area.
    void CentreOnScreen(const QSize& size);
    bool CentreWhenFramed = false;  // centred before the desktop gave the window its frame
    // The folder tree's place, the lists' font and column widths (profiles/viewprofile.cpp).
    void LoadExplorerProfile(const platform::IniFile& ini, const ProfileLoad& how);
    void SaveExplorerProfile(platform::IniFile& ini);
    void LoadFontProfile(const platform::IniFile& ini, const ProfileLoad& how);
    void SaveFontProfile(platform::IniFile& ini);
    void LoadColumnsProfile(const platform::IniFile& ini, const ProfileLoad& how);
    void SaveColumnsProfile(platform::IniFile& ini);
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
    // Tells the old server to quit, starts a new one and maps the area; the new server is greeted
    // when its window comes up, which the caller (the window's first showing, a profile load) does
    // not wait for. Failures are shown and leave the search page disabled; they never end the
    // caller.
    void StartSearchServer();
    // Tells the server to quit and releases the area (the window's end).
    void StopSearchServer();
    WindowWatch ServerWatch;           // the server started last, until its window comes up
    bool ServerRestartWanted = false;  // a restart asked for while that server came up
    bool QueryWaiting = false;         // a query typed while it came up, answered once it is there
    QString SearchAreaProblem;         // why the area could not be mapped; empty when it was
    void MapSearchArea();
    void ServerCameUp(platform::WindowHandle window);  // 0: none came up in time
    void edFindTextChange();
    void WMSearchResult(platform::WParam count);
    void SetSearchPageEnabled(bool on);  // off: the page says why the search is not available
    // The server did not answer: the results go, and the page says why (the field stays usable).
    void SearchUnavailable();
    QString SearchUnavailableText() const;
    QLabel* lbSearchUnavailable = nullptr;
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
    // Equaliser and compressor gain (equalizer.cpp), on the sound page.
    std::array<controls::TTBar*, 12> TrackBar{};  // band sliders, Tag = band; position = -gain
    std::array<QLabel*, 12> leq{};                // band gain texts
    std::array<QLabel*, 12> l_eq{};               // band frequency texts
    QToolButton* SpeedButton1 = nullptr;          // equaliser on/off
    QToolButton* AutoEq = nullptr;                // "Auto": the preset of the playing file's genre
    QToolButton* SpeedButton13 = nullptr;         // "Reset"
    QComboBox* eq_preset = nullptr;
    QToolButton* SpeedButton9 = nullptr;          // save the equaliser preset
    QToolButton* SpeedButton10 = nullptr;         // delete it
    controls::TTBar* Gain = nullptr;              // compressor gain, position = -dB
    QLabel* lbcmgain = nullptr;
    // Crossfade presets (crossfadepresets.cpp), on the crossfade page.
    QComboBox* cr_preset = nullptr;
    QToolButton* SpeedButton16 = nullptr;  // save the crossfade preset
    QToolButton* SpeedButton17 = nullptr;  // delete it
    // Effects (effects.cpp; the window is TFXFrm).
    QToolButton* SpeedButton12 = nullptr;  // "Add effect..."
    QPointer<TFXFrm> FXFrm;                // the effects window while it is open
    // Tempo, rate, pitch and BPM (tempo.cpp), mute and the spectrum switch (mute.cpp).
    controls::TTBar* tbTempo = nullptr;
    controls::TTBar* tbSample = nullptr;  // Tag = the playing track's own rate / 50
    controls::TTBar* tbPitch = nullptr;
    QLabel* Label38 = nullptr;  // tempo text
    QLabel* Label42 = nullptr;  // rate text
    QLabel* Label44 = nullptr;  // pitch text
    QLabel* Label40 = nullptr;  // BPM of deck A; a click measures it
    QTimer* Timer2 = nullptr;   // one second after a start: the BPM measurement is prepared
    QToolButton* SpeedButton11 = nullptr;  // mute, on the tool bar
    std::array<std::int32_t, 12> EqualizerGains{};
    audiolib::dsp::CompressorParams CompressorRecord{};  // both decks' compressor; only the gain is ours
    EffectSettings Effects;
    bool MuteActive = false;
    int GainBeforeMute = 0;  // the Gain slider's position before muting
    int MuteLevel = -30;     // dB that muting adds to the compressor gain, -30..0
    // The decks in their roles as the sound controls reach them; tests put their own here.
    std::unique_ptr<SoundDeckRoles> SoundDecks;
    std::unique_ptr<BpmMeter> Bpm;  // the clicked measurement, on a worker
    void buildSoundControls();  // once, from the constructor, after the menus and pages
    void SoundCreate();         // FormCreate: the decks' roles, the tempo sliders under FXTempo
    void SoundShow();           // FormShow: band labels and the preset lists
    void SoundDestroy();        // FormDestroy: the effects window and the BPM worker go first
    void SoundStartingTrack();  // start of PlayTrack: the BPM timer off, its label reset
    void SoundTrackStarted(int row);  // after deck A has started: rate slider, effects, BPM timer
    static QString FormatBandLabel(int frequency);
    void TrackBar0Change(controls::TTBar* sender);
    void SpeedButton1Click();
    void SpeedButton13Click();
    void eq_presetChange();
    void SpeedButton9Click();
    void SpeedButton10Click();
    // UpdateNowPlaying with AutoEq down: the preset named after the genre, else "Default".
    void AutoEqualizerPreset(const QString& genre);
    void GainChange();
    void cr_presetChange();
    void SpeedButton16Click();
    void SpeedButton17Click();
    void ApplyEffects();
    void Button2Click();  // SpeedButton12: the effects window
    void tbTempoChange();
    void tbSampleChange();
    void tbPitchChange();
    void tbTempoMouseDouble(controls::TTBar* sender);
    void Timer2Timer();
    void Label40Click();
    void SpeedButton11Click();
    void PaintFrameClick();
    void LoadSoundProfile(const platform::IniFile& ini, const ProfileLoad& how);
    void SaveSoundProfile(platform::IniFile& ini);

    // ---- Jingles (jingles/) --------------------------------------------------------------------
    QToolBar* JingleBar = nullptr;
    std::array<QToolButton*, 9> JingleButtons{};  // ToolButton19..24, 16, 17, 18: slots 1..9 (Tag)
    std::array<QAction*, 9> jin{};                // jin1..jin9 of mJingles (Tag 1..9)
    QAction* N30 = nullptr;                       // "Назначить...": the jingle list dialog
    JingleSlotPaths JingleSlots;                  // 1..9 the jingles, 0 the list's pre-listen
    int JinglVolume = 100;  // every jingle window's deck
    int JVol = 100;         // both decks while a jingle window is open (100: left alone)
    JingleDucking Ducking;
    void buildJingles();  // once, from the constructor
    // Slot n (0..9) in a new jingle window; an empty slot does nothing.
    void PlayJingl(int n);
    // A jingle tool button or menu item: the slot of its Tag.
    void jin1Click(QObject* sender);
    void N30Click();
    void ShowJingleSlot(int n);  // menu item n's caption from slot n
    // A jingle window opens or closes: the decks go down with the first, up with the last.
    void JingleWindowOpened();
    void JingleWindowClosed();
    // Every open jingle window stops and releases its deck (before the decks free the device).
    void CloseJingleWindows();
    void LoadJinglesProfile(const platform::IniFile& ini, const ProfileLoad& how);
    void SaveJinglesProfile(platform::IniFile& ini);

    // ---- Schedule (schedule/) ------------------------------------------------------------------
    QWidget* TabSheet4 = nullptr;      // the schedule page
    QCheckBox* cbSchedule = nullptr;   // "Вкл": rasptimer runs while it is ticked
    QPushButton* Button1 = nullptr;    // "Составить расписание..."
    QTreeWidget* rasp = nullptr;       // the entries: date, time, file
    QTimer* rasptimer = nullptr;       // 50 ms
    Schedule TimeSchedule;             // the entries and their times (ScheduleTimes)
    ScheduleFileRest ScheduleRest;     // what the schedule file held that could not be read
    bool UseDate = false;              // entries carry a date
    bool StartImmediately = false;     // a due entry starts at once, even over a playing deck
    bool InScheduledBlock = false;     // the playing row is the last started scheduled row
    std::function<QDateTime()> ScheduleClock;  // the schedule's clock (tests set their own)
    void buildSchedulePage();  // once, from the constructor
    void cbScheduleClick();
    void rasptimerTimer();
    // The entry's file, or each track of its playlist, after the playing row; starts it when due.
    void FireScheduleEntry(const ScheduleEntry& entry);
    void RefreshScheduleList();  // rasp from the schedule
    // After row started: a waiting scheduled row becomes started, and the block is settled.
    void ScheduledRowStarted(int row);
    void SettleScheduledItems();
    void Button1Click();  // the schedule dialog
    // Entries of the file that cannot be read are named to the operator (from the event queue)
    // and kept: SaveSchedule writes them back as they were.
    void LoadSchedule(const std::string& path);
    void SaveSchedule(const std::string& path);
    void LoadScheduleProfile(const platform::IniFile& ini, const ProfileLoad& how);
    void SaveScheduleProfile(platform::IniFile& ini);

    // ---- Hot keys (hotkeys/) -------------------------------------------------------------------
    HotKeyCodes HotKeys = kDefaultHotKeys;
    QAction* N48 = nullptr;  // "Горячие клавиши..."
    void buildHotKeys();  // once, from the constructor
    // A key pressed in this window, focused the control that has the focus; Key becomes 0 when
    // the key is used up.
    void FormKeyDown(int& Key, Qt::KeyboardModifiers Shift, const QWidget* focused);
    // A character typed in this window or a jingle window; Key becomes null when used up.
    void FormKeyPress(QChar& Key, const QWidget* focused);
    FocusKind FocusKindOf(const QWidget* control) const;
    // The operator clicked or tabbed into the folder tree; false while it holds a focus it took
    // itself on moving to a folder (a profile's).
    bool TreeFocusedByOperator = false;
    void RunKeyCommand(KeyCommand command);
    void N48Click();
    void LoadHotKeysProfile(const platform::IniFile& ini, const ProfileLoad& how);
    void SaveHotKeysProfile(platform::IniFile& ini);

    // ---- Tag page (tagpage/) -------------------------------------------------------------------
    QWidget* TabSheet3 = nullptr;       // the tag page of PageControl1
    QLabel* lbTagFileName = nullptr;    // the path, shortened to the label's width; the hint holds it whole
    QCheckBox* cbTag = nullptr;         // "Tag": unticked, Save removes the ID3v1 tag
    QLineEdit* title = nullptr;
    QLineEdit* artist = nullptr;
    QLineEdit* album = nullptr;
    QLineEdit* year = nullptr;
    QLineEdit* comm = nullptr;
    QComboBox* ComboBox1 = nullptr;     // the genre: "<none>" and the genre table, filled at the first tick
    QPushButton* btSaveTag = nullptr;
    QLabel* mpinfo = nullptr;           // the technical line of the file
    QString TagFileName;                // the file the page shows, empty when none
    int TagFileType = 0;                // TagFileKind of TagFileName (tagwriter.h)
    struct TagPageState;                // what the page showed when it was filled (tagpage.cpp)
    std::shared_ptr<TagPageState> TagState;
    void buildTagPage();  // once, from the constructor
    void ShowTagInfo();
    // ShowTagInfo while the tag page is the active page (the lists call it after their changes).
    void RefreshTagPage();
    void btSaveTagClick();
    void artistKeyPress();  // Enter in one of the six fields: Save
    bool WriteFileTag(const std::string& path, const media::TTagRecord& record, std::uint8_t genre);
    void FillGenreBox();  // the first tick of the main timer
    // A list's selection changed: the tag page, and the notes of LVMaster's selected row.
    void LVMasterChange();


    // ---- Notes window (notes/) -----------------------------------------------------------------
    TNotesFrm* NotesFrm = nullptr;  // made by CreateNotesFrm, right after the diagnostics window
    QAction* N49 = nullptr;         // "Блокнот... (T)"
    void buildNotesMenu();  // once, from the constructor
    void CreateNotesFrm();
    // Shows or hides the notes window (the menu item and the hot key T).
    void N49Click();
    // The notes window takes over the notes of the track at path (none when the file is gone).
    void LoadTrackNotes(const QString& trackPath);
    // The notes file of a track; empty when the track's file does not exist.
    std::string TrackNotesFile(const QString& trackPath) const;
    void LoadNotesProfile(const platform::IniFile& ini, const ProfileLoad& how);
    void SaveNotesProfile(platform::IniFile& ini);


    // ---- Pre-listen monitor (monitor/) ---------------------------------------------------------
    QAction* N51 = nullptr;       // "Подслушка" in the playlists' popup menu; disabled while a monitor is open
    int RearVolume = 100;         // the monitor's volume, 0..100
    QPointer<TRearPlay> RearPlay;  // the open monitor window, if any
    // Makes the monitor's deck (tests hand in decks of their own).
    std::function<std::unique_ptr<engine::TAudioEngine>(platform::WindowHandle)> MakeMonitorDeck;
    void buildMonitorMenu();  // once, from the constructor
    void N51Click();
    // A click on a row of LVMaster or LVSlave: with Alt held, the monitor.
    void LVMasterClick(Qt::KeyboardModifiers shift);
    // The first showing, after the profile: the second output device for monitor type 2. One that
    // is the main device's output under another name is refused: the monitor would be on air.
    void InitMonitorDevice();
    // Why the monitor of the current type cannot play (type 2 with its device refused); "" when
    // it can.
    QString MonitorDeviceProblem() const;
    std::function<QString()> MonitorRefusal;  // why InitMonitorDevice refused the second device; empty when it did not
    void LoadMonitorProfile(const platform::IniFile& ini, const ProfileLoad& how);
    void SaveMonitorProfile(platform::IniFile& ini);


    // ---- Output devices (device/) ---------------------------------------------------------------
    // The decks' device and the monitor's second one, read every DeviceWatch::kIntervalMs: the
    // status bar says when one is lost, could not be opened (the air plays on "no sound") or is
    // back, and the diagnostics window shows each one's state.
    std::unique_ptr<DeviceWatch> Devices;
    DeviceWatch::StatusSource DeviceStatusOf;  // the library's, unless a test sets its own first
    QTimer* devicetimer = nullptr;
    // FormCreate: opens the decks' device (MainDev) through deck A and starts watching it.
    void InitMainDevice();
    void devicetimerTimer();


    // ---- About and diagnostics windows (about/) ------------------------------------------------
    TDbgFrm* DbgFrm = nullptr;  // made by CreateDbgFrm, right after the main window
    QAction* N40 = nullptr;     // "О программе..."
    // Milliseconds of a monotonic 64-bit clock; tests put a manual one here before FormCreate.
    std::function<std::int64_t()> TickCount = platform::tickCount64;
    std::int64_t StartTime = 0;  // TickCount() at FormCreate: the diagnostics' up-time
    void buildAboutMenu();  // once, from the constructor
    void CreateDbgFrm();
    void N40Click();
    // Shows or hides the diagnostics window, then brings the main window to the front (Ctrl+D).
    void ToggleDbgFrm();
    // What the diagnostics window shows, read now.
    DbgSnapshot DebugState();


    // ---- Settings dialog (settings/), encoding (encoder/), languages (language/) ---------------
    controls::TMainMenuXP* MainMenuXP1 = nullptr;  // the drawn menu bar holding mFile .. mHelp
    QAction* aSettings = nullptr;     // "Настройки...": the settings dialog
    QAction* Language1 = nullptr;     // "Select language..."
    QAction* aHelpContent = nullptr;  // "Содержание", F1: the chosen language's help
    QAction* N52 = nullptr;           // "Конвертировать" in PopupMenu1: encode the selected rows
    std::string LangDir;              // the language folder, as "system.ini" names it
    EncoderSettings Encoder;          // the profile's Encoder section
    // The encoder program the encode command starts (a stand-in lives beside the player).
    std::string EncoderProgram = "encoder";
    void buildSettingsMenus();  // once, from the constructor
    void aSettingsExecute();
    // Creates, translates and shows the settings dialog (on its Encoder page when asked); true
    // when it was closed with OK.
    bool ShowSettingsDialog(bool encoderPage);
    void timelabelClick();
    // The item-class keywords (kept as written) and row colours, into both lists and the sequencer.
    void SetItemClasses(const std::string& advertId, const std::string& jingleId, const QColor& advertColor,
                        const QColor& jingleColor);
    // The decks' speaker flags by MonType: front speakers for type 1, none for 0 and 2.
    void ApplyMonTypeFlags();
    // The desktop's file types for the player; a failure is shown and the player goes on.
    void RegisterShellTypes();
    void N52Click();
    void LoadEncoderProfile(const platform::IniFile& ini, const ProfileLoad& how);
    void SaveEncoderProfile(platform::IniFile& ini);
    // The language: the main window's texts, the notes window's menu, the search fields, the lists'
    // columns and the messages. Returns the keys that named nothing ("section/key").
    std::vector<std::string> LoadLanguage();
    // The texts the player writes while it runs (Texts) and those of the lower layers' boxes, from
    // the language file: at creation, so that what the start reports speaks the language, and
    // with the rest of the language.
    void LoadTexts();
    // One section of the language file onto a dialog, right after it is created.
    std::vector<std::string> TranslateForm(QWidget* dialog, const std::string& section);
    std::vector<std::string> TranslateNotesMenu(QWidget* notesWindow, const std::string& section);
    std::string LanguageFileName() const;
    void Language1Click();
    void aHelpContentExecute();
    // The application's hint changed (the status tip of what the mouse is over): status panel 0.
    void ApplicationEvents1Hint(const QString& hint);

protected:
    platform::LResult windowProc(std::uint32_t msg, platform::WParam wParam, platform::LParam lParam) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildComponents();
    void buildMenus();
    controls::TVqListView* makeList(const QString& name, QWidget* parent);
    bool forwardToTextField(int key);
    void placeStatusControls();
    void showStatusPanel();
    QString m_hint;  // the application's current hint
    bool m_shown = false;
    QMetaObject::Connection m_focusWatch;  // the application's focus changes, for the edit actions
    // Hand-overs that arrived before the first showing finished, handled right after it.
    std::vector<std::pair<std::string, std::string>> m_pendingCommands;
    bool m_inScan = false;
    bool m_scheduleFiring = false;  // rasptimerTimer is running
};

}  // namespace player
