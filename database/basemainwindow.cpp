// The main window's life: building the window, start-up by command line, showing with "Base.ini",
// closing with the save question, window messages, language captions and window-wide services.
#include "database/basemainwindow.h"

#include "controls/lang.h"
#include "controls/tbar.h"
#include "controls/vqpossave.h"
#include "database/abortflag.h"
#include "database/centerdialog.h"
#include "database/dialogs/statthrd.h"
#include "database/errorlog.h"
#include "database/filetype.h"
#include "database/previewdeck.h"
#include "database/progresswindow.h"
#include "database/strconst.h"
#include "database/tracklistmodel.h"
#include "database/vqstatusbar.h"
#include "engine/audioengine.h"
#include "media/tag.h"
#include "platform/cp1251.h"
#include "platform/inifile.h"
#include "platform/messageids.h"
#include "platform/process.h"
#include "platform/programfolder.h"
#include "platform/desktoptypes.h"
#include "platform/registry.h"
#include "platform/usermessages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <stdexcept>
#include <utility>

namespace database {

namespace {

std::string initialCaption(const std::vector<std::string>& args)
{
    if (!args.empty() && args[0] == "hidden")
        return "DatabaseWindow" + (args.size() > 1 ? args[1] : std::string());
    return "Music base";
}

QString q(const std::string& s) { return QString::fromStdString(s); }

constexpr QSize kMinimumSize(745, 544);

// " (<version>)" after the window's caption, or nothing when the program file has no version.
std::string versionSuffix()
{
    const std::string version = media::GetFileVersionString(QCoreApplication::applicationFilePath().toStdString());
    return version.empty() ? std::string() : " (" + version + ")";
}

}  // namespace

TBase_main_window::TBase_main_window(const std::vector<std::string>& args, QWidget* parent)
    : QMainWindow(parent), platform::MessageWindow(kWindowClass, initialCaption(args)), m_cmd(parseCommandLine(args))
{
    setObjectName("Base_main_window");
    // Nobody sees the search server's window: what it has to report, from its start on, is logged.
    m_unseen.set(m_cmd.mode == StartMode::Hidden);
    buildWindow();
    guarded([this] { FormCreate(); });
}

TBase_main_window::~TBase_main_window()
{
    unregisterWindow();
    m_statThread.reset();  // stops and waits for a run that is still going
    m_previewDeck.reset();
}

void TBase_main_window::buildWindow()
{
    setWindowTitle("Music base");
    setMinimumSize(kMinimumSize);
    m_model = new TrackListModel(Base, this);

    auto* central = new QWidget(this);
    m_host = central;
    setCentralWidget(central);
    auto* layout = new QVBoxLayout(central);

    auto button = [&](const char* name, const char* text) {
        auto* b = new QPushButton(QString::fromUtf8(text), central);
        b->setObjectName(name);
        return b;
    };
    auto label = [&](const char* name, const char* text) {
        auto* l = new QLabel(QString::fromUtf8(text), central);
        l->setObjectName(name);
        return l;
    };

    // Two rows of commands, so that every caption fits the window's least width.
    auto* top = new QHBoxLayout;
    Button1 = button("Button1", "Добавить папку");
    Button10 = button("Button10", "Добавить файл");
    Button5 = button("Button5", "Сохранить");
    Button6 = button("Button6", "Загрузить");
    Button8 = button("Button8", "Очистить");
    Button2 = button("Button2", "Проверить базу");
    Button7 = button("Button7", "Настройки");
    Button9 = button("Button9", "Статистика");
    for (QPushButton* b : {Button1, Button10, Button5, Button6, Button8, Button2})
        top->addWidget(b);
    top->addStretch(1);
    layout->addLayout(top);
    auto* baseRow = new QHBoxLayout;
    Label3 = label("Label3", "0");
    Label5 = label("Label5", "---");
    // A long path shows as much of itself as fits, and never widens the window.
    Label5->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    baseRow->addWidget(label("Label2", "Записей:"));
    baseRow->addWidget(Label3);
    baseRow->addWidget(label("Label4", "База:"));
    baseRow->addWidget(Label5, 1);
    baseRow->addWidget(Button7);
    baseRow->addWidget(Button9);
    layout->addLayout(baseRow);

    auto* search = new QGridLayout;
    static const char* kEditHints[8] = {"Название", "Исполнитель", "Альбом", "Год",
                                        "Жанр",     "Комментарий", "Время",  "Имя файла"};
    for (int i = 0; i < 8; ++i) {
        auto* e = new QLineEdit(central);
        e->setObjectName(QString("Edit%1").arg(i + 1));
        e->setPlaceholderText(QString::fromUtf8(kEditHints[i]));
        e->installEventFilter(this);
        Edits[static_cast<std::size_t>(i)] = e;
        search->addWidget(e, i / 4, i % 4);
    }
    Button3 = button("Button3", "Поиск");
    Button4 = button("Button4", "Сброс");
    search->addWidget(Button3, 0, 4);
    search->addWidget(Button4, 1, 4);
    Label15 = label("Label15", "0");
    Label13 = label("Label13", "0.00");
    search->addWidget(Label15, 0, 5);
    search->addWidget(Label13, 1, 5);
    layout->addLayout(search);

    ListView1 = new QTableView(central);
    ListView1->setObjectName("ListView1");
    ListView1->setModel(m_model);
    ListView1->setShowGrid(true);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->verticalHeader()->hide();
    ListView1->verticalHeader()->setDefaultSectionSize(ListView1->fontMetrics().height() + 4);
    ListView1->setWordWrap(false);
    static const int kWidths[9] = {160, 160, 160, 44, 70, 160, 60, 650, 0};
    for (int c = 0; c < 9; ++c)
        ListView1->setColumnWidth(c, kWidths[c]);
    ListView1->setColumnHidden(8, true);
    ListView1->horizontalHeader()->setSectionsClickable(true);
    layout->addWidget(ListView1, 1);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    auto item = [&](const char* name, const char* text, QKeySequence keys) {
        QAction* a = PopupMenu1->addAction(QString::fromUtf8(text));
        a->setObjectName(name);
        if (!keys.isEmpty()) {
            a->setShortcut(keys);
            // Only while the list has the focus: Del in a search field edits the field.
            a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            ListView1->addAction(a);
        }
        return a;
    };
    Delete1 = item("Delete1", "Удалить из списка", QKeySequence(Qt::Key_Delete));
    Deletefile1 = item("Deletefile1", "Удалить из списка и файл", QKeySequence(Qt::CTRL | Qt::Key_Delete));
    Deletefile1->setProperty("Tag", 1);
    N4 = item("N4", "Копировать файл(ы) в папку...", {});
    PopupMenu1->addSeparator();
    N2 = item("N2", "Выделить все", {});
    N2->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    ListView1->addAction(N2);
    PopupMenu1->addSeparator();
    id3v11 = item("id3v11", "Редактор тегов id3v1...", QKeySequence(Qt::ALT | Qt::Key_3));
    N5 = item("N5", "Пересчитать время", {});
    ListView1->installEventFilter(this);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu1->popup(ListView1->viewport()->mapToGlobal(p)); });

    auto* totals = new QHBoxLayout;
    Label17 = label("Label17", "0:00:00");
    Label20 = label("Label20", "0:00:00");
    totals->addWidget(label("Label16", "Общее время:"));
    totals->addWidget(Label17);
    totals->addWidget(label("Label18", "Выделено:"));
    totals->addWidget(Label20);
    totals->addStretch(1);
    layout->addLayout(totals);
    auto* bottom = new QHBoxLayout;
    auto speed = [&](const char* name, QStyle::StandardPixmap icon, int tag) {
        auto* b = new QToolButton(central);
        b->setObjectName(name);
        b->setIcon(style()->standardIcon(icon));
        b->setProperty("Tag", tag);
        b->setEnabled(false);
        bottom->addWidget(b);
        return b;
    };
    SpeedButton1 = speed("SpeedButton1", QStyle::SP_MediaSkipBackward, 4);
    SpeedButton2 = speed("SpeedButton2", QStyle::SP_MediaStop, 2);
    SpeedButton3 = speed("SpeedButton3", QStyle::SP_MediaPause, 3);
    SpeedButton4 = speed("SpeedButton4", QStyle::SP_MediaPlay, 1);
    SpeedButton5 = speed("SpeedButton5", QStyle::SP_MediaSkipForward, 5);
    ProgressBar1 = new QProgressBar(central);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setFixedWidth(140);
    ProgressBar1->installEventFilter(this);
    bottom->addWidget(ProgressBar1);
    Label19 = label("Label19", "00:00/00:00");
    bottom->addWidget(Label19);
    bottom->addStretch(1);
    tbVolume = new controls::TTBar(Qt::Vertical, central);
    tbVolume->setObjectName("tbVolume");
    tbVolume->setRange(0, 100);
    tbVolume->setFixedHeight(48);
    bottom->addWidget(tbVolume);
    Button11 = button("Button11", "Сохранить плейлист");
    Button12 = button("Button12", "В плеер");
    bottom->addWidget(Button11);
    bottom->addWidget(Button12);
    layout->addLayout(bottom);

    VqStatusBar1 = new TVqStatusBar(this);
    setStatusBar(VqStatusBar1);
    Gauge1 = new QProgressBar;
    Gauge1->setObjectName("Gauge1");
    Gauge1->setRange(0, 100);
    Gauge1->setTextVisible(false);
    VqStatusBar1->host(Gauge1);
    Gauge1->hide();

    auto timer = [this](const char* name, int ms) {
        auto* t = new QTimer(this);
        t->setObjectName(name);
        t->setInterval(ms);
        return t;
    };
    Timer1 = timer("Timer1", 100);
    Timer2 = timer("Timer2", 1000);
    Timer3 = timer("Timer3", 30000);
    ping_player = timer("ping_player", 3000);

    m_posSave = new controls::TVqPosSave(this);
    m_posSave->RootKey = controls::HKCU;
    m_posSave->Key = "Software\\Caldrivane\\Base";

    auto on = [this](auto* sender, auto signal, auto handler) {
        connect(sender, signal, this, [this, handler] { guarded(handler); });
    };
    on(Button1, &QPushButton::clicked, [this] { Button1Click(); });
    on(Button10, &QPushButton::clicked, [this] { Button10Click(); });
    on(Button5, &QPushButton::clicked, [this] { Button5Click(); });
    on(Button6, &QPushButton::clicked, [this] { Button6Click(); });
    on(Button8, &QPushButton::clicked, [this] { Button8Click(); });
    on(Button3, &QPushButton::clicked, [this] { SearchBase(); });
    // Not while a search or a pass walks the list: the reset would refill it under them.
    on(Button4, &QPushButton::clicked, [this] {
        if (!busy())
            ResetSearch();
    });
    on(N2, &QAction::triggered, [this] { N2Click(); });
    on(N5, &QAction::triggered, [this] { N5Click(); });
    on(Button2, &QPushButton::clicked, [this] { Button2Click(); });
    on(Button7, &QPushButton::clicked, [this] { Button7Click(); });
    on(Button9, &QPushButton::clicked, [this] { Button9Click(); });
    on(Delete1, &QAction::triggered, [this] { Delete1Click(0); });
    on(Deletefile1, &QAction::triggered, [this] { Delete1Click(1); });
    on(N4, &QAction::triggered, [this] { N4Click(); });
    on(id3v11, &QAction::triggered, [this] { id3v11Click(); });
    for (QToolButton* b : {SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4, SpeedButton5}) {
        const int tag = b->property("Tag").toInt();
        on(b, &QToolButton::clicked, [this, tag] { SpeedButton1Click(tag); });
    }
    on(Timer1, &QTimer::timeout, [this] { Timer1Timer(); });
    on(Timer2, &QTimer::timeout, [this] { Timer2Timer(); });
    on(tbVolume, &QSlider::valueChanged, [this] { tbVolumeChange(); });
    on(ListView1, &QAbstractItemView::doubleClicked, [this] { ListView1DblClick(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { ListView1Change(); });
    on(Timer3, &QTimer::timeout, [this] { Timer3Timer(); });
    on(ping_player, &QTimer::timeout, [this] { ping_playerTimer(); });
    on(Button11, &QPushButton::clicked, [this] { Button11Click(); });
    on(Button12, &QPushButton::clicked, [this] { Button12Click(); });
    connect(ListView1->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { guarded([this, column] { ListView1ColumnClick(column); }); });
    connect(ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        CalcTotalTime(1);
        ListView1Change();
    });
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] {
        guarded([] { platform::openDocument(controls::HelpDocument(langDir())); });
    });

    fitCaptions();
    if (QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void TBase_main_window::guarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        platform::messageBox(e.what(), kAppTitle, platform::MB_OK | platform::MB_ICONERROR);
    } catch (...) {
        platform::messageBox("Unknown error", kAppTitle, platform::MB_OK | platform::MB_ICONERROR);
    }
}

