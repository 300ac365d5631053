// The schedule dialog.
#include "player/schedule/timeform.h"

#include "engine/audioengine.h"
#include "platform/programfolder.h"
#include "platform/pathtext.h"
#include "platform/usermessages.h"
#include "player/form1.h"
#include "player/namedwidget.h"
#include "player/schedule/schedulecolumns.h"
#include "player/schedule/schedulefile.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace player {

namespace {

constexpr int kDateWidth = 66;
constexpr int kTimeWidth = 60;

std::string scheduleFolder()
{
    return platform::programPath("Presets/Schedule/");
}

// A time format without its time zone ("t"): an entry is a time of the operator's day, and the
// zone would only crowd the column.
QString withoutZone(const QString& format)
{
    QString out;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (quoted || c != QLatin1Char('t'))
            out += c;
    }
    return out.simplified();
}

}  // namespace

QString scheduleDateText(const QDate& date)
{
    return QLocale().toString(date, QLocale::ShortFormat);
}

QString scheduleTimeText(const QTime& time)
{
    const QLocale locale;
    return locale.toString(time, withoutZone(locale.timeFormat(QLocale::LongFormat)));
}

void tellScheduleOperator(QObject* context, const std::string& text)
{
    if (text.empty())
        return;
    QTimer::singleShot(0, context, [text] {
        platform::messageBox(text, "Schedule", platform::MB_OK | platform::MB_ICONWARNING);
    });
}

