// TForm1's level meters, spectrum, master volume and pan, the position bar's seeking, the -5/+5
// seconds buttons, the mouse wheel on the volume, the time labels' clicks and the silence
// detector's status panel.
#include "player/meters/meters.h"

#include "controls/tbar.h"
#include "controls/vtqstatusbar.h"
#include "engine/audioengine.h"
#include "player/sequencing/displayformat.h"
#include "player/meters/framebox.h"
#include "player/sequencing/maintimer.h"
#include "player/meters/maintimermeter.h"
#include "player/sequencing/sequencingdeck.h"
#include "player/sequencing/sequencingplayback.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>

namespace player {

namespace {

constexpr int kMeterWidth = 13;
constexpr int kMeterHeight = 109;
// 129 bars of 2 pixels and a gap, from x = 1; heights up to 47 above a base one pixel up.
constexpr int kSpectrumWidth = 388;
constexpr int kSpectrumHeight = 50;
// In a narrow window the spectrum gives way down to its lowest bands rather than widen the window.
constexpr int kSpectrumMinWidth = 64;
constexpr int kLevelMeterMs = 30;

// Sees the application's events for the main window: the wheel wherever it turns, and the clicks
// on the main time label (a label has no click of its own).
class MeterEvents final : public QObject {
public:
    explicit MeterEvents(TForm1& form) : m_form(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Wheel)
            return m_form.ApplicationEvents1Message(watched, event);
        if (watched == m_form.edToEnd && event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && m_form.edToEnd->rect().contains(mouse->position().toPoint()))
                m_form.edToEndClick();
            m_form.edToEndMouseUp(mouse->button());
        }
        return false;
    }

private:
    TForm1& m_form;
};

void repaintMeter(FrameBox* box, const QImage& picture, int level)
{
    if (box == nullptr)
        return;
    paintLevelMeter(box->frame(), picture, meterLevel(level));
    box->update();
}

}  // namespace

TForm1::MetersState::MetersState(int meterWidth, int meterHeight, int spectrumWidth, int spectrumHeight)
    : meterPicture(levelMeterPicture(meterWidth, meterHeight)), spectrum(spectrumWidth, spectrumHeight)
{
    applyPlayerSpectrumSettings(spectrum);
}

void applyPlayerSpectrumSettings(controls::TSpectrum& spectrum)
{
    spectrum.Mode = 1;
    spectrum.SetMaxLevel(47);
    spectrum.Step = 2;
    spectrum.BackColor = QColor(0, 0, 0);
    spectrum.BarWidth = 2;
    spectrum.PeakColor = QColor(13, 170, 255);
    spectrum.BarFall = 3;
    spectrum.PeakFall = 1;
    spectrum.SetBackground(false);
    spectrum.BarColor = QColor(255, 255, 12);
}

