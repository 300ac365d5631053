// TForm1's components and menus, its message and event plumbing; the features' handlers are in
// playlistedit.cpp, playlistfiles.cpp and startup.cpp.
#include "player/form1.h"

#include "controls/elidedlabel.h"
#include "controls/mainmenuxp.h"
#include "controls/pagescrollarea.h"
#include "controls/splittergrowth.h"
#include "controls/tabrows.h"
#include "controls/tbar.h"
#include "controls/toolbarrows.h"
#include "controls/vtqstatusbar.h"
#include "controls/zrfoldertreeview.h"
#include "engine/audioengine.h"
#include "platform/keys.h"
#include "platform/messageids.h"
#include "platform/usermessages.h"
#include "platform/pathtext.h"
#include "platform/sharedmemory.h"
#include "player/commandlinearea.h"
#include "player/icons.h"
#include "player/images.h"
#include "player/playlist/finddialog.h"
#include "player/playlist/playlistrows.h"
#include "player/sequencing/formsequencer.h"
#include "player/sequencing/maintimer.h"
#include "player/sequencing/nextitem.h"
#include "player/sequencing/sequencingdeck.h"
#include "player/sequencing/sequencingplayback.h"
#include "player/sound/bpmmeter.h"
#include "player/sound/sounddeck.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QResizeEvent>
#include <QStatusTipEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>

namespace player {

namespace {

QMenu* addMainMenu(QMainWindow* window, const QString& name, const QString& title)
{
    QMenu* menu = window->menuBar()->addMenu(title);
    menu->setObjectName(name);
    return menu;
}

QAction* makeAction(QObject* parent, const char* name, const QString& text, const QKeySequence& key = {})
{
    auto* a = new QAction(text, parent);
    a->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty())
        a->setShortcut(key);
    return a;
}

// The side panel's and the playlists' first widths: the profile's default window holds both.
constexpr int kSidePanelWidth = 270;
constexpr int kDefaultPlaylistWidth = 490;

// A page of fixed controls goes into a page of its own that scrolls only up and down.
void scrollPageContents(QWidget* page)
{
    QLayout* controlsLayout = page->layout();
    if (controlsLayout == nullptr)
        return;
    auto* content = new QWidget;
    content->setLayout(controlsLayout);  // the laid-out controls move along with it
    auto* scroll = new controls::PageScrollArea(page);
    scroll->setContent(content);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(scroll);
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent), platform::MessageWindow("TForm1", "Quorvalen")
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quorvalen"));
    setWindowIcon(QIcon(MainIcon(32)));
    SetLanguageTexts(&Texts);
    buildComponents();
    buildMenus();
    buildDatabaseLink();
    buildProfileMenu();
    buildSoundControls();
    buildTagPage();
    buildNotesMenu();
    buildMonitorMenu();
    buildAboutMenu();
    buildJingles();
    buildSchedulePage();
    buildHotKeys();
    buildSettingsMenus();
    for (QWidget* page : {TabSheet3, TabSheet5, TabSheet7})
        scrollPageContents(page);
    new controls::ToolBarRows(*this, {ListBar, ToolBar1, ModeBar, JingleBar});
    CurrentList = LVMaster;
}

TForm1::~TForm1()
{
    // A read under way lands nowhere now: the lists are going.
    Reads->abandon();
    disconnect(m_focusWatch);  // the focus moves while the controls go
    FormDestroy();
    SetLanguageTexts(nullptr);
}

bool TForm1::OnAir() const
{
    if (!Sequencer)
        return false;
    const std::int32_t state = Sequencer->deckA().State();
    return state == engine::STATE_PLAY || state == engine::STATE_PAUSE;
}

