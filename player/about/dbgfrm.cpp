// The diagnostics window: its labels, the refresh while visible, and the device information.
#include "player/about/dbgfrm.h"

#include "audiolib/audiolib.h"
#include "controls/elidedlabel.h"
#include "controls/screenfit.h"
#include "platform/usermessages.h"
#include "player/about/namedlabel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace player {

TDbgFrm::TDbgFrm(QWidget* mainWindow) : QWidget(mainWindow, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("DbgFrm"));
    setWindowTitle(QStringLiteral("Debug window"));
    auto* grid = new QGridLayout(this);
    // A caption label and its value label on one line of a grid.
    const auto pairIn = [](QGridLayout* g, QWidget* parent, int line, const char* captionName, const char* caption,
                           QLabel*& value, const char* valueName) {
        g->addWidget(namedLabel(parent, captionName, QString::fromLatin1(caption)), line, 0);
        value = namedLabel(parent, valueName);
        g->addWidget(value, line, 1);
    };
    const auto pair = [&](int line, const char* captionName, const char* caption, QLabel*& value, const char* valueName) {
        pairIn(grid, this, line, captionName, caption, value, valueName);
    };
    pair(0, "Label1", "Fade type:", Label10, "Label10");
    pair(1, "Label2", "Now:", Label11, "Label11");
    pair(2, "Label3", "FadeOut time:", Label12, "Label12");
    pair(3, "Label4", "Mix time:", Label13, "Label13");
    pair(4, "Label7", "FadeObj:", Label14, "Label14");
    CheckBox1 = new QCheckBox(QStringLiteral("MixFlag"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setEnabled(false);
    grid->addWidget(CheckBox1, 5, 0, 1, 2);
    pair(6, "Label8", "TimerID:", Label15, "Label15");
    pair(7, "Label9", "IsFading:", Label16, "Label16");
    // A long path is cut in its middle rather than widen the window past the screen.
    const auto fileLabel = [this](const char* name, const char* text) {
        auto* label = new controls::TElidedLabel(this);
        label->setObjectName(QString::fromLatin1(name));
        label->setText(QString::fromLatin1(text));
        label->setElideMode(Qt::ElideMiddle);
        return label;
    };
    Label5 = fileLabel("Label5", "A.FileName= ");
    Label6 = fileLabel("Label6", "B.FileName= ");
    grid->addWidget(Label5, 8, 0, 1, 2);
    grid->addWidget(Label6, 9, 0, 1, 2);
    pair(10, "Label18", "Time working:", Label19, "Label19");
    Label19->setText(QStringLiteral("000:00:00"));
    QFont bold = Label19->font();
    bold.setBold(true);
    Label19->setFont(bold);

    auto* amp = new QGroupBox(QStringLiteral("AMP"), this);
    amp->setObjectName(QStringLiteral("GroupBox1"));
    auto* ampGrid = new QGridLayout(amp);
    const auto ampPair = [&](int line, const char* captionName, const char* caption, QLabel*& value,
                             const char* valueName) { pairIn(ampGrid, amp, line, captionName, caption, value, valueName); };
    ampPair(0, "Label20", "count", Label23, "Label23");
    ampPair(1, "Label21", "high", Label24, "Label24");
    ampPair(2, "Label22", "quiet", Label25, "Label25");
    grid->addWidget(amp, 11, 0, 1, 2);
    // A lost device, or one on "no sound" while it cannot be opened, says so here too. A device's
    // name can be of any length: it is cut at its end, the whole line in the tool tip.
    grid->addWidget(namedLabel(this, "Label26", QStringLiteral("Output:")), 12, 0);
    auto* output = new controls::TElidedLabel(this);
    output->setObjectName(QStringLiteral("Label27"));
    Label27 = output;
    grid->addWidget(Label27, 12, 1);

    Button1 = new QPushButton(QStringLiteral("Device info"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    grid->addWidget(Button1, 13, 0, 1, 2);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTimerMs);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

    installEventFilter(this);
    Button1->installEventFilter(this);
}

void TDbgFrm::Timer1Timer()
{
    if (!State)
        return;
    const DbgTexts t = dbgTexts(State());
    Label10->setText(t.fadeType);
    Label11->setText(t.now);
    Label12->setText(t.fadeOut);
    Label13->setText(t.mix);
    Label14->setText(t.fadeObj);
    CheckBox1->setChecked(t.mixFlag);
    Label15->setText(t.timerId);
    Label16->setText(t.isFading);
    Label5->setText(t.fileA);
    Label6->setText(t.fileB);
    Label19->setText(t.timeWorking);
    Label23->setText(t.ampCount);
    Label24->setText(t.ampHigh);
    Label25->setText(t.ampQuiet);
    Label27->setText(t.output);
}

void TDbgFrm::Button1Click()
{
    audiolib::setDevice(State ? State().deviceA : audiolib::kDeviceDefault);
    audiolib::DeviceInfo info;
    audiolib::getDeviceInfo(&info);
    platform::messageBox(QStringLiteral("MinRate: %1\r\nMaxRate: %2\r\nSpeakers: %3")
                             .arg(info.minRateHz)
                             .arg(info.maxRateHz)
                             .arg(info.speakers)
                             .toStdString(),
                         "DeviceInfo", platform::MB_OK | platform::MB_ICONINFORMATION);
}

void TDbgFrm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    controls::widenForTitle(*this);
    controls::keepOnScreen(*this);
    Timer1Timer();
    Timer1->start();
}

void TDbgFrm::hideEvent(QHideEvent* event)
{
    Timer1->stop();
    QWidget::hideEvent(event);
}

bool TDbgFrm::eventFilter(QObject* watched, QEvent* event)
{
    // Typed characters do nothing here (not even a space on the button).
    if (event->type() == QEvent::KeyPress && !static_cast<QKeyEvent*>(event)->text().isEmpty())
        return true;
    return QWidget::eventFilter(watched, event);
}

}  // namespace player