void TBase_main_window::FormCreate()
{
    loadBaseEngineSettings();
    // Qt's own buttons and dialogs speak the chosen language in every mode, the hidden one too.
    controls::LoadQtTranslations(langDir());
    m_previewDeck = createPreviewDeck(handle());
    std::string caption = windowTitle().toStdString() + versionSuffix();
    BFName = m_cmd.BFName;
    if (m_cmd.mode == StartMode::Hidden) {
        caption = initialCaption({"hidden", m_cmd.handleText});
        ping_player->start();
    }
    setWindowTitle(q(caption));
    setCaption(caption);
    PlayerWindow = m_cmd.PlayerWindow;
    LoadBase();
    if (!RegisterFileType("dfs", QCoreApplication::applicationFilePath().toStdString()))
        throw std::runtime_error("Cannot register the file type \".dfs\" in " + platform::Registry::storePath() +
                                 " or with the desktop in " + platform::xdgDataHome() + " and " +
                                 platform::xdgConfigHome());
}

void TBase_main_window::FormShow()
{
    m_baseIniRead = true;
    const platform::IniFile ini(platform::programPath("Base.ini"));
    Options.FontName = ListView1->font().family().toStdString();
    Options.FontSize = ListView1->font().pointSize();
    readBaseOptions(ini, Options);
    {
        // Read silently: the volume is applied at the next preview command.
        const QSignalBlocker quiet(tbVolume);
        tbVolume->setValue(100 - Options.Volume);
    }
    if (m_previewDeck)
        initPreviewOutput(*m_previewDeck, Options.MonType);
    applyOptionsToView();
    const bool firstShowing = !std::exchange(m_shownOnce, true);
    if (Options.OpenLastBase && !m_cmd.baseOnCommandLine)
        BFName = Options.LastBaseName;
    Label5->setText(q(BFName));
    // A base changed in memory is not silently replaced by the file's contents. The file that the
    // creation has just read (or refused, and said so) is not read again as the window first shows.
    const bool justRead = firstShowing && m_cmd.mode != StartMode::Hidden && BFName == m_cmd.BFName;
    if (BFName != "---" && !Modified && !justRead)
        LoadBase();
    CalcTotalTime(0);
    LoadStrings(langFile());
    Texts.Load(langFile());
    ApplyCaptions(this, "Main.Captions");
    ApplyMenuCaptions(this, "Main.Menus");
    fitCaptions();
}