controls::TVqListView* TForm1::makeList(const QString& name, QWidget* parent)
{
    auto* list = new controls::TVqListView(parent);
    list->setObjectName(name);
    list->setColumns({QStringLiteral("№"), QString(), QStringLiteral("Название"), QStringLiteral("Время"),
                      QStringLiteral("FileName")});
    list->header()->resizeSection(1, 0);
    list->header()->resizeSection(2, 300);
    list->header()->resizeSection(4, 0);
    // The number (after the row's picture) and the duration as wide as what they show: the title
    // keeps the room of a narrow window.
    const QFontMetrics metrics = list->fontMetrics();
    const int padding = 2 * metrics.averageCharWidth();
    list->header()->resizeSection(0, std::max(list->header()->sectionSizeHint(0),
                                              list->iconSize().width() + metrics.horizontalAdvance(QStringLiteral("9999")) + padding));
    list->header()->resizeSection(3, std::max(list->header()->sectionSizeHint(3),
                                              metrics.horizontalAdvance(QStringLiteral("00:00")) + padding));
    list->StruckMarker = QString::fromLatin1(kMarkerOpenFailed);
    list->viewport()->installEventFilter(this);
    list->viewport()->setAcceptDrops(true);
    list->installEventFilter(this);
    return list;
}

void TForm1::buildComponents()
{
    auto* central = new QWidget(this);
    auto* splitter = new QSplitter(central);

    PageControl1 = new controls::TabRowsWidget(splitter);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    auto* treeLayout = new QVBoxLayout(TabSheet1);
    SHView = new controls::TzrFolderTreeView(TabSheet1);
    SHView->setObjectName(QStringLiteral("SHView"));
    SHView->setDragEnabled(true);
    treeLayout->addWidget(SHView);
    PageControl1->addTab(TabSheet1, QStringLiteral("Explorer"));
    auto* findPage = new QWidget;
    findPage->setObjectName(QStringLiteral("TabSheet2"));
    auto* findLayout = new QVBoxLayout(findPage);
    LVFindResult = new controls::TVqListView(findPage);
    LVFindResult->setObjectName(QStringLiteral("LVFindResult"));
    LVFindResult->setDragEnabled(true);
    findLayout->addWidget(LVFindResult);
    PageControl1->addTab(findPage, QStringLiteral("Search"));

    auto* right = new QWidget(splitter);
    auto* rightLayout = new QVBoxLayout(right);
    pcPlaylist = new QTabWidget(right);
    pcPlaylist->setObjectName(QStringLiteral("pcPlaylist"));
    _master = new QWidget;
    _master->setObjectName(QStringLiteral("_master"));
    _slave = new QWidget;
    _slave->setObjectName(QStringLiteral("_slave"));
    auto* ml = new QVBoxLayout(_master);
    LVMaster = makeList(QStringLiteral("LVMaster"), _master);
    ml->addWidget(LVMaster);
    auto* sl = new QVBoxLayout(_slave);
    LVSlave = makeList(QStringLiteral("LVSlave"), _slave);
    LVSlave->model()->setHeaderData(1, Qt::Horizontal, QStringLiteral("Исполнитель"));
    // Their numbers, totals and notes marks follow the rows' changes.
    LVMaster->trackChanges();
    LVSlave->trackChanges();
    sl->addWidget(LVSlave);
    pcPlaylist->addTab(_master, QStringLiteral(" Main "));
    pcPlaylist->addTab(_slave, QStringLiteral(" Temp "));
    rhelper = makeList(QStringLiteral("rhelper"), right);
    rhelper->setColumns({QStringLiteral("N"), QStringLiteral("Исполнитель"), QStringLiteral("Название"),
                         QStringLiteral("Время"), QStringLiteral("FileName")});
    rhelper->hide();
    Panel2 = new QLabel(right);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Label11 = new QLabel(right);
    Label11->setObjectName(QStringLiteral("Label11"));
    Label11->hide();
    Label28 = new QLabel(QStringLiteral("ESC - отмена"), right);
    Label28->setObjectName(QStringLiteral("Label28"));
    Label28->hide();
    Gauge1 = new QProgressBar(right);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setRange(0, 100);
    Gauge1->hide();
    auto* displays = new QWidget(right);
    auto* dl = new QHBoxLayout(displays);
    dl->setContentsMargins(0, 0, 0, 0);
    edToEnd = new QLabel(QStringLiteral("00:00.0"), displays);
    edToEnd->setObjectName(QStringLiteral("edToEnd"));
    EdToEnd2 = new QLabel(displays);
    EdToEnd2->setObjectName(QStringLiteral("EdToEnd2"));
    timelabel = new QLabel(displays);
    timelabel->setObjectName(QStringLiteral("timelabel"));
    Label29 = new controls::TElidedLabel(displays);
    Label29->setObjectName(QStringLiteral("Label29"));
    for (QLabel* l : {edToEnd, EdToEnd2, Label29, timelabel})
        dl->addWidget(l, l == Label29 ? 1 : 0);
    TBar1 = new controls::TTBar(right);
    TBar1->setObjectName(QStringLiteral("TBar1"));
    TBar1->setOrientation(Qt::Horizontal);
    TBar1->setRange(0, 1000);
    rightLayout->addWidget(displays);
    rightLayout->addWidget(TBar1);
    rightLayout->addWidget(pcPlaylist, 1);
    rightLayout->addWidget(Panel2);

    splitter->setChildrenCollapsible(false);
    splitter->setSizes({kSidePanelWidth, kDefaultPlaylistWidth});
    new controls::SplitterGrowth(splitter, 3);  // a third of a wider window to the side panel
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(splitter, 1);
    StatusBar1 = new controls::TvtqStatusBar(central);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setImages(PlayerImages());
    StatusBar1->setSizeGrip(true);
    StatusBar1->setUseSystemFont(true);
    {
        controls::TvtqStatusPanels& panels = StatusBar1->Panels();
        panels.BeginUpdate();
        for (int i = 0; i < 7; ++i)
            panels.Add()->setFitToContent(i > 0);
        panels[0]->setWidth(190);
        panels[0]->setSpring(true);
        panels[1]->setText(QStringLiteral("cpu"));
        panels[1]->setImageIndex(kImageCpu);
        panels[1]->Hint = QStringLiteral("CPU load");
        panels[2]->setText(QStringLiteral("mem"));
        panels[2]->setImageIndex(kImageMemory);
        panels[2]->Hint = QStringLiteral("RAM used");
        panels[3]->setText(QStringLiteral("LOADING: PLEASE WAIT....."));
        panels[3]->setImageIndex(kImageLoading);
        panels.EndUpdate();
    }
    // The folder scan's gauge and labels sit on the bar, over its first panel.
    for (QWidget* w : std::initializer_list<QWidget*>{Label28, Label11, Gauge1})
        w->setParent(StatusBar1);
    StatusBar1->installEventFilter(this);
    layout->addWidget(StatusBar1);
    setCentralWidget(central);

    FindDialog1 = new TFindDialog(this);
    FindDialog1->OnFind = [this] { FindNext(); };

    setAcceptDrops(true);
    connect(LVMaster, &QAbstractItemView::doubleClicked, this, [this] { LVMasterDblClick(); });
    connect(pcPlaylist, &QTabWidget::currentChanged, this, [this] { pcPlaylistChange(); });
    connect(LVMaster->header(), &QHeaderView::sectionClicked, this, [this](int s) { LVMasterColumnClick(s); });
    connect(SHView, &QTreeWidget::itemDoubleClicked, this, [this] { SHView1DblClick(); });
    for (controls::TVqListView* list : {LVMaster, LVSlave}) {
        list->OnMyEndDrag = [this](QObject*) { RenumberList(); };
        connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { UpdateActions(); });
        connect(list->model(), &QAbstractItemModel::rowsInserted, this, [this] { UpdateActions(); });
        connect(list->model(), &QAbstractItemModel::rowsRemoved, this, [this] { UpdateActions(); });
    }
    buildMeters();
}