void TForm1::buildMeters()
{
    TabSheet5 = new QWidget;
    TabSheet5->setObjectName(QStringLiteral("TabSheet5"));
    // The meters' row; the sound controls go above it and beside the meters (soundpage.cpp).
    auto* soundLayout = new QVBoxLayout(TabSheet5);
    auto* meterRow = new QHBoxLayout;
    soundLayout->addLayout(meterRow);
    soundLayout->addStretch(1);
    auto* left = new FrameBox(kMeterWidth, kMeterHeight, TabSheet5);
    left->setObjectName(QStringLiteral("_left"));
    auto* right = new FrameBox(kMeterWidth, kMeterHeight, TabSheet5);
    right->setObjectName(QStringLiteral("_right"));
    meterRow->addWidget(left, 0, Qt::AlignTop);
    meterRow->addWidget(right, 0, Qt::AlignTop);
    Label14 = new QLabel(QStringLiteral("off"), TabSheet5);
    Label14->setObjectName(QStringLiteral("Label14"));
    meterRow->addWidget(Label14, 0, Qt::AlignTop);
    meterRow->addStretch(1);
    PageControl1->addTab(TabSheet5, QStringLiteral("Sound"));
    _left = left;
    _right = right;

    QWidget* column = TBar1->parentWidget();
    auto* row = new QWidget(column);
    auto* rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    SpeedButton7 = new QAction(QStringLiteral("-5 sec"), this);
    SpeedButton7->setObjectName(QStringLiteral("SpeedButton7"));
    SpeedButton8 = new QAction(QStringLiteral("+5 sec"), this);
    SpeedButton8->setObjectName(QStringLiteral("SpeedButton8"));
    for (QAction* skip : {SpeedButton7, SpeedButton8}) {
        auto* button = new QToolButton(row);
        button->setDefaultAction(skip);
        rowLayout->addWidget(button);
    }
    tbVolume = new controls::TTBar(Qt::Horizontal, row);
    tbVolume->setObjectName(QStringLiteral("tbVolume"));
    tbVolume->setRange(0, 100);
    tbVolume->setToolTip(QStringLiteral("Volume"));
    tbVolume->setMinimumWidth(100);
    tbPanning = new controls::TTBar(Qt::Horizontal, row);
    tbPanning->setObjectName(QStringLiteral("tbPanning"));
    tbPanning->setRange(-100, 100);
    tbPanning->setToolTip(QStringLiteral("Panning"));
    tbPanning->setMinimumWidth(80);
    Label13 = new QLabel(QStringLiteral("0"), row);
    Label13->setObjectName(QStringLiteral("Label13"));
    panel1 = new QWidget(row);
    panel1->setObjectName(QStringLiteral("panel1"));
    auto* panelLayout = new QHBoxLayout(panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    auto* paintFrame = new FrameBox(kSpectrumWidth, kSpectrumHeight, panel1);
    paintFrame->setObjectName(QStringLiteral("PaintFrame"));
    paintFrame->setMinimumWidth(kSpectrumMinWidth);
    paintFrame->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    panelLayout->addWidget(paintFrame);
    PaintFrame = paintFrame;
    rowLayout->addWidget(tbVolume, 1);
    rowLayout->addWidget(tbPanning, 1);
    rowLayout->addWidget(Label13);
    rowLayout->addWidget(panel1);
    if (auto* box = qobject_cast<QBoxLayout*>(column->layout()))
        box->insertWidget(box->indexOf(TBar1) + 1, row);
    else if (column->layout() != nullptr)
        column->layout()->addWidget(row);

    // The meter picture takes the size of _left, the spectrum painter that of PaintFrame.
    Meters = std::make_shared<MetersState>(left->width(), left->height(), paintFrame->width(), paintFrame->height());
    Meters->left = left;
    Meters->right = right;
    Meters->paintFrame = paintFrame;
    repaintMeter(left, Meters->meterPicture, 0);
    repaintMeter(right, Meters->meterPicture, 0);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kLevelMeterMs);
    vistimer = new QTimer(this);
    vistimer->setObjectName(QStringLiteral("vistimer"));
    vistimer->setInterval(std::max(1, Ini.VisUpdateDelay));
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    connect(vistimer, &QTimer::timeout, this, [this] { vistimerTimer(); });
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });

    TBar1->OnMouseDown = [this](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int x, int) { TBar1MouseDown(x); };
    TBar1->OnMouseUp = [this](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { TBar1MouseUp(); };
    connect(SpeedButton7, &QAction::triggered, this, [this] { SpeedButton7Click(-1); });
    connect(SpeedButton8, &QAction::triggered, this, [this] { SpeedButton7Click(1); });
    connect(tbVolume, &QSlider::valueChanged, this, [this] { tbVolumeChange(); });
    connect(tbPanning, &QSlider::valueChanged, this, [this] { tbPanningChange(); });
    if (controls::TvtqStatusPanel* panel = StatusBar1->Panels().Items(5))
        panel->OnClick = [this](controls::TvtqStatusPanel*) { StatusBar1Panels5Click(); };
    Meters->events = std::make_unique<MeterEvents>(*this);
    qApp->installEventFilter(Meters->events.get());
}

void TForm1::MetersCreate()
{
    vistimer->setInterval(std::max(1, Ini.VisUpdateDelay));
    vistimer->start();
    if (DeckA) {
        const QSignalBlocker quiet(tbVolume);
        tbVolume->setValue(std::clamp(DeckA->GetStreamVolume(), 0, 100));
    }
    tbVolumeChange();
    if (MainTick) {
        MainTick->silence().on = SilenceDetectorOn;
        EdToEnd2->setVisible(MainTick->showSecondTimeLabel);
    }
    PageControl1Change();
}

engine::TAudioEngine* TForm1::OnAirDeck()
{
    if (Sequencer && DeckBView && &Sequencer->deckA() == DeckBView.get())
        return DeckB.get();
    return DeckA.get();
}

void TForm1::PageControl1Change()
{
    RefreshTagPage();
    if (Timer1 == nullptr)
        return;
    if (PageControl1->currentWidget() == TabSheet5)
        Timer1->start();
    else
        Timer1->stop();
}

