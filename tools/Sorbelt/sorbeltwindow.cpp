// The generator's window and its messages.
#include "tools/Sorbelt/sorbeltwindow.h"

#include "platform/messageids.h"
#include "tools/Sorbelt/dfsreader.h"
#include "tools/Sorbelt/sorbelt.h"
#include "tools/Sorbelt/stacklist.h"

#include <QFormLayout>
#include <QLabel>
#include <QMetaObject>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <chrono>
#include <limits>

namespace sorbelt {

namespace {

// The player reads the list while our send waits; a player that does not answer within this
// time is treated as gone for this hand-over.
constexpr std::chrono::milliseconds kHandOverTimeout{10000};

}  // namespace

TSorbeltWnd::TSorbeltWnd(std::string databasePath, QWidget* parent)
    : QWidget(parent),
      platform::MessageWindow(std::string(kWindowClass), std::string(kWindowCaption)),
      m_databasePath(std::move(databasePath)),
      m_random(std::random_device{}())
{
    setObjectName(QString::fromLatin1(kWindowClass.data(), static_cast<int>(kWindowClass.size())));
    setWindowTitle(QString::fromLatin1(kWindowCaption.data(), static_cast<int>(kWindowCaption.size())));
    m_texts.Load(languageFile(chosenLanguage()));

    auto* base = new QLabel(m_databasePath.empty() ? m_texts.NoBase : QString::fromStdString(m_databasePath));
    base->setObjectName(QStringLiteral("lbBase"));
    m_trackCount = new QSpinBox;
    m_trackCount->setObjectName(QStringLiteral("seTrackCount"));
    m_trackCount->setRange(1, kMaxTrackCount);
    m_trackCount->setValue(kDefaultTrackCount);
    m_generate = new QPushButton(m_texts.Generate);
    m_generate->setObjectName(QStringLiteral("btGenerate"));
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("lbStatus"));

    auto* baseCaption = new QLabel(m_texts.Base);
    baseCaption->setObjectName(QStringLiteral("lbBaseCaption"));
    auto* countCaption = new QLabel(m_texts.Tracks);
    countCaption->setObjectName(QStringLiteral("lbTrackCountCaption"));
    auto* form = new QFormLayout;
    form->addRow(baseCaption, base);
    form->addRow(countCaption, m_trackCount);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_generate);
    layout->addWidget(m_status);

    connect(m_generate, &QPushButton::clicked, this, [this] { generateStackList(); });
    setStatus(m_texts.PlayerNotConnected);
}

bool TSorbeltWnd::generateStackList()
{
    if (m_busy)
        return false;
    m_busy = true;
    struct Release {
        bool& flag;
        ~Release() { flag = false; }
    } release{m_busy};

    const DfsRows base = readDfsRows(m_databasePath);
    if (!base.ok) {
        const QString why = m_databasePath.empty() ? m_texts.NoBase
                                                   : QString::fromStdString(m_databasePath + ": " + base.error);
        setStatus(m_texts.BaseNotRead + why);
        return false;
    }
    const auto chosen = chooseRows(base.rows, m_trackCount->value(), m_random);
    if (chosen.empty()) {
        setStatus(m_texts.NoTracks);
        return false;
    }
    std::string error;
    if (!writeFileAtomically(stackListPath(), m3uText(chosen), &error)) {
        setStatus(m_texts.ListNotWritten + QString::fromStdString(error));
        return false;
    }
    const QString written = QString(m_texts.Written).replace(QStringLiteral("%1"), QString::number(chosen.size()));
    if (m_player == 0) {
        setStatus(written + m_texts.NoPlayer);
        return false;
    }
    platform::LResult answer = 0;
    const auto status = platform::sendMessageEx(m_player, platform::UM_LOAD_TEMP_LIST, kLoadReplacesMain, 0,
                                                &answer, kHandOverTimeout);
    if (status == platform::SendStatus::Answered) {
        setStatus(written + m_texts.HandedOver);
        return true;
    }
    if (status == platform::SendStatus::PeerGone)
        m_player = 0;  // handles are never reused: that player will not come back
    setStatus(written + m_texts.NoAnswer);
    return false;
}

platform::LResult TSorbeltWnd::windowProc(std::uint32_t msg, platform::WParam wParam, platform::LParam lParam)
{
    switch (msg) {
    case platform::UM_PING:
        return kPingAnswer;
    case platform::UM_SEARCH_HELLO:
        // Only the player's greeting names a window to hand lists to; anything else is not ours.
        if (lParam == kHelloFromPlayer && wParam > 0 &&
            wParam <= std::numeric_limits<platform::WindowHandle>::max()) {
            m_player = static_cast<platform::WindowHandle>(wParam);
            setStatus(m_texts.PlayerConnected);
        }
        return 0;
    case kWmCommand:
        // Queued, so that the program that pressed the button is not held inside its send while
        // we talk to the player.
        if (wParam == kGenerateButtonId)
            QMetaObject::invokeMethod(this, [this] { generateStackList(); }, Qt::QueuedConnection);
        return 0;
    default:
        return 0;
    }
}

void TSorbeltWnd::setStatus(const QString& text)
{
    m_status->setText(text);
}

}  // namespace sorbelt
