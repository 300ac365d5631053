// The pre-listen monitor window: its deck by monitor type, progress, volume and closing.
#include "player/monitor/rearplay.h"

#include "audiolib/audiolib.h"
#include "controls/tbar.h"
#include "engine/audioengine.h"
#include "engine/enginesettings.h"
#include "player/form1.h"
#include "platform/pathtext.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace player {

TRearPlay::TRearPlay(TForm1& form, const QString& fileName)
    : QWidget(&form, Qt::Window), m_form(form), m_fileName(fileName)
{
    setObjectName(QStringLiteral("RearPlay"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Monitor"));
    auto* layout = new QVBoxLayout(this);
    pb = new QProgressBar(this);
    pb->setObjectName(QStringLiteral("pb"));
    pb->setRange(0, 1000);
    pb->setTextVisible(false);
    layout->addWidget(pb);
    auto* row = new QHBoxLayout;
    tbVolume = new controls::TTBar(Qt::Horizontal, this);
    tbVolume->setObjectName(QStringLiteral("tbVolume"));
    tbVolume->setRange(0, 100);
    row->addWidget(tbVolume, 1);
    Button1 = new QPushButton(QStringLiteral("Cancel"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    row->addWidget(Button1);
    layout->addLayout(row);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTimerMs);

    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    connect(tbVolume, &QSlider::valueChanged, this, [this] { tbVolumeChange(); });
    connect(Button1, &QPushButton::clicked, this, &QWidget::close);
    FormCreate();
}

TRearPlay::~TRearPlay()
{
    // Freed without closing (the main window's end): only the deck stops, the device stays open.
    Timer1->stop();
    if (m_deck)
        m_deck->DestroyShared();
}

int TRearPlay::barPosition(double positionMs, double lengthMs)
{
    if (!(lengthMs > 0) || !std::isfinite(positionMs))
        return 0;
    return static_cast<int>(std::clamp(positionMs / lengthMs * 1000.0, 0.0, 1000.0));
}

void TRearPlay::FormCreate()
{
    const engine::EngineSettings& settings = engine::engineSettings();
    m_deck = m_form.MakeMonitorDeck ? m_form.MakeMonitorDeck(m_form.handle())
                                    : std::make_unique<engine::TAudioEngine>(m_form.handle());
    m_type = m_form.MonType == 0 || m_form.MonType == 1 ? m_form.MonType : 2;
    switch (m_type) {
    case 0: {
        engine::TAudioEngine* onAir = m_form.OnAirDeck();
        m_savedPan = onAir != nullptr ? onAir->Pan : 0;
        m_deck->Pan = -100;
        for (engine::TAudioEngine* deck : {m_form.DeckA.get(), m_form.DeckB.get()})
            if (deck != nullptr)
                deck->SetPan(100);
        if (m_form.tbPanning != nullptr)
            m_form.tbPanning->setEnabled(false);
        m_deck->Device = settings.MainDev;
        break;
    }
    case 1:
        // The rear pair of the decks' own device; the decks play on the front pair.
        m_deck->StreamFlags = static_cast<std::int32_t>(audiolib::kSpeakerRear);
        m_deck->Device = settings.MainDev;
        break;
    default:
        m_deck->Device = settings.SecondDev;
        break;
    }
}

void TRearPlay::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TRearPlay::FormShow()
{
    setWindowTitle(QFileInfo(m_fileName).fileName());
    m_deck->PlayFile(platform::pathBytes(m_fileName));
    m_deck->SetVolume(m_form.RearVolume);
    m_lengthMs = m_deck->LengthMs;
    Timer1->start();
    const QSignalBlocker quiet(tbVolume);
    tbVolume->setValue(m_form.RearVolume);
}

void TRearPlay::tbVolumeChange()
{
    m_form.RearVolume = tbVolume->value();
    m_deck->SetVolume(m_form.RearVolume);
}

void TRearPlay::Timer1Timer()
{
    pb->setValue(barPosition(m_deck->GetPosition(), m_lengthMs));
    // The end of the track: the main window marks the deck ended; a channel that has run out
    // ends the window as well, so that it never waits for a mark that does not come.
    const audiolib::Handle channel = m_deck->PlayHandle();
    if (m_deck->State() != engine::STATE_PLAY ||
        (channel != 0 && audiolib::isActive(channel) == audiolib::kStopped))
        close();
}

void TRearPlay::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TRearPlay::closeEvent(QCloseEvent* event)
{
    FormClose();
    QWidget::closeEvent(event);
}

void TRearPlay::FormClose()
{
    if (m_closed)
        return;
    m_closed = true;
    Timer1->stop();
    if (m_form.N51 != nullptr)
        m_form.N51->setEnabled(true);
    m_deck->DestroyShared();
    // Undone by the type the window was opened with, whatever the settings say now.
    if (m_type == 0) {
        for (engine::TAudioEngine* deck : {m_form.DeckA.get(), m_form.DeckB.get()})
            if (deck != nullptr)
                deck->SetPan(m_savedPan);
        if (m_form.tbPanning != nullptr)
            m_form.tbPanning->setEnabled(true);
    }
}

}  // namespace player
