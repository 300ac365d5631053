// The jingle list dialog.
#include "player/jingles/jinlistform.h"

#include "controls/tbar.h"
#include "engine/audioengine.h"
#include "platform/usermessages.h"
#include "platform/pathtext.h"
#include "player/form1.h"
#include "player/jingles/jingleslots.h"
#include "player/namedwidget.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace player {

namespace {

constexpr int kPathColumn = 2;

}  // namespace

TfrmJinList::TfrmJinList(TForm1& owner) : QDialog(&owner, Qt::Dialog | Qt::WindowStaysOnTopHint), m_owner(owner)
{
    setObjectName(QStringLiteral("frmJinList"));
    setWindowTitle(QStringLiteral("Jingles list"));
    setAttribute(Qt::WA_DeleteOnClose);
    Label1 = named(new QLabel(QStringLiteral("Джинглы:"), this), "Label1");
    Label2 = named(new QLabel(QStringLiteral("Список:"), this), "Label2");
    Label3 = named(new QLabel(QStringLiteral("Уровень эфира при запуске джингла:"), this), "Label3");
    ListView1 = named(new QTreeWidget(this), "ListView1");
    ListView1->setHeaderLabels({QStringLiteral("N"), QStringLiteral("File Name"), QStringLiteral("path")});
    ListView1->setRootIsDecorated(false);
    ListView1->setColumnHidden(kPathColumn, true);
    // The slot number as wide as it needs, the file name in the rest: the list never scrolls
    // sideways (a click on a long name used to scroll the numbers out of view).
    ListView1->header()->setStretchLastSection(false);
    ListView1->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    ListView1->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    ListView1->setTextElideMode(Qt::ElideMiddle);
    ListView1->setMinimumWidth(310);
    for (int k = 1; k <= 9; ++k)
        new QTreeWidgetItem(ListView1, {QString::number(k), QString(), QString()});
    Button1 = namedButton(this, "Button1", QStringLiteral("Выбрать..."));
    Button2 = namedButton(this, "Button2", QStringLiteral("Удалить"));
    Button3 = namedButton(this, "Button3", QStringLiteral("Прослушать"));
    Button4 = namedButton(this, "Button4", QStringLiteral("Загрузить..."));
    Button5 = namedButton(this, "Button5", QStringLiteral("Сохранить..."));
    Button6 = namedButton(this, "Button6", QStringLiteral("ОК"));
    Button6->setDefault(true);
    Button7 = namedButton(this, "Button7", QStringLiteral("Отмена"));
    tbVolume = named(new controls::TTBar(Qt::Horizontal, this), "tbVolume");
    tbVolume->setRange(0, 100);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(ListView1, 1, 0, 6, 1);
    auto* slotButtons = new QVBoxLayout;
    for (QPushButton* b : {Button1, Button2, Button3})
        slotButtons->addWidget(b);
    slotButtons->addSpacing(8);
    slotButtons->addWidget(Label2);
    slotButtons->addWidget(Button4);
    slotButtons->addWidget(Button5);
    slotButtons->addStretch(1);
    grid->addLayout(slotButtons, 1, 1, 6, 1);
    grid->addWidget(Label3, 7, 0, 1, 2);
    grid->addWidget(tbVolume, 8, 0, 1, 2);
    auto* closing = new QHBoxLayout;
    closing->addStretch(1);
    closing->addWidget(Button6);
    closing->addWidget(Button7);
    grid->addLayout(closing, 9, 0, 1, 2);

    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1->start();
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
    connect(Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
    connect(Button7, &QPushButton::clicked, this, [this] { close(); });
    connect(tbVolume, &QSlider::valueChanged, this, [this] { tbVolumeChange(); });
    Timer1Timer();
}

void TfrmJinList::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
        const QRect owner = m_owner.frameGeometry();
        move(owner.center() - rect().center());
    }
}