void TBase_main_window::fitCaptions()
{
    // A larger font or a longer translation makes the window larger, never a caption shorter.
    setMinimumSize(minimumSizeHint().expandedTo(kMinimumSize));
}

void TBase_main_window::applyOptionsToView()
{
    QFont font = ListView1->font();
    if (!Options.FontName.empty())
        font.setFamily(q(Options.FontName));
    if (Options.FontSize > 0)
        font.setPointSize(Options.FontSize);
    font.setBold(Options.FontStyle & 2);
    font.setItalic(Options.FontStyle & 4);
    font.setUnderline(Options.FontStyle & 8);
    font.setStrikeOut(Options.FontStyle & 16);
    ListView1->setFont(font);
    std::array<QColor, 4> colors;
    for (std::size_t i = 0; i < 4; ++i) {
        const std::uint32_t c = Options.Colors[i];  // 0x00BBGGRR
        colors[i] = QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                           static_cast<int>((c >> 16) & 0xFF));
    }
    m_model->setColors(colors);
    const auto c1 = static_cast<std::uint32_t>(Options.Color1);
    const QString style = QString("color: rgb(%1,%2,%3)").arg(c1 & 0xFF).arg((c1 >> 8) & 0xFF).arg((c1 >> 16) & 0xFF);
    for (QLabel* l : {Label3, Label17, Label20, Label15, Label13})
        l->setStyleSheet(style);
}

