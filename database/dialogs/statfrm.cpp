// The statistics window's layout, its gauge, the worker's steps and the pie.
#include "database/dialogs/statfrm.h"

#include "database/dialogs/paintbox.h"
#include "database/dialogs/statthrd.h"
#include "database/dialogs/typepie.h"
#include "platform/usermessages.h"
#include "platform/usermessagesqt.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace database {

namespace {

QLabel* makeLabel(QWidget* parent, QGridLayout* grid, int row, const char* name, const char* caption,
                  const char* valueName)
{
    auto* text = new QLabel(QString::fromUtf8(caption), parent);
    text->setObjectName(name);
    auto* value = new QLabel(parent);
    value->setObjectName(valueName);
    grid->addWidget(text, row, 0);
    grid->addWidget(value, row, 1);
    return value;
}

}  // namespace

TStatFrm::TStatFrm(BaseFigures figures, QWidget* parent) : QDialog(parent), m_figures(std::move(figures))
{
    setObjectName("StatFrm");
    setWindowTitle("Statistics");
    setModal(true);
    auto* top = new QHBoxLayout;
    auto* grid = new QGridLayout;
    Label11 = makeLabel(this, grid, 0, "Label1", "Треков в базе:", "Label11");
    Label12 = makeLabel(this, grid, 1, "Label2", "Общее время:", "Label12");
    Label13 = makeLabel(this, grid, 2, "Label3", "Размер файлов:", "Label13");
    Label14 = makeLabel(this, grid, 3, "Label4", "Размер базы:", "Label14");
    Label15 = makeLabel(this, grid, 4, "Label5", "Самый короткий трек:", "Label15");
    Label16 = makeLabel(this, grid, 5, "Label6", "Самый длинный трек:", "Label16");
    Label17 = makeLabel(this, grid, 6, "Label7", "Средняя длина трека:", "Label17");
    Label19 = makeLabel(this, grid, 7, "Label8", "Самый частый жанр:", "Label19");
    Label20 = makeLabel(this, grid, 8, "Label9", "Самый частый год:", "Label20");
    Label23 = makeLabel(this, grid, 9, "Label10", "Исполнителей:", "Label23");
    for (QLabel* l : {Label15, Label16}) {
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
    }
    Label15->setProperty("Tag", 1);
    Label16->setProperty("Tag", 2);
    top->addLayout(grid, 1);

    auto* chart = new QVBoxLayout;
    Panel1 = new QWidget(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFixedSize(190, 190);
    Pb = new TPaintBox(Panel1);
    Pb->setObjectName("Pb");
    Pb->setGeometry(0, 0, 190, 190);
    Pb->OnPaint = [this](QPainter& p) { Timer1Timer(p); };
    chart->addWidget(Panel1);
    for (int i = 0; i < kStatTypeCount; ++i) {
        auto* row = new QHBoxLayout;
        auto* key = new QWidget(this);
        key->setObjectName(QString("Panel%1").arg(i + 2));
        key->setFixedSize(14, 14);
        key->setAutoFillBackground(true);
        auto* share = new QLabel(typeShareText(i, 0, QLocale()), this);
        share->setObjectName(QString("Label%1").arg(100 + i));
        row->addWidget(key);
        row->addWidget(share, 1);
        chart->addLayout(row);
        Panels[static_cast<std::size_t>(i)] = key;
        Labels100[static_cast<std::size_t>(i)] = share;
    }
    top->addLayout(chart);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    Gauge1 = new QProgressBar(this);
    Gauge1->setObjectName("Gauge1");
    Gauge1->setRange(0, 100);
    Gauge1->setValue(0);
    Gauge1->hide();
    layout->addWidget(Gauge1);
    Button1 = new QPushButton(QString::fromUtf8("Закрыть"), this);
    Button1->setObjectName("Button1");
    layout->addWidget(Button1, 0, Qt::AlignRight);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });

    Timer2 = new QTimer(this);
    Timer2->setObjectName("Timer2");
    Timer2->setInterval(10);
    connect(Timer2, &QTimer::timeout, this, [this] { Timer2Timer(); });
}

TStatFrm::~TStatFrm() { stopThread(); }

