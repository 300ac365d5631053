// The hot keys dialog.
#include "player/hotkeys/hotkeyform.h"

#include "platform/keys.h"
#include "player/form1.h"
#include "player/namedwidget.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace player {

namespace {

constexpr const char* kActionLabels[7] = {"Запуск", "Остановка", "Следующий трек", "Остановка после трека",
                                          "Повторить трек", "Усиление", "Блокнот"};

// The fixed keys, shown beside the changeable ones.
constexpr const char* kFixedKeys[][2] = {{"Space", "Пауза"},
                                         {">", "Увеличить громкость"},
                                         {"<", "Уменьшить громкость"},
                                         {"Alt+B", "Блокировка"},
                                         {"Alt+Click", "Подслушка"}};

}  // namespace

TfrmHK::TfrmHK(TForm1& owner) : QDialog(&owner), m_owner(owner)
{
    setObjectName(QStringLiteral("frmHK"));
    setWindowTitle(QStringLiteral("Hot keys"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);

    auto* layout = new QVBoxLayout(this);
    HintLabel = new QLabel(QStringLiteral("Click on white box to change hot key"), this);
    HintLabel->setObjectName(QStringLiteral("HintLabel"));
    layout->addWidget(HintLabel);
    auto* grid = new QGridLayout;
    for (int i = 0; i < 7; ++i) {
        auto* caption = new QLabel(QString::fromUtf8(kActionLabels[i]), this);
        caption->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        auto* box = new QLabel(this);
        box->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        box->setProperty("Tag", i + 1);
        box->setAlignment(Qt::AlignCenter);
        box->setMinimumWidth(40);
        box->setAutoFillBackground(true);
        box->setFrameShape(QFrame::Box);
        QPalette white = box->palette();
        white.setColor(QPalette::Window, Qt::white);
        box->setPalette(white);
        Panels[static_cast<std::size_t>(i)] = box;
        grid->addWidget(caption, i, 0);
        grid->addWidget(box, i, 1);
    }
    // Enter plays as hot key 1 does.
    auto* enter = new QLabel(QStringLiteral("Enter"), this);
    enter->setObjectName(QStringLiteral("LabelEnter"));
    grid->addWidget(enter, 0, 2);
    int line = 7;
    for (const auto& [key, action] : kFixedKeys) {
        auto* caption = new QLabel(QString::fromUtf8(action), this);
        caption->setObjectName(QStringLiteral("Label%1").arg(line + 1));
        grid->addWidget(caption, line, 0);
        auto* keyName = new QLabel(QString::fromUtf8(key), this);
        keyName->setObjectName(QStringLiteral("Key%1").arg(line + 1));
        grid->addWidget(keyName, line, 1);
        ++line;
    }
    layout->addLayout(grid);

    // Over the keys while a key is awaited, outside the layout: the dialog keeps its size.
    CapturePanel = new QFrame(this);
    CapturePanel->setObjectName(QStringLiteral("CapturePanel"));
    CapturePanel->setFrameShape(QFrame::Panel);
    CapturePanel->setFrameShadow(QFrame::Raised);
    CapturePanel->setAutoFillBackground(true);
    auto* capture = new QVBoxLayout(CapturePanel);
    capture->addWidget(named(new QLabel(QStringLiteral("Waiting for the new key..."), CapturePanel), "WaitLabel"));
    capture->addWidget(named(new QLabel(QStringLiteral("ESC to cancel"), CapturePanel), "CancelLabel"));
    CapturePanel->hide();

    SpeedButton2 = namedButton(this, "SpeedButton2", QStringLiteral("OK"));
    layout->addWidget(SpeedButton2, 0, Qt::AlignRight);
    connect(SpeedButton2, &QPushButton::clicked, this, [this] { accept(); });
    // The dialog sees keys (and the boxes' clicks) before its controls do.
    qApp->installEventFilter(this);
    FormCreate();
}

QString TfrmHK::keyText(int code)
{
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9'))
        return QString(QChar(code));
    return QStringLiteral("[%1]").arg(code);
}

void TfrmHK::FormCreate()
{
    for (std::size_t i = 0; i < Panels.size(); ++i)
        Panels[i]->setText(keyText(m_owner.HotKeys[i]));
}

void TfrmHK::Panel1Click(int tag)
{
    if (tag < 1 || tag > 7)
        return;
    m_capturing = tag;
    CapturePanel->adjustSize();
    CapturePanel->move((width() - CapturePanel->width()) / 2, (height() - CapturePanel->height()) / 2);
    CapturePanel->raise();
    CapturePanel->show();
}

bool TfrmHK::capturing() const
{
    return m_capturing != 0 && CapturePanel->isVisible();
}

bool TfrmHK::FormKeyDown(int key)
{
    if (!capturing())
        return false;
    if (key == platform::VK_ESCAPE) {
        m_capturing = 0;
        CapturePanel->hide();
        return true;
    }
    if (key >= 'A' && key <= 'Z') {
        const auto i = static_cast<std::size_t>(m_capturing - 1);
        m_owner.HotKeys[i] = key;
        Panels[i]->setText(keyText(key));
        m_capturing = 0;
        CapturePanel->hide();
    }
    return true;  // nothing else reaches the buttons while a key is awaited
}

bool TfrmHK::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease && watched->parent() == this &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        for (QLabel* box : Panels) {
            if (watched == box) {
                Panel1Click(box->property("Tag").toInt());
                return true;
            }
        }
    }
    if (event->type() == QEvent::KeyPress) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w != nullptr && w->window() == this && FormKeyDown(platform::virtualKey(*static_cast<QKeyEvent*>(event))))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace player
