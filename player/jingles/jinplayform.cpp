// The jingle window: its deck, progress, volume and closing.
#include "player/jingles/jinplayform.h"

#include "controls/tbar.h"
#include "engine/audioengine.h"
#include "engine/enginesettings.h"
#include "player/form1.h"
#include "player/namedwidget.h"
#include "platform/pathtext.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace player {

namespace {

constexpr int kProgressMs = 50;

}  // namespace

TfrmJinPlay::TfrmJinPlay(TForm1& owner, const QString& fileName)
    : QWidget(&owner, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      FileName(fileName), m_owner(owner)
{
    setObjectName(QStringLiteral("frmJinPlay"));
    setWindowTitle(QStringLiteral("Jingle"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    pb = named(new QProgressBar(this), "pb");
    pb->setRange(0, 1000);
    pb->setTextVisible(false);
    tbVolume = named(new controls::TTBar(Qt::Horizontal, this), "tbVolume");
    tbVolume->setRange(0, 100);
    tbVolume->setValue(100);
    Button1 = named(new QPushButton(QStringLiteral("Cancel"), this), "Button1");
    layout->addWidget(pb);
    layout->addWidget(tbVolume);
    layout->addWidget(Button1);
    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setInterval(kProgressMs);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    connect(tbVolume, &QSlider::valueChanged, this, [this] { tbVolumeChange(); });
    connect(Button1, &QPushButton::clicked, this, [this] { close(); });
    FormCreate();
}

TfrmJinPlay::~TfrmJinPlay()
{
    FormClose();
}

void TfrmJinPlay::FormCreate()
{
    m_owner.JingleWindowOpened();
    // The end of the jingle goes to the main window, which marks the deck ended.
    Engine = std::make_unique<engine::TAudioEngine>(m_owner.handle());
    Engine->Device = engine::engineSettings().MainDev;
    if (engine::TAudioEngine* onAir = m_owner.OnAirDeck())
        Engine->StreamFlags = onAir->StreamFlags;
    if (m_owner.tbVolume != nullptr)
        Engine->SetStreamVolume(m_owner.tbVolume->value());
}

void TfrmJinPlay::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TfrmJinPlay::FormShow()
{
    if (!Engine)
        return;
    Engine->PlayFile(platform::pathBytes(FileName));
    Engine->SetVolume(m_owner.JinglVolume);
    LengthMs = Engine->LengthMs;
    Timer1->start();
    const QSignalBlocker quiet(tbVolume);
    tbVolume->setValue(std::clamp(m_owner.JinglVolume, 0, 100));
}

void TfrmJinPlay::Timer1Timer()
{
    if (!Engine)
        return;
    if (LengthMs > 0)
        pb->setValue(std::clamp(static_cast<int>(Engine->GetPosition() / LengthMs * 1000), 0, 1000));
    // Ended, stopped or never started: the window goes.
    if (Engine->State() != engine::STATE_PLAY)
        close();
}

void TfrmJinPlay::tbVolumeChange()
{
    m_owner.JinglVolume = tbVolume->value();
    if (Engine)
        Engine->SetVolume(tbVolume->value());
}

void TfrmJinPlay::FormClose()
{
    if (m_closed)
        return;
    m_closed = true;
    Timer1->stop();
    m_owner.JingleWindowClosed();
    if (Engine) {
        Engine->Stop();
        Engine->DestroyShared();
        Engine.reset();
    }
}

void TfrmJinPlay::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}

void TfrmJinPlay::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace player
