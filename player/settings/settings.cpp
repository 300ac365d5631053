// TForm1's settings command and what it shares with the dialog: the item classes' keywords and
// colours, the decks' speaker flags by monitor type, the desktop file types, the clock's colour;
// and the menu items of the settings, encoding and language features.
#include "player/form1.h"

#include "audiolib/audiolib.h"
#include "controls/mainmenuxp.h"
#include "engine/audioengine.h"
#include "media/shellfiletypes.h"
#include "platform/usermessages.h"
#include "platform/usermessagesqt.h"
#include "player/icons.h"
#include "player/language/translate.h"
#include "player/sequencing/sequencingdeck.h"
#include "player/sequencing/sequencingplayback.h"
#include "player/settings/radiogroup.h"
#include "player/settings/settingsform.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTabWidget>

#include <functional>
#include <stdexcept>

namespace player {

namespace {

// Runs a handler when the watched widget is clicked with the left button.
class ClickFilter : public QObject {
public:
    ClickFilter(QObject* parent, std::function<void()> onClick) : QObject(parent), m_onClick(std::move(onClick)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            m_onClick();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_onClick;
};

QAction* makeItem(QObject* parent, const char* name, const QString& text)
{
    auto* action = new QAction(text, parent);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

constexpr int kEncoderPage = 3;

}  // namespace

void TForm1::buildSettingsMenus()
{
    aSettings = makeItem(this, "aSettings", QStringLiteral("Настройки..."));
    Language1 = makeItem(this, "Language1", QStringLiteral("Select language..."));
    aHelpContent = makeItem(this, "aHelpContent", QStringLiteral("Содержание"));
    aHelpContent->setShortcut(QKeySequence(Qt::Key_F1));
    aHelpContent->setShortcutContext(Qt::WindowShortcut);
    addAction(aHelpContent);
    N52 = makeItem(this, "N52", QStringLiteral("Конвертировать"));
    mSettings->insertAction(mSettings->actions().value(0), aSettings);
    mSettings->insertSeparator(mSettings->actions().value(1));
    mSettings->addSeparator();
    mSettings->addAction(Language1);
    mHelp->insertAction(mHelp->actions().value(0), aHelpContent);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(N52);
    connect(aSettings, &QAction::triggered, this, [this] { aSettingsExecute(); });
    connect(Language1, &QAction::triggered, this, [this] { Language1Click(); });
    connect(aHelpContent, &QAction::triggered, this, [this] { aHelpContentExecute(); });
    connect(N52, &QAction::triggered, this, [this] { N52Click(); });
    timelabel->installEventFilter(new ClickFilter(timelabel, [this] { timelabelClick(); }));
    MainMenuXP1->HookItems();
}

bool TForm1::ShowSettingsDialog(bool encoderPage)
{
    auto* dialog = new TfrmSettings(*this);
    TranslateForm(dialog, "Settings.Captions");
    const std::string file = LanguageFileName();
    ApplyLangSection(file, "Settings.Hints", dialog, LangKind::Hint);
    dialog->rgClose->setItems(ReadLangValues(file, "Settings.Other", "cl", 0, dialog->rgClose->items()));
    dialog->RadioGroup3->setItems(ReadLangValues(file, "Settings.Other", "vl", 0, dialog->RadioGroup3->items()));
    dialog->RadioGroup1->setItems(ReadLangValues(file, "Settings.Other", "pr", 0, dialog->RadioGroup1->items()));
    dialog->montype->setItems(ReadLangValues(file, "Settings.Other", "mt", 0, dialog->montype->items()));
    if (encoderPage)
        dialog->PageControl1->setCurrentIndex(kEncoderPage);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    delete dialog;
    return accepted;
}

void TForm1::aSettingsExecute()
{
    ShowSettingsDialog(false);
    // Whatever the dialog's result: Cancel refreshes with the settings as they were.
    SetItemClasses(AdvertId, JingleId, LVMaster->AdvertColor, LVMaster->JingleColor);
    update();
    CurrentList->viewport()->update();
    UpdateCaption();
    StartSearchServer();
}

void TForm1::timelabelClick()
{
    const std::uint32_t current = platform::qtmessages::fromQColor(timelabel->palette().color(QPalette::WindowText));
    if (const std::optional<std::uint32_t> chosen = platform::userMessages().chooseColor(current)) {
        QPalette clock = timelabel->palette();
        clock.setColor(QPalette::WindowText, platform::qtmessages::toQColor(*chosen));
        timelabel->setPalette(clock);
    }
}

void TForm1::SetItemClasses(const std::string& advertId, const std::string& jingleId, const QColor& advertColor,
                            const QColor& jingleColor)
{
    AdvertId = advertId;
    JingleId = jingleId;
    for (controls::TVqListView* list : {LVMaster, LVSlave}) {
        list->AdvertKeyword = QString::fromStdString(AdvertId).toLower();
        list->JingleKeyword = QString::fromStdString(JingleId).toLower();
        list->AdvertColor = advertColor;
        list->JingleColor = jingleColor;
        list->viewport()->update();
    }
    if (Sequencer) {
        Sequencer->classNames().advertId = AdvertId;
        Sequencer->classNames().jingleId = JingleId;
    }
}

void TForm1::ApplyMonTypeFlags()
{
    // Other types than 0 to 2 leave the decks as they are.
    if (!Sequencer || MonType < 0 || MonType > 2)
        return;
    const std::int32_t flags = MonType == 1 ? static_cast<std::int32_t>(audiolib::kSpeakerFront) : 0;
    for (SequencerDeck* role : {&Sequencer->deckA(), &Sequencer->deckB()})
        if (engine::TAudioEngine* deck = engineOf(*role))
            deck->StreamFlags = flags;
}

void TForm1::RegisterShellTypes()
{
    try {
        media::RegisterFileTypes(QCoreApplication::applicationFilePath().toStdString(), PngBytes(MediaFileIcon()),
                                 PngBytes(PlaylistIcon()));
    } catch (const std::exception& e) {
        // The player goes on: only the desktop's double click is affected.
        platform::messageBox(e.what(), "Quorvalen", platform::MB_OK | platform::MB_ICONERROR);
    }
}

}  // namespace player
