// The player's mode controls: the four play-mode buttons and the break menu, the MIC button of
// the line-in deck, the play lock, the list-centring menu item, the on-air label, the report list
// and the crossfade page, built once with the window.
#include "player/form1.h"

#include "controls/spinfloatedit.h"
#include "controls/vqlistview.h"
#include "engine/audioengine.h"
#include "player/sequencing/sequencingplayback.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <functional>

namespace player {

namespace {

// The on-air label: a click shows the playing row.
class OnAirLabel final : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> onClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        QLabel::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && onClick)
            onClick();
    }
};

QToolButton* modeButton(QToolBar* bar, const char* name, const QString& text)
{
    auto* b = new QToolButton(bar);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(text);
    b->setToolTip(text);
    b->setCheckable(true);
    bar->addWidget(b);
    return b;
}

QPixmap lockPicture()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x60, 0x60, 0x60), 2));
    p.drawArc(4, 1, 8, 10, 0, 180 * 16);
    p.fillRect(3, 7, 10, 8, QColor(0xc0, 0x90, 0x20));
    return pm;
}

controls::TSpinFloatEdit* timeEdit(QWidget* parent, const char* name)
{
    auto* e = new controls::TSpinFloatEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->Increment = 0.1L;
    e->setDigits(1);
    e->setMax(10);
    e->setAlignment(Qt::AlignRight);
    e->SetValue(0);
    return e;
}

QCheckBox* pointBox(QWidget* parent, const char* name, bool mix)
{
    auto* c = new QCheckBox(mix ? QStringLiteral("Точка микширования") : QStringLiteral("Точка автозатухания"), parent);
    c->setObjectName(QString::fromLatin1(name));
    return c;
}

// The buttons as the modes are; the pairs that exclude each other are kept apart by PlayModes.
void showModes(TForm1& f, const PlayModes& m)
{
    const std::pair<QToolButton*, bool> states[] = {
        {f.btRepeat, m.repeat}, {f.btBreak, m.breakOn}, {f.btShuffle, m.shuffle}, {f.btRepeatList, m.repeatList}};
    for (const auto& [button, on] : states) {
        const QSignalBlocker block(button);
        button->setChecked(on);
    }
}

void changeMode(TForm1& f, void (PlayModes::*set)(bool), bool on)
{
    PlayModes fallback;
    PlayModes& modes = f.Sequencer ? f.Sequencer->modes() : fallback;
    if (!f.Sequencer) {
        modes.repeat = f.btRepeat->isChecked();
        modes.breakOn = f.btBreak->isChecked();
        modes.shuffle = f.btShuffle->isChecked();
        modes.repeatList = f.btRepeatList->isChecked();
    }
    (modes.*set)(on);
    showModes(f, modes);
}

}  // namespace