bool TBase_main_window::FormClose()
{
    if (m_passRunning || m_searching) {
        // A pass or a search is still walking the base: stop it and close when it has ended.
        AbortFlag = true;
        m_closeAfterPass = true;
        return false;
    }
    if (Modified && m_exiting) {
        // Nobody is there to answer: the base is saved without a dialog, the program ends whatever
        // the save did, and the log tells where it went (or, from the save, why it did not).
        saveOnExit();
        if (!Modified)
            platform::messageBox(q(_str_savedto).arg(q(BFName)).toStdString(), "Save database",
                                 platform::MB_OK | platform::MB_ICONINFORMATION);
    } else if (Modified) {
        const int answer = platform::messageBox(_ask_savebase, "Save database",
                                                platform::MB_YESNOCANCEL | platform::MB_ICONQUESTION);
        if (answer == platform::IDCANCEL)
            return false;
        // A save that was cancelled or failed keeps the window and the base.
        if (answer == platform::IDYES && !Button5Click())
            return false;
    }
    // Written after the question, so a base just saved under a new name is the one remembered.
    // The search server writes them too once it has been shown: its window is then the
    // operator's database window, whose options must survive the next start.
    if (m_cmd.mode != StartMode::Hidden || m_baseIniRead)
        writeBaseIni();
    if (m_cmd.mode == StartMode::Hidden && !m_exiting) {
        // The search server lives as long as its player: closing its window only hides it, and it
        // serves the base as its file holds it (changes the user chose not to save are dropped).
        if (Modified)
            LoadBase();
        hide();
        return false;
    }
    ClearList();
    return true;
}

