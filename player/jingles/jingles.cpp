// TForm1's jingles: the nine tool buttons and menu items, starting a slot in a jingle window, the
// jingle list dialog, lowering the decks while jingle windows are open, and the jingles' share of
// a profile.
#include "player/form1.h"

#include "platform/inifile.h"
#include "player/jingles/jinlistform.h"
#include "player/jingles/jinplayform.h"
#include "player/language/translate.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>

namespace player {

namespace {

// The tool buttons of slots 1 to 9, in slot order.
constexpr const char* kJingleButtons[9] = {"ToolButton19", "ToolButton20", "ToolButton21",
                                           "ToolButton22", "ToolButton23", "ToolButton24",
                                           "ToolButton16", "ToolButton17", "ToolButton18"};

}  // namespace

void TForm1::buildJingles()
{
    JingleBar = addToolBar(QStringLiteral("Jingles"));
    JingleBar->setObjectName(QStringLiteral("JingleBar"));
    for (int k = 1; k <= 9; ++k) {
        auto* b = new QToolButton(JingleBar);
        b->setObjectName(QString::fromLatin1(kJingleButtons[k - 1]));
        b->setText(QString::number(k));
        b->setProperty("Tag", k);
        b->setFocusPolicy(Qt::NoFocus);
        JingleBar->addWidget(b);
        JingleButtons[static_cast<std::size_t>(k - 1)] = b;
        connect(b, &QToolButton::clicked, this, [this, b] { jin1Click(b); });
    }
    for (int k = 1; k <= 9; ++k) {
        auto* item = new QAction(QString::number(k), this);
        item->setObjectName(QStringLiteral("jin%1").arg(k));
        item->setProperty("Tag", k);
        mJingles->addAction(item);
        jin[static_cast<std::size_t>(k - 1)] = item;
        connect(item, &QAction::triggered, this, [this, item] { jin1Click(item); });
    }
    mJingles->addSeparator();
    N30 = new QAction(QStringLiteral("Назначить..."), this);
    N30->setObjectName(QStringLiteral("N30"));
    mJingles->addAction(N30);
    connect(N30, &QAction::triggered, this, [this] { N30Click(); });
}

void TForm1::jin1Click(QObject* sender)
{
    if (qobject_cast<QToolButton*>(sender) == nullptr && qobject_cast<QAction*>(sender) == nullptr)
        return;
    PlayJingl(sender->property("Tag").toInt());
}

void TForm1::PlayJingl(int n)
{
    if (n < 0 || n >= kJingleSlots || JingleSlots[static_cast<std::size_t>(n)].isEmpty())
        return;
    auto* window = new TfrmJinPlay(*this, JingleSlots[static_cast<std::size_t>(n)]);
    TranslateForm(window, "JinPlay.Captions");
    window->show();
}

void TForm1::N30Click()
{
    auto* dialog = new TfrmJinList(*this);
    TranslateForm(dialog, "JinList.Captions");
    TranslateColumns(LanguageFileName(), "JinListColumns", dialog->ListView1, 2);
    dialog->show();
}

void TForm1::ShowJingleSlot(int n)
{
    if (n >= 1 && n <= 9)
        jin[static_cast<std::size_t>(n - 1)]->setText(jingleMenuCaption(n, JingleSlots[static_cast<std::size_t>(n)]));
}

void TForm1::JingleWindowOpened()
{
    if (const std::optional<int> volume = Ducking.opened(JVol))
        SetDeckVolume(*volume);
}

void TForm1::JingleWindowClosed()
{
    if (const std::optional<int> volume = Ducking.closed())
        SetDeckVolume(*volume);
}

void TForm1::CloseJingleWindows()
{
    for (TfrmJinPlay* window : findChildren<TfrmJinPlay*>(Qt::FindDirectChildrenOnly)) {
        window->FormClose();
        window->close();
    }
}

void TForm1::LoadJinglesProfile(const platform::IniFile& ini, const ProfileLoad&)
{
    for (int k = 1; k <= 9; ++k) {
        JingleSlots[static_cast<std::size_t>(k)] =
            QString::fromStdString(ini.readString("Jingles", "Path" + std::to_string(k), ""));
        ShowJingleSlot(k);
    }
    JinglVolume = std::clamp(ini.readInteger("Options", "JinglVolume", 100), 0, 100);
    JVol = std::clamp(ini.readInteger("Options", "JVol", 100), 0, 100);
}

void TForm1::SaveJinglesProfile(platform::IniFile& ini)
{
    for (int k = 1; k <= 9; ++k)
        ini.writeString("Jingles", "Path" + std::to_string(k), JingleSlots[static_cast<std::size_t>(k)].toStdString());
    ini.writeInteger("Options", "JinglVolume", JinglVolume);
    ini.writeInteger("Options", "JVol", JVol);
}

}  // namespace player