void TfrmJinList::FormShow()
{
    const engine::TAudioEngine* deck = m_owner.OnAirDeck();
    PlayableFilter =
        QString::fromStdString(deck != nullptr ? m_owner.Texts.DeckFilter(deck->GetFileFilter()) : std::string());
    while (PlayableFilter.endsWith(QLatin1Char('|')))
        PlayableFilter.chop(1);
    OpenFilter = QString::fromStdString(listFilter()) + QLatin1Char('|') + PlayableFilter;
    for (int k = 0; k < 9; ++k)
        setRow(k, m_owner.JingleSlots[static_cast<std::size_t>(k + 1)]);
    const QSignalBlocker quiet(tbVolume);
    tbVolume->setValue(std::clamp(m_owner.JVol, 0, 100));
}

std::string TfrmJinList::listFilter() const
{
    return m_owner.Texts.Filter(PlayerText::JinglesList, "*.lst");
}

int TfrmJinList::selectedRow() const
{
    const QTreeWidgetItem* item = ListView1->currentItem();
    if (item == nullptr || !item->isSelected())
        return -1;
    return ListView1->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item));
}

QString TfrmJinList::rowPath(int k) const
{
    const QTreeWidgetItem* item = ListView1->topLevelItem(k);
    return item != nullptr ? item->text(kPathColumn) : QString();
}

void TfrmJinList::setRow(int k, const QString& path)
{
    QTreeWidgetItem* item = ListView1->topLevelItem(k);
    if (item == nullptr)
        return;
    item->setText(kPathColumn, path);
    item->setText(1, path.isEmpty() ? QString() : QFileInfo(path).fileName());
}

void TfrmJinList::Timer1Timer()
{
    const bool selected = selectedRow() >= 0;
    Button1->setEnabled(selected);
    Button2->setEnabled(selected);
    Button3->setEnabled(selected);
}

void TfrmJinList::Button1Click()
{
    const int k = selectedRow();
    if (k < 0)
        return;
    // The playable types come first here: a jingle is chosen, not a list.
    const std::string filter = PlayableFilter.toStdString() + "|" + listFilter();
    const std::optional<std::string> file = platform::userMessages().openFileName("", filter, "");
    if (!file)
        return;
    setRow(k, platform::pathToQString(*file));
    if (k < 8) {
        QTreeWidgetItem* next = ListView1->topLevelItem(k + 1);
        ListView1->setCurrentItem(next);
        next->setSelected(true);
    }
}

void TfrmJinList::Button2Click()
{
    const int k = selectedRow();
    if (k >= 0)
        setRow(k, QString());
}

void TfrmJinList::Button3Click()
{
    const int k = selectedRow();
    if (k < 0)
        return;
    m_owner.JingleSlots[0] = rowPath(k);
    m_owner.PlayJingl(0);
}

void TfrmJinList::Button4Click()
{
    const std::optional<std::string> file =
        platform::userMessages().openFileName("", OpenFilter.toStdString(), "");
    if (!file)
        return;
    const std::array<QString, 9> paths = readJingleList(*file);
    for (int k = 0; k < 9; ++k)
        setRow(k, paths[static_cast<std::size_t>(k)]);
}

void TfrmJinList::Button5Click()
{
    const std::optional<std::string> file = platform::userMessages().saveFileName("", listFilter(), "", "lst");
    if (!file)
        return;
    std::array<QString, 9> paths;
    for (int k = 0; k < 9; ++k)
        paths[static_cast<std::size_t>(k)] = rowPath(k);
    if (!writeJingleList(*file, paths))
        platform::messageBox("Не удалось сохранить список джинглов:\r\n" + *file, "Jingles list",
                             platform::MB_OK | platform::MB_ICONERROR);
}

void TfrmJinList::Button6Click()
{
    for (int k = 1; k <= 9; ++k) {
        m_owner.JingleSlots[static_cast<std::size_t>(k)] = rowPath(k - 1);
        m_owner.ShowJingleSlot(k);
    }
    close();
}

void TfrmJinList::tbVolumeChange()
{
    m_owner.JVol = tbVolume->value();
}

}  // namespace player