void TBase_main_window::Exit()
{
    m_exiting = true;
    m_unseen.set(true);
    ping_player->stop();
    close();
}

void TBase_main_window::writeBaseIni()
{
    platform::IniFile ini(platform::programPath("Base.ini"), platform::IniFile::Mode::Buffered);
    Options.LastBaseName = BFName;
    Options.Volume = 100 - tbVolume->value();
    const QFont f = ListView1->font();
    Options.FontName = f.family().toStdString();
    Options.FontSize = f.pointSize();
    Options.FontStyle = (f.bold() ? 2 : 0) | (f.italic() ? 4 : 0) | (f.underline() ? 8 : 0) | (f.strikeOut() ? 16 : 0);
    writeBaseOptions(ini, Options);
    if (!ini.flush())
        platform::messageBox("Cannot write " + ini.path(), kAppTitle, platform::MB_OK | platform::MB_ICONERROR);
}

void TBase_main_window::closeEvent(QCloseEvent* event)
{
    if (m_closing) {
        event->accept();
        return;
    }
    bool ok = false;
    guarded([&] { ok = FormClose(); });
    if (!ok) {
        event->ignore();
        return;
    }
    m_closing = true;
    m_deferred.clear();
    ping_player->stop();
    m_area.unmap();
    event->accept();
    unregisterWindow();
    emit finished();
}

void TBase_main_window::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // A restore from minimised shows the window again without it having been hidden: no reload.
    if (event->spontaneous() || m_visibleState)
        return;
    m_visibleState = true;
    m_unseen.set(m_exiting);
    guarded([this] { FormShow(); });
}

void TBase_main_window::hideEvent(QHideEvent* event)
{
    QMainWindow::hideEvent(event);
    if (!event->spontaneous()) {
        m_visibleState = false;
        m_unseen.set(m_exiting || m_cmd.mode == StartMode::Hidden);
    }
}

void TBase_main_window::keyPressEvent(QKeyEvent* event) { QMainWindow::keyPressEvent(event); }

void TBase_main_window::mouseReleaseEvent(QMouseEvent* event)
{
    FormMouseUp();
    QMainWindow::mouseReleaseEvent(event);
}

std::function<void(bool)> TBase_main_window::passCommands()
{
    return [this](bool running) { setPassCommandsEnabled(!running); };
}