void TStatFrm::setThread(TStatThrd* thread)
{
    m_thread = thread;
    if (m_thread)
        m_thread->setWindow(this);
}

void TStatFrm::stopThread()
{
    if (m_thread) {
        m_thread->requestStop();
        m_thread->wait();
    }
}

bool TStatFrm::dropping() const { return m_closed || (m_thread && m_thread->stopRequested()); }

void TStatFrm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TStatFrm::FormShow()
{
    if (m_started)
        return;
    m_started = true;
    const QLocale locale;
    Gauge1->setTextVisible(false);
    Gauge1->show();
    Label11->setText(QString::number(m_figures.records));
    Label12->setText(m_figures.totalTime);
    Label13->setText(m_figures.words.waiting);
    Label14->setText(baseSizeText(m_figures.records, locale, m_figures.words));
    Timer2->start();
    if (m_thread && !m_closed)
        m_thread->start();
}

void TStatFrm::Timer2Timer()
{
    if (Gauge1->value() >= 100)
        Gauge1->setValue(0);
    Gauge1->setValue(Gauge1->value() + 1);
}

void TStatFrm::Button1Click()
{
    if (m_thread)
        m_thread->requestStop();
    close();
}

void TStatFrm::done(int result)
{
    // However the window closes (its button, Esc, the title bar), the worker stops here and is
    // waited for, so nothing of it outlives the window.
    m_closed = true;
    Timer2->stop();
    stopThread();
    QDialog::done(result);
}

void TStatFrm::StopGaugeAnimation()
{
    if (!dropping())
        Timer2->stop();
}

void TStatFrm::ShowGaugeText()
{
    if (!dropping())
        Gauge1->setTextVisible(true);
}

void TStatFrm::ShowSizeProgress(int percent)
{
    if (!dropping())
        Gauge1->setValue(percent);
}

void TStatFrm::HideGauge()
{
    if (!dropping())
        Gauge1->hide();
}

void TStatFrm::ShowResults(const StatResults& results)
{
    if (dropping())
        return;
    m_results = results;
    Label15->setText(results.texts[4]);
    Label16->setText(results.texts[5]);
    Label17->setText(results.texts[6]);
    Label19->setText(results.texts[8]);
    Label20->setText(results.texts[9]);
    Label23->setText(results.texts[12]);
    if (!results.texts[2].isEmpty()) {
        // The base changed while its copy was counted.
        const bool changed = m_figures.liveCount && m_figures.liveCount() != results.counted;
        Label13->setText(results.texts[2] + (changed ? " +" : ""));
    }
    if (Gauge1->isHidden()) {
        const QLocale locale;
        const auto s = shares();
        for (int i = 0; i < kStatTypeCount; ++i) {
            Labels100[static_cast<std::size_t>(i)]->setText(typeShareText(i, s[static_cast<std::size_t>(i)], locale));
            QPalette palette = Panels[static_cast<std::size_t>(i)]->palette();
            palette.setColor(QPalette::Window,
                             platform::qtmessages::toQColor(kStatTypeColors[static_cast<std::size_t>(i)]));
            Panels[static_cast<std::size_t>(i)]->setPalette(palette);
        }
    }
    Pb->update();
}

std::array<double, kStatTypeCount> TStatFrm::shares() const
{
    const double n = m_figures.records == 0 ? 1.0 : static_cast<double>(m_figures.records);
    std::array<double, kStatTypeCount> s{};
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = m_results.typeCounts[i] * 100 / n;
    return s;
}

void TStatFrm::Timer1Timer(QPainter& painter)
{
    if (!Gauge1->isHidden() || !m_started)
        return;
    DrawTypePie(painter, Pb->width(), Pb->height(), shares());
}

void TStatFrm::Label15Click(int tag)
{
    const std::optional<media::TTrackRecord>& track = tag == 1 ? m_results.shortest : m_results.longest;
    if (!track)
        return;
    platform::messageBox(trackInformation(*track), "Track information", platform::MB_OK | platform::MB_ICONINFORMATION);
}

bool TStatFrm::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == Label15 || watched == Label16) && event->type() == QEvent::MouseButtonRelease) {
        Label15Click(watched->property("Tag").toInt());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace database