void TForm1::Timer1Timer()
{
    engine::TAudioEngine* deck = OnAirDeck();
    if (deck == nullptr || !Meters)
        return;
    int right = 0;
    int left = 0;
    deck->GetLevel(right, left);
    repaintMeter(Meters->right, Meters->meterPicture, right);
    repaintMeter(Meters->left, Meters->meterPicture, left);
}

void TForm1::vistimerTimer()
{
    if (!Visualization || !Meters || Meters->paintFrame == nullptr)
        return;
    engine::TAudioEngine* deck = OnAirDeck();
    if (deck == nullptr)
        return;
    deck->GetFFT(Meters->fft);
    QPainter target(&Meters->paintFrame->frame());
    Meters->spectrum.Draw(target, Meters->fft, 1, -1);
    Meters->paintFrame->update();
}

void TForm1::TBar1MouseDown(int x)
{
    if (MainTick)
        MainTick->followPosition = false;
    TBar1->setValue(positionBarFromMouse(x, TBar1->width()));
}

void TForm1::TBar1MouseUp()
{
    if (engine::TAudioEngine* deck = OnAirDeck())
        deck->SetPosition(seekMsFromBar(TBar1->value(), deck->LengthMs));
    if (MainTick)
        MainTick->followPosition = true;
}

void TForm1::SpeedButton7Click(int tag)
{
    engine::TAudioEngine* deck = OnAirDeck();
    if (deck == nullptr)
        return;
    const std::optional<Skip> skip = skipFiveSeconds(deck->GetPosition(), deck->LengthMs, tag);
    if (!skip)
        return;
    TBar1->setValue(skip->barValue);
    deck->SetPosition(skip->positionMs);
}

void TForm1::tbVolumeChange()
{
    if (DeckA)
        DeckA->SetStreamVolume(tbVolume->value());
    ShowStatus(QString::fromStdString(volumeStatusText(tbVolume->value())));
}

void TForm1::tbPanningChange()
{
    const int pan = tbPanning->value();
    for (engine::TAudioEngine* deck : {DeckA.get(), DeckB.get()}) {
        if (deck != nullptr)
            deck->SetPan(pan);
    }
    Label13->setText(QString::number(pan));
}

bool TForm1::ApplicationEvents1Message(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Wheel || tbVolume == nullptr || !Meters || !isActiveWindow())
        return false;
    // The wheel belongs to the volume while it has the focus; one turned over the slider itself
    // moves it the same way rather than by the style's several steps.
    if (QApplication::focusWidget() != tbVolume && watched != tbVolume)
        return false;
    // One notch (120) is one step. Fine wheels and touchpads send parts of a notch: these add up
    // instead of each being rounded away to nothing.
    const int delta = std::clamp(static_cast<QWheelEvent*>(event)->angleDelta().y(), -32768, 32767);
    int& rest = Meters->wheelRemainder;
    const int total = rest + delta;
    const int steps = total / 120;
    rest = total - steps * 120;
    tbVolume->setValue(tbVolume->value() + steps);
    return true;
}

void TForm1::SetDeckVolume(int volume)
{
    DeckVolume = volume;
    if (Sequencer)
        Sequencer->SetDeckVolume(volume);
}

void TForm1::edToEndClick()
{
    if (MainTick)
        MainTick->timeShowType = 1 - MainTick->timeShowType;
    if (CurrentList != nullptr && CurrentList->isVisible())
        CurrentList->setFocus();
}

void TForm1::edToEndMouseUp(Qt::MouseButton button)
{
    if (button != Qt::RightButton || !MainTick)
        return;
    MainTick->showSecondTimeLabel = !MainTick->showSecondTimeLabel;
    EdToEnd2->setVisible(MainTick->showSecondTimeLabel);
}

double TForm1::CpuLoad()
{
    return Meters ? Meters->cpu.sample() : 0.0;
}

bool TForm1::AutoLevelGain(double& gain)
{
    engine::TAudioEngine* deck = OnAirDeck();
    gain = 0;
    if (deck == nullptr || !deck->AutoAmpOn())
        return false;
    gain = deck->autoAmpState().gain.load(std::memory_order_relaxed);
    return true;
}

void TForm1::StatusBar1Panels5Click()
{
    SilenceDetectorOn = !SilenceDetectorOn;
    if (MainTick)
        MainTick->silence().on = SilenceDetectorOn;
    UpdateCaption();
}

}  // namespace player