void TBase_main_window::setPassCommandsEnabled(bool enabled)
{
    for (QPushButton* b : {Button1, Button10, Button5, Button6, Button8, Button2, Button3, Button4, Button7, Button11,
                           Button12})
        b->setEnabled(enabled);
    // The statistics button stays off until a finished statistics run has been freed.
    Button9->setEnabled(enabled && !m_statThread);
    for (QAction* a : {Delete1, Deletefile1, N4, id3v11, N5})
        a->setEnabled(enabled);
}

int TBase_main_window::execDialog(QDialog& dialog)
{
    if (runDialog)
        return runDialog(dialog);
    return dialog.exec();
}

std::vector<int> TBase_main_window::selectedRows() const
{
    std::vector<int> rows;
    if (QItemSelectionModel* sel = ListView1->selectionModel())
        for (const QModelIndex& index : sel->selectedRows())
            if (index.row() >= 0 && static_cast<std::size_t>(index.row()) < Base.List.size())
                rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

platform::LResult TBase_main_window::windowProc(std::uint32_t msg, platform::WParam wParam, platform::LParam lParam)
{
    switch (msg) {
    case platform::UM_SEARCH_QUIT:
    case platform::UM_BASE_SHOW:
    case platform::UM_BASE_HIDE:
    case platform::UM_SEARCH_HELLO:
    case platform::UM_SEARCH_QUERY:
        return serverMessage(msg, wParam, lParam);
    case platform::UM_CENTER_DIALOG:
        centerActiveDialog();
        return 0;
    default:
        return 0;
    }
}

void TBase_main_window::centerActiveDialog()
{
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog)
        dialog = QApplication::activeWindow();
    if (!dialog || dialog == this)
        return;
    centerOver(*dialog, *this);
}

std::string TBase_main_window::langFile() const { return langFilePath(langDir()); }

void TBase_main_window::ApplyCaptions(QWidget* form, const std::string& section)
{
    controls::ReadLangSection(langFile(), section, [this, form](const std::string& key, const std::string& value) {
        if (value == controls::kLangNoValue)
            return;
        const QString text = q(value);
        if (form->objectName() == q(key)) {
            // The main window keeps its version; as the search server it keeps the caption the
            // player knows it by.
            if (form != this)
                form->setWindowTitle(text);
            else if (m_cmd.mode != StartMode::Hidden)
                setWindowTitle(text + q(versionSuffix()));
            return;
        }
        QObject* target = form->findChild<QObject*>(q(key));
        if (auto* b = qobject_cast<QAbstractButton*>(target))
            b->setText(text);
        else if (auto* l = qobject_cast<QLabel*>(target))
            l->setText(text);
        else if (auto* g = qobject_cast<QGroupBox*>(target))
            g->setTitle(text);
        // A search field's text is the operator's: the language names the field while it is empty.
        else if (auto* e = qobject_cast<QLineEdit*>(target))
            e->setPlaceholderText(text);
        else if (auto* page = qobject_cast<QWidget*>(target))
            for (QTabWidget* tabs : form->findChildren<QTabWidget*>())
                if (const int i = tabs->indexOf(page); i >= 0)
                    tabs->setTabText(i, text);
    });
    const platform::IniFile lang(langFile());
    for (int c = 0; c < 9; ++c)
        m_model->setColumnCaption(
            c, q(platform::decodeText(lang.readString("Main.ListColumns", "c" + std::to_string(c), "-"))));
}

void TBase_main_window::ApplyMenuCaptions(QWidget* form, const std::string& section)
{
    controls::ReadLangSection(langFile(), section, [form](const std::string& key, const std::string& value) {
        if (value == controls::kLangNoValue)
            return;
        if (auto* a = form->findChild<QAction*>(q(key)))
            a->setText(q(value));
    });
}

void TBase_main_window::Timer3Timer() { VqStatusBar1->setPanelText(1, QString()); }

void TBase_main_window::reportError(const std::string& function, const std::string& message)
{
    ErrorLogState s;
    s.listCount = Base.List.size();
    s.list2Count = Base.List2.size();
    s.indexesCount = Base.Indexes.size();
    s.viewCount = static_cast<std::size_t>(m_model->rowCount());
    s.listCapacity = Base.List.capacity();
    s.list2Capacity = Base.List2.capacity();
    s.searchEnabled = Button3->isEnabled();
    s.BFName = BFName;
    WriteErrorLog(function, message, s);
}

void TBase_main_window::pumpMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

}  // namespace database