void TForm1::buildMenus()
{
    // The drawn menu bar: every drop-down menu added below takes its look.
    MainMenuXP1 = new controls::TMainMenuXP(this);
    MainMenuXP1->setObjectName(QStringLiteral("MainMenuXP1"));
    setMenuBar(MainMenuXP1);

    aNew = makeAction(this, "aNew", QStringLiteral("Создать"), QKeySequence(Qt::CTRL | Qt::Key_N));
    aOpen = makeAction(this, "aOpen", QStringLiteral("Открыть..."), QKeySequence(Qt::CTRL | Qt::Key_O));
    aSave = makeAction(this, "aSave", QStringLiteral("Сохранить"), QKeySequence(Qt::CTRL | Qt::Key_S));
    aSaveAs = makeAction(this, "aSaveAs", QStringLiteral("Сохранить как..."));
    aEditCut = makeAction(this, "aEditCut", QStringLiteral("Вырезать"), QKeySequence(Qt::CTRL | Qt::Key_X));
    aEditCopy = makeAction(this, "aEditCopy", QStringLiteral("Копировать"), QKeySequence(Qt::CTRL | Qt::Key_C));
    aEditPaste = makeAction(this, "aEditPaste", QStringLiteral("Вставить"), QKeySequence(Qt::CTRL | Qt::Key_V));
    aEditUndo = makeAction(this, "aEditUndo", QStringLiteral("Отменить"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    aEditRedo = makeAction(this, "aEditRedo", QStringLiteral("Повторить"), QKeySequence(Qt::CTRL | Qt::Key_Y));
    aEditRedo->setToolTip(QStringLiteral("Повтор отмененного действия"));
    aEditRedo->setStatusTip(aEditRedo->toolTip());
    aEditRedo->setVisible(false);
    aEditRedo->setEnabled(false);
    aEditDel = makeAction(this, "aEditDel", QStringLiteral("Удалить"));
    aEditDelAll = makeAction(this, "aEditDelAll", QStringLiteral("Удалить все"), QKeySequence(Qt::CTRL | Qt::Key_Delete));
    N25 = makeAction(this, "N25", QStringLiteral("Добавить файл..."));
    N25->setToolTip(QStringLiteral("Добавить файл"));
    N25->setStatusTip(N25->toolTip());
    N27 = makeAction(this, "N27", QStringLiteral("Поиск..."), QKeySequence(Qt::CTRL | Qt::Key_F));
    N27->setToolTip(QStringLiteral("Поиск"));
    N27->setStatusTip(N27->toolTip());
    N37 = makeAction(this, "N37", QStringLiteral("Выделить все"), QKeySequence(Qt::CTRL | Qt::Key_A));
    N47 = makeAction(this, "N47", QStringLiteral("Вставить плейлист..."));
    N47->setToolTip(QStringLiteral("Вставить плейлист"));
    N47->setStatusTip(N47->toolTip());
    N58 = makeAction(this, "N58", QStringLiteral("Добавить треки из плейлиста..."));
    N53 = makeAction(this, "N53", QStringLiteral("Переименовать файл..."));
    N55 = makeAction(this, "N55", QStringLiteral("Этот трек будет играть следующим"));
    Randomize1 = makeAction(this, "Randomize1", QStringLiteral("Randomize"));
    mSlave2Master = makeAction(this, "mSlave2Master", QStringLiteral("Slave to Master"));
    mSlave2Master->setVisible(false);
    N21 = makeAction(this, "N21", QStringLiteral("Шрифт..."));
    Refresh1 = makeAction(this, "Refresh1", QStringLiteral("Refresh (F5)"));
    N20 = makeAction(this, "N20", QStringLiteral("Выход"));
    N20Tray = makeAction(this, "N20Tray", QStringLiteral("Выход"));
    N20Player = makeAction(this, "N20Player", QStringLiteral("Плеер"));
    aPlayAction = makeAction(this, "aPlay", QStringLiteral("Play"));
    aPauseAction = makeAction(this, "aPause", QStringLiteral("Pause"));
    aStopAction = makeAction(this, "aStop", QStringLiteral("Stop"));
    aNextTrackAction = makeAction(this, "aNextTrack", QStringLiteral("Next Track"));
    aPrevTrackAction = makeAction(this, "aPrevTrack", QStringLiteral("Previous Track"));
    // The list commands come first, New leading, on a bar of their own: in a narrow window it goes
    // on a line of its own rather than push the transport's last buttons out of sight.
    ListBar = addToolBar(QStringLiteral("Playlist"));
    ListBar->setObjectName(QStringLiteral("ListBar"));
    for (QAction* a : {aNew, N25, N27, N47})
        ListBar->addAction(a);
    ToolBar1 = addToolBar(QStringLiteral("Transport"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    const std::pair<QAction*, const char*> buttons[] = {{aPrevTrackAction, "btPrev"}, {aPlayAction, "btPlay"},
                                                        {aPauseAction, "btPause"}, {aStopAction, "btStop"},
                                                        {aNextTrackAction, "btNext"}};
    for (const auto& [action, name] : buttons) {
        ToolBar1->addAction(action);
        if (QWidget* button = ToolBar1->widgetForAction(action))
            button->setObjectName(QString::fromLatin1(name));
    }
    connect(aPlayAction, &QAction::triggered, this, [this] { aPlay(); });
    connect(aPauseAction, &QAction::triggered, this, [this] { aPause(); });
    connect(aStopAction, &QAction::triggered, this, [this] { aStop(); });
    // Next and previous move on only while a row is playing.
    connect(aNextTrackAction, &QAction::triggered, this, [this] {
        if (LVMaster->HLIndex >= 0)
            aNextTrack();
    });
    connect(aPrevTrackAction, &QAction::triggered, this, [this] {
        if (LVMaster->HLIndex >= 0)
            aPrevTrack();
    });
    connect(N20Player, &QAction::triggered, this, [this] { windowProc(platform::UM_TRAY_NOTIFY, 0, 513); });

    // Window-wide shortcuts; the handler of Ctrl+A hands it to a focused text field first. The
    // clipboard, undo and delete-all keys are enabled only while the current list has the focus,
    // so elsewhere they reach the focused control.
    for (QAction* a : {aNew, aOpen, aSave, aEditCut, aEditCopy, aEditPaste, aEditUndo, aEditDelAll, N27, N37}) {
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, [this] { UpdateActions(); });

    mFile = addMainMenu(this, QStringLiteral("mFile"), QStringLiteral("Файл"));
    mFile->addAction(aNew);
    mFile->addAction(aOpen);
    mFile->addAction(aSave);
    mFile->addAction(aSaveAs);
    mFile->addSeparator();
    for (int i = 0; i < 9; ++i) {
        h[static_cast<std::size_t>(i)] = makeAction(this, "", QString());
        h[static_cast<std::size_t>(i)]->setObjectName(QStringLiteral("h%1").arg(i + 1));
        h[static_cast<std::size_t>(i)]->setVisible(false);
        mFile->addAction(h[static_cast<std::size_t>(i)]);
        connect(h[static_cast<std::size_t>(i)], &QAction::triggered, this, [this, i] { RecentClick(i + 1); });
    }
    mFile->addSeparator();
    mFile->addAction(N20);

    mEdit = addMainMenu(this, QStringLiteral("mEdit"), QStringLiteral("Правка"));
    for (QAction* a : {aEditCut, aEditCopy, aEditPaste, aEditUndo, aEditRedo, aEditDel, aEditDelAll, N37, N27})
        mEdit->addAction(a);
    mPlaylist = addMainMenu(this, QStringLiteral("mPlaylist"), QStringLiteral("Плейлист"));
    for (QAction* a : {N25, N47, N58, Randomize1})
        mPlaylist->addAction(a);
    mView = addMainMenu(this, QStringLiteral("mView"), QStringLiteral("Вид"));
    mView->addAction(N21);
    mView->addAction(Refresh1);
    // The features hang their items into these (the database link, profiles, jingles, help).
    mBase = addMainMenu(this, QStringLiteral("mBase"), QStringLiteral("Музыкальная база"));
    mSettings = addMainMenu(this, QStringLiteral("mSettings"), QStringLiteral("Настройки"));
    mJingles = addMainMenu(this, QStringLiteral("mJingles"), QStringLiteral("Джинглы"));
    mHelp = addMainMenu(this, QStringLiteral("mHelp"), QStringLiteral("Справка"));

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    for (QAction* a : {aEditCut, aEditCopy, aEditPaste, aEditDel, N55, N53, mSlave2Master})
        PopupMenu1->addAction(a);
    for (QMenu* menu : {mEdit, PopupMenu1})
        connect(menu, &QMenu::aboutToShow, this, [this] { UpdateActions(); });
    for (controls::TVqListView* l : {LVMaster, LVSlave}) {
        l->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(l, &QWidget::customContextMenuRequested, this,
                [this, l](const QPoint& p) { PopupMenu1->popup(l->viewport()->mapToGlobal(p)); });
    }
    TrayMenu = new QMenu(this);
    TrayMenu->setObjectName(QStringLiteral("TrayMenu"));
    TrayMenu->addAction(N20Player);
    TrayMenu->addAction(N20Tray);

    connect(aNew, &QAction::triggered, this, [this] { aNewExecute(); });
    connect(aOpen, &QAction::triggered, this, [this] { aOpenExecute(); });
    connect(aSave, &QAction::triggered, this, [this] { aSaveExecute(); });
    connect(aSaveAs, &QAction::triggered, this, [this] { aSaveAsExecute(); });
    connect(aEditCut, &QAction::triggered, this, [this] { aEditCutExecute(); });
    connect(aEditCopy, &QAction::triggered, this, [this] { aEditCopyExecute(); });
    connect(aEditPaste, &QAction::triggered, this, [this] { aEditPasteExecute(); });
    connect(N37, &QAction::triggered, this, [this] {
        if (!forwardToTextField(Qt::Key_A))
            N37Click();
    });
    connect(aEditUndo, &QAction::triggered, this, [this] { aEditUndoExecute(); });
    connect(aEditDel, &QAction::triggered, this, [this] { aEditDelExecute(); });
    connect(aEditDelAll, &QAction::triggered, this, [this] { aEditDelAllExecute(); });
    connect(N25, &QAction::triggered, this, [this] { N25Click(); });
    connect(N27, &QAction::triggered, this, [this] { N27Click(); });
    connect(N47, &QAction::triggered, this, [this] { N47Click(); });
    connect(N58, &QAction::triggered, this, [this] { N58Click(); });
    connect(N53, &QAction::triggered, this, [this] { N53Click(); });
    connect(N55, &QAction::triggered, this, [this] { N55Click(); });
    connect(Randomize1, &QAction::triggered, this, [this] { Randomize1Click(); });
    connect(mSlave2Master, &QAction::triggered, this, [this] { mSlave2MasterClick(); });
    connect(N21, &QAction::triggered, this, [this] { N21Click(); });
    connect(Refresh1, &QAction::triggered, this, [this] { Refresh1Click(); });
    connect(N20, &QAction::triggered, this, [this] { N20Click(); });
    connect(N20Tray, &QAction::triggered, this, [this] { N20Click(); });
    buildModeControls();
}

bool TForm1::forwardToTextField(int key)
{
    QWidget* focus = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(focus)) {
        switch (key) {
        case Qt::Key_X: line->cut(); break;
        case Qt::Key_C: line->copy(); break;
        case Qt::Key_V: line->paste(); break;
        case Qt::Key_A: line->selectAll(); break;
        case Qt::Key_Delete: line->del(); break;
        default: return false;
        }
        return true;
    }
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(focus)) {
        if (key == Qt::Key_A)
            spin->selectAll();
        return true;  // the spin box's own editor handles the clipboard keys it receives
    }
    if (auto* text = qobject_cast<QTextEdit*>(focus)) {
        switch (key) {
        case Qt::Key_X: text->cut(); break;
        case Qt::Key_C: text->copy(); break;
        case Qt::Key_V: text->paste(); break;
        case Qt::Key_A: text->selectAll(); break;
        default: return false;
        }
        return true;
    }
    if (auto* plain = qobject_cast<QPlainTextEdit*>(focus)) {
        switch (key) {
        case Qt::Key_X: plain->cut(); break;
        case Qt::Key_C: plain->copy(); break;
        case Qt::Key_V: plain->paste(); break;
        case Qt::Key_A: plain->selectAll(); break;
        default: return false;
        }
        return true;
    }
    return false;
}

void TForm1::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        ScanAbort = true;
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool TForm1::event(QEvent* event)
{
    // The application's hint: the status tip of the control or menu item under the mouse.
    if (event->type() == QEvent::StatusTip) {
        ApplicationEvents1Hint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    // The desktop frames the window once it is shown, without telling it (the first paint comes
    // after that): the window placed before is placed again by its real frame.
    if (CentreWhenFramed && (event->type() == QEvent::Paint || event->type() == QEvent::Move) &&
        frameGeometry() != geometry() && !isMaximized())
        CentreOnScreen(size());
    return QMainWindow::event(event);
}

void TForm1::placeStatusControls()
{
    const controls::TvtqStatusPanel* first = StatusBar1->Panels().Items(0);
    const int width = first != nullptr && first->PanelRect().right > 0 ? first->PanelRect().right : 190;
    const int height = std::max(1, StatusBar1->height() - 4);
    const int labelWidth = Label28->sizeHint().width();
    Label28->setGeometry(2, 2, labelWidth, height);
    const int rest = std::max(10, width - labelWidth - 6);
    Label11->setGeometry(labelWidth + 4, 2, rest, height);
    Gauge1->setGeometry(labelWidth + 4, 2, rest, height);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == StatusBar1 && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        placeStatusControls();
    if (LVMaster == nullptr || LVSlave == nullptr || rhelper == nullptr)
        return QMainWindow::eventFilter(watched, event);
    const bool isList = watched == LVMaster || watched == LVSlave || watched == rhelper;
    const bool isViewport = watched == LVMaster->viewport() || watched == LVSlave->viewport() ||
                            watched == rhelper->viewport();
    if (isList && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
            aEditDelExecute();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            ScanAbort = true;
            return true;
        }
    }
    if (isViewport && (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove)) {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (drag->source() == SHView || drag->source() == LVFindResult ||
            (drag->source() == nullptr && drag->mimeData()->hasUrls())) {
            drag->acceptProposedAction();
            return true;
        }
        drag->ignore();
        return true;
    }
    if (isViewport && event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        if (drop->source() == SHView || drop->source() == LVFindResult) {
            auto* list = static_cast<controls::TVqListView*>(watched->parent());
            const QModelIndex at = list->indexAt(drop->position().toPoint());
            LVMasterDragDrop(drop->source(), at.isValid() ? at.row() : -1);
            drop->acceptProposedAction();
            return true;
        }
        if (drop->source() == nullptr && drop->mimeData()->hasUrls()) {
            dropEvent(drop);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())  // the name's bytes, also those that are not UTF-8
            paths << platform::pathToQString(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString());
    event->acceptProposedAction();
    WMDropFiles(paths);
}

platform::LResult TForm1::windowProc(std::uint32_t msg, platform::WParam wParam, platform::LParam lParam)
{
    switch (msg) {
    case platform::UM_PING:
        return kPlayerPingAnswer;
    case platform::UM_SEARCH_QUERY:  // the server's answer, nested in our own query
        WMSearchResult(wParam);
        return 0;
    case platform::UM_LOAD_TEMP_LIST:
        WMLoadTempList(wParam);
        return 0;
    case platform::UM_TRAY_NOTIFY:
        if (lParam == 513) {  // a left click on the tray icon: bring the window back
            showNormal();
            raise();
            activateWindow();
        }
        return 0;
    case platform::UM_COMMAND_LINE:
        // A hand-over that arrives before the first showing has finished waits for it, so the
        // profile's playlist load cannot wipe the handed-over row.
        if (!m_shown) {
            m_pendingCommands.push_back(ReadCommandLineArea(CommandLineArea));
        } else {
            WMCommandLine();
        }
        return CommandLineArea != nullptr && CommandLineArea->isOpen() ? kCommandLineTaken : 0;
    case platform::UM_DECK_ENDED:
        WMDeckEnded(wParam, lParam);
        return 0;
    default:
        return 0;
    }
}


}  // namespace player