Ttimeform::Ttimeform(TForm1& owner) : QDialog(&owner), m_owner(owner)
{
    setObjectName(QStringLiteral("timeform"));
    setWindowTitle(QStringLiteral("Schedule"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);

    GroupBox1 = named(new QGroupBox(QStringLiteral(" Список плейлистов"), this), "GroupBox1");
    rasplist = named(new QTreeWidget(GroupBox1), "rasplist");
    rasplist->setRootIsDecorated(false);
    rasplist->setHeaderLabels({QStringLiteral("Дата"), QStringLiteral("Время"), QStringLiteral("Файл"), QString()});
    prepareScheduleColumns(*rasplist);
    rasplist->header()->resizeSection(3, 0);
    fitScheduleColumns(*rasplist, kDateWidth, kTimeWidth);
    (new QVBoxLayout(GroupBox1))->addWidget(rasplist);

    GroupBox2 = named(new QGroupBox(QStringLiteral(" Настройки расписания "), this), "GroupBox2");
    _date = named(new QDateEdit(GroupBox2), "_date");
    _date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    _date->setCalendarPopup(true);
    _time = named(new QTimeEdit(GroupBox2), "_time");
    _time->setDisplayFormat(QStringLiteral("H:mm:ss"));
    _file = named(new QLineEdit(GroupBox2), "_file");
    Button4 = namedButton(GroupBox2, "Button4", QStringLiteral("..."));
    Button7 = namedButton(GroupBox2, "Button7", QStringLiteral("Добавить"));
    Button8 = namedButton(GroupBox2, "Button8", QStringLiteral("Очистить"));
    Button3 = namedButton(GroupBox2, "Button3", QStringLiteral("Загрузить"));
    Button6 = namedButton(GroupBox2, "Button6", QStringLiteral("Сохранить"));
    rightnow = named(new QCheckBox(QStringLiteral("Запускать немедленно"), GroupBox2), "rightnow");
    cbUseDate = named(new QCheckBox(QStringLiteral("Учитывать дату"), GroupBox2), "cbUseDate");
    auto* settings = new QGridLayout(GroupBox2);
    settings->addWidget(named(new QLabel(QStringLiteral("Дата:"), GroupBox2), "Label1"), 0, 0);
    settings->addWidget(_date, 0, 1);
    settings->addWidget(named(new QLabel(QStringLiteral("Время:"), GroupBox2), "Label2"), 0, 2);
    settings->addWidget(_time, 0, 3);
    settings->addWidget(named(new QLabel(QStringLiteral("File:"), GroupBox2), "Label3"), 1, 0);
    settings->addWidget(_file, 1, 1, 1, 4);
    settings->addWidget(Button4, 1, 5);
    auto* rowButtons = new QHBoxLayout;
    for (QPushButton* b : {Button7, Button8, Button3, Button6})
        rowButtons->addWidget(b);
    settings->addLayout(rowButtons, 2, 0, 1, 6);
    settings->addWidget(rightnow, 3, 0, 1, 3);
    settings->addWidget(cbUseDate, 3, 3, 1, 3);

    Button1 = namedButton(this, "Button1", QStringLiteral("OK"));
    Button1->setDefault(true);
    Button2 = namedButton(this, "Button2", QStringLiteral("Отмена"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1, 1);
    layout->addWidget(GroupBox2);
    auto* closing = new QHBoxLayout;
    closing->addStretch(1);
    closing->addWidget(Button1);
    closing->addWidget(Button2);
    layout->addLayout(closing);

    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1->start();
    connect(rasplist, &QTreeWidget::itemSelectionChanged, this, [this] { rasplistChange(); });
    connect(_date, &QDateEdit::dateChanged, this, [this] { _dateChange(); });
    connect(_time, &QTimeEdit::timeChanged, this, [this] { _dateChange(); });
    connect(_file, &QLineEdit::textChanged, this, [this] { _dateChange(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(Button7, &QPushButton::clicked, this, [this] { Button7Click(); });
    connect(Button8, &QPushButton::clicked, this, [this] { Button8Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
    connect(rightnow, &QCheckBox::clicked, this, [this] { rightnowClick(); });
    connect(cbUseDate, &QCheckBox::clicked, this, [this] { cbUseDateClick(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { reject(); });
    Timer1Timer();
}

void Ttimeform::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
        move(m_owner.frameGeometry().center() - rect().center());
    }
}

void Ttimeform::setRows(std::vector<ScheduleEntry> rows)
{
    Rows = std::move(rows);
    const QSignalBlocker quiet(rasplist);
    rasplist->clear();
    for (std::size_t i = 0; i < Rows.size(); ++i) {
        new QTreeWidgetItem(rasplist);
        showRow(static_cast<int>(i));
    }
}

void Ttimeform::takeSchedule(const std::vector<ScheduleEntry>& entries, const ScheduleFileRest& rest)
{
    m_openedWith = entries;
    Rest = rest;
    setRows(entries);
}

void Ttimeform::showRow(int row)
{
    QTreeWidgetItem* item = rasplist->topLevelItem(row);
    if (item == nullptr || row < 0 || row >= static_cast<int>(Rows.size()))
        return;
    const ScheduleEntry& e = Rows[static_cast<std::size_t>(row)];
    item->setText(0, scheduleDateText(e.date));
    item->setText(1, scheduleTimeText(e.time));
    item->setText(2, e.path);
    fitColumns();
}

std::string Ttimeform::scheduleFilter() const
{
    return m_owner.Texts.Filter(PlayerText::ScheduleFiles, "*.sdl");
}

void Ttimeform::FormShow()
{
    const engine::TAudioEngine* deck = m_owner.OnAirDeck();
    const std::string playable = deck != nullptr ? m_owner.Texts.DeckFilter(deck->GetFileFilter()) : std::string();
    EntryFilter = QString::fromStdString(playable + m_owner.Texts.Filter(PlayerText::PlaylistM3u, "*.m3u"));
    {
        const QSignalBlocker quiet(_date);
        _date->setDate(QDate::currentDate());
    }
    cbUseDate->setChecked(m_owner.UseDate);
    cbUseDateClick();
}

int Ttimeform::selectedRow() const
{
    const QList<QTreeWidgetItem*> items = rasplist->selectedItems();
    if (items.isEmpty())
        return -1;
    return rasplist->indexOfTopLevelItem(items.front());
}

void Ttimeform::Timer1Timer()
{
    const bool selected = selectedRow() >= 0;
    for (QWidget* w : std::initializer_list<QWidget*>{_date, _time, _file, Button4})
        w->setEnabled(selected);
}

void Ttimeform::rasplistChange()
{
    const int row = selectedRow();
    if (row < 0 || row >= static_cast<int>(Rows.size()))
        return;
    const ScheduleEntry& e = Rows[static_cast<std::size_t>(row)];
    ScheduleRowLoading = true;
    _date->setDate(e.date);
    _time->setTime(e.time);
    _file->setText(e.path);
    ScheduleRowLoading = false;
}

void Ttimeform::_dateChange()
{
    if (ScheduleRowLoading)
        return;
    const int row = selectedRow();
    if (row < 0 || row >= static_cast<int>(Rows.size()))
        return;
    Rows[static_cast<std::size_t>(row)] = ScheduleEntry{_date->date(), _time->time(), _file->text()};
    showRow(row);
}

void Ttimeform::Button4Click()
{
    if (const auto file = platform::userMessages().openFileName("", EntryFilter.toStdString(), ""))
        _file->setText(platform::pathToQString(*file));
}

void Ttimeform::Button7Click()
{
    const auto file = platform::userMessages().openFileName("", EntryFilter.toStdString(), "");
    if (!file)
        return;
    const QTime now = QTime::currentTime();
    Rows.push_back(ScheduleEntry{QDate::currentDate(), QTime(now.hour(), now.minute(), now.second()),
                                 platform::pathToQString(*file)});
    new QTreeWidgetItem(rasplist);
    showRow(static_cast<int>(Rows.size()) - 1);
}

void Ttimeform::Button8Click()
{
    setRows({});
}

void Ttimeform::Button3Click()
{
    const auto file = platform::userMessages().openFileName("", scheduleFilter(), scheduleFolder());
    if (!file)
        return;
    ScheduleFile read = readScheduleFile(*file);
    setRows(std::move(read.entries));
    Rest = std::move(read.rest);
    tellScheduleOperator(this, unreadScheduleEntriesText(*file, Rest));
}

void Ttimeform::Button6Click()
{
    const auto file = platform::userMessages().saveFileName("", scheduleFilter(), scheduleFolder(), "sdl");
    std::string error;
    if (file && !writeScheduleFile(*file, Rows, Rest, &error))
        platform::messageBox("Не удалось сохранить расписание:\r\n" + *file + "\r\n(" + error + ")", "Schedule",
                             platform::MB_OK | platform::MB_ICONERROR);
}

void Ttimeform::rightnowClick()
{
    m_owner.StartImmediately = rightnow->isChecked();
}

void Ttimeform::cbUseDateClick()
{
    fitColumns();
}

void Ttimeform::fitColumns()
{
    fitScheduleColumns(*rasplist, cbUseDate->isChecked() ? kDateWidth : 0, kTimeWidth);
}

void Ttimeform::Button1Click()
{
    // An entry that fired (or went stale) while the dialog was open is not handed back: it would
    // fire a second time.
    std::vector<ScheduleEntry> gone = m_openedWith;
    for (const ScheduleEntry& e : m_owner.TimeSchedule.entries()) {
        const auto it = std::find(gone.begin(), gone.end(), e);
        if (it != gone.end())
            gone.erase(it);
    }
    std::vector<ScheduleEntry> rows = Rows;
    for (const ScheduleEntry& e : gone) {
        const auto it = std::find(rows.begin(), rows.end(), e);
        if (it != rows.end())
            rows.erase(it);
    }
    m_owner.UseDate = cbUseDate->isChecked();
    m_owner.TimeSchedule.setEntries(std::move(rows), m_owner.UseDate, m_owner.ScheduleClock());
    m_owner.ScheduleRest = Rest;
    accept();
}

}  // namespace player