void TForm1::buildModeControls()
{
    ModeBar = addToolBar(QStringLiteral("Modes"));
    ModeBar->setObjectName(QStringLiteral("ModeBar"));
    btRepeat = modeButton(ModeBar, "btRepeat", QStringLiteral("Repeat track"));
    btBreak = modeButton(ModeBar, "btBreak", QStringLiteral("Break"));
    btShuffle = modeButton(ModeBar, "btShuffle", QStringLiteral("Random play"));
    btRepeatList = modeButton(ModeBar, "btRepeatList", QStringLiteral("Repeat playlist"));
    mbreak = new QMenu(this);
    mbreak->setObjectName(QStringLiteral("mbreak"));
    brOneTrack = mbreak->addAction(QStringLiteral("Только один трек"));
    brOneTrack->setObjectName(QStringLiteral("brOneTrack"));
    brOneTrack->setCheckable(true);
    btBreak->setMenu(mbreak);
    btBreak->setPopupMode(QToolButton::MenuButtonPopup);
    ModeBar->addSeparator();
    MicBtn = modeButton(ModeBar, "MicBtn", QStringLiteral("MIC"));
    MicBtn->setEnabled(false);  // FormCreate enables it when the line input is in use
    ModeBar->addSeparator();
    aBlockPlayAction = new QAction(QStringLiteral("Блокировка"), this);
    aBlockPlayAction->setObjectName(QStringLiteral("aBlockPlay"));
    aBlockPlayAction->setCheckable(true);
    ModeBar->addAction(aBlockPlayAction);
    Bevel5 = new QLabel(ModeBar);
    Bevel5->setObjectName(QStringLiteral("Bevel5"));
    Bevel5->setPixmap(lockPicture());
    ModeBar->addWidget(Bevel5)->setVisible(false);

    connect(btRepeat, &QToolButton::clicked, this, [this] { btRepeatClick(); });
    connect(btBreak, &QToolButton::clicked, this, [this] { btBreakClick(); });
    connect(btShuffle, &QToolButton::clicked, this, [this] { btShuffleClick(); });
    connect(btRepeatList, &QToolButton::clicked, this, [this] { btRepeatListClick(); });
    connect(brOneTrack, &QAction::triggered, this, [this] { brOneTrackClick(); });
    connect(MicBtn, &QToolButton::clicked, this, [this] { MicBtnClick(); });
    connect(aBlockPlayAction, &QAction::triggered, this, [this] { aBlockPlay(); });

    cbCenterList = new QAction(QStringLiteral("Центровка плейлиста"), this);
    cbCenterList->setObjectName(QStringLiteral("cbCenterList"));
    cbCenterList->setCheckable(true);
    mView->addAction(cbCenterList);

    // The on-air label above the playlists.
    auto* onAir = new OnAirLabel(pcPlaylist->parentWidget());
    onAir->setObjectName(QStringLiteral("lOnAir"));
    onAir->setWordWrap(true);
    QFont onAirFont = onAir->font();
    onAirFont.setBold(true);
    onAirFont.setPointSizeF(onAirFont.pointSizeF() * 1.3);
    onAir->setFont(onAirFont);
    onAir->setMinimumHeight(2 * onAir->fontMetrics().height());
    onAir->onClick = [this] { edArtistClick(); };
    lOnAir = onAir;
    Label10 = new QLabel(pcPlaylist->parentWidget());
    Label10->setObjectName(QStringLiteral("Label10"));
    if (auto* column = qobject_cast<QVBoxLayout*>(pcPlaylist->parentWidget()->layout())) {
        column->insertWidget(0, lOnAir);
        column->insertWidget(1, Label10);
    }

    auto* reportPage = new QWidget;
    reportPage->setObjectName(QStringLiteral("TabSheetReport"));
    auto* reportLayout = new QVBoxLayout(reportPage);
    ListBox2 = new QListWidget(reportPage);
    ListBox2->setObjectName(QStringLiteral("ListBox2"));
    reportLayout->addWidget(ListBox2);
    PageControl1->addTab(reportPage, QStringLiteral("Отчет"));

    TabSheet7 = new QWidget;
    TabSheet7->setObjectName(QStringLiteral("TabSheet7"));
    auto* grid = new QGridLayout(TabSheet7);
    struct Group {
        const char* title;
        controls::TSpinFloatEdit*& mix;
        controls::TSpinFloatEdit*& fade;
        QCheckBox*& mixOn;
        QCheckBox*& fadeOn;
        const char* names[5];  // mix, fade, their boxes, the title
    };
    Group groups[] = {
        {"Музыка", musmix, musfade, cbmusmix, cbmusfade, {"musmix", "musfade", "cbmusmix", "cbmusfade", "lbmus"}},
        {"Реклама", admix, adfade, cbadmix, cbadfade, {"admix", "adfade", "cbadmix", "cbadfade", "lbad"}},
        {"Джинглы", jinmix, jinfade, cbjinmix, cbjinfade, {"jinmix", "jinfade", "cbjinmix", "cbjinfade", "lbjin"}},
    };
    int line = 0;
    for (Group& g : groups) {
        auto* title = new QLabel(QString::fromUtf8(g.title), TabSheet7);
        title->setObjectName(QString::fromLatin1(g.names[4]));
        grid->addWidget(title, line, 0, 1, 2);
        g.mixOn = pointBox(TabSheet7, g.names[2], true);
        g.mix = timeEdit(TabSheet7, g.names[0]);
        g.fadeOn = pointBox(TabSheet7, g.names[3], false);
        g.fade = timeEdit(TabSheet7, g.names[1]);
        grid->addWidget(g.mixOn, line + 1, 0);
        grid->addWidget(g.mix, line + 1, 1);
        grid->addWidget(g.fadeOn, line + 2, 0);
        grid->addWidget(g.fade, line + 2, 1);
        line += 3;
    }
    grid->setRowStretch(line, 1);
    PageControl1->addTab(TabSheet7, QStringLiteral("Кроссфейд"));
    for (controls::TSpinFloatEdit* e : {musmix, musfade, admix, adfade, jinmix, jinfade})
        connect(e, &QLineEdit::textChanged, this, [this] { cbmusmixClick(); });
    for (QCheckBox* c : {cbmusmix, cbmusfade, cbadmix, cbadfade, cbjinmix, cbjinfade})
        connect(c, &QCheckBox::toggled, this, [this] { cbmusmixClick(); });
}

void TForm1::btRepeatClick()
{
    changeMode(*this, &PlayModes::setRepeat, btRepeat->isChecked());
}

void TForm1::btBreakClick()
{
    changeMode(*this, &PlayModes::setBreak, btBreak->isChecked());
}

void TForm1::btShuffleClick()
{
    changeMode(*this, &PlayModes::setShuffle, btShuffle->isChecked());
}

void TForm1::btRepeatListClick()
{
    changeMode(*this, &PlayModes::setRepeatList, btRepeatList->isChecked());
}

void TForm1::brOneTrackClick()
{
    if (Sequencer)
        Sequencer->modes().oneTrack = brOneTrack->isChecked();
}

void TForm1::MicBtnClick()
{
    if (!LineInDeck) {
        MicBtn->setChecked(false);
        return;
    }
    if (!MicBtn->isChecked()) {
        LineInDeck->Stop();
        return;
    }
    LineInDeck->PlayFile("line.in");
    // A line input that did not start is not on air: the button must not say it is.
    if (LineInDeck->State() != engine::STATE_PLAY)
        MicBtn->setChecked(false);
}

void TForm1::aBlockPlay()
{
    PlayLocked = !PlayLocked;
    {
        const QSignalBlocker block(aBlockPlayAction);
        aBlockPlayAction->setChecked(PlayLocked);
    }
    for (QAction* a : ModeBar->actions()) {
        if (ModeBar->widgetForAction(a) == Bevel5)
            a->setVisible(PlayLocked);
    }
}

}  // namespace player
