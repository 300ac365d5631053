// The notes window: memo, pop-up menu, font, the flag that stops automatic reading, and the
// switch from one track's notes file to the next.
#include "player/notes/notesfrm.h"

#include "controls/screenfit.h"
#include "controls/vqpossave.h"
#include "platform/usermessages.h"
#include "platform/usermessagesqt.h"
#include "player/notes/notesfiles.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>

#include <filesystem>

namespace player {

namespace {

QAction* menuItem(QWidget* owner, const char* name, const QString& text, const QKeySequence& key = {})
{
    auto* action = new QAction(text, owner);
    action->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty()) {
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        owner->addAction(action);
    }
    return action;
}

}  // namespace

TNotesFrm::TNotesFrm(QWidget* mainWindow) : QWidget(mainWindow, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("NotesFrm"));
    setWindowTitle(QStringLiteral("Notepad"));
    resize(240, 180);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->installEventFilter(this);
    layout->addWidget(Memo1);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    N1 = menuItem(this, "N1", QStringLiteral("Шрифт..."));
    N3 = menuItem(this, "N3", QStringLiteral("Не читать описания автоматически"));
    N3->setCheckable(true);  // its check mark is the flag
    EditCut1 = menuItem(Memo1, "EditCut1", QStringLiteral("Вырезать"), QKeySequence(Qt::CTRL | Qt::Key_X));
    EditCopy1 = menuItem(Memo1, "EditCopy1", QStringLiteral("Копировать"), QKeySequence(Qt::CTRL | Qt::Key_C));
    EditPaste1 = menuItem(Memo1, "EditPaste1", QStringLiteral("Вставить"), QKeySequence(Qt::CTRL | Qt::Key_V));
    PopupMenu1->addAction(N1);
    PopupMenu1->addAction(N3);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(EditCut1);
    PopupMenu1->addAction(EditCopy1);
    PopupMenu1->addAction(EditPaste1);
    Memo1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Memo1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu1->popup(Memo1->viewport()->mapToGlobal(p)); });
    connect(N1, &QAction::triggered, this, [this] { N1Click(); });
    connect(EditCut1, &QAction::triggered, Memo1, &QPlainTextEdit::cut);
    connect(EditCopy1, &QAction::triggered, Memo1, &QPlainTextEdit::copy);
    connect(EditPaste1, &QAction::triggered, Memo1, &QPlainTextEdit::paste);

    VqPosSave1 = new controls::TVqPosSave(this);
    VqPosSave1->setObjectName(QStringLiteral("VqPosSave1"));
    VqPosSave1->RootKey = controls::HKCU;
    VqPosSave1->Key = "Software\\Caldrivane";
}

void TNotesFrm::setVisible(bool visible)
{
    // The first place, before a saved position applies (at the showing): the main window's
    // top-right corner just below its title bar, as the main window stands then. Made any earlier,
    // it would follow where the main window stood before its profile placed it.
    if (visible && !m_placed && parentWidget() != nullptr) {
        m_placed = true;
        const QWidget* main = parentWidget();
        const QRect frame = main->frameGeometry();
        // Its own frame is not known before it is shown: the desktop frames it as it framed the
        // main window.
        const int ownFrameWidth = size().expandedTo(minimumSizeHint()).width() + frame.width() - main->width();
        move(frame.left() + frame.width() - ownFrameWidth - 1, main->geometry().top() + 1);
    }
    QWidget::setVisible(visible);
    // Wherever it was put, by the main window or by a saved place, the whole window is in sight.
    if (visible) {
        controls::widenForTitle(*this);
        controls::keepOnScreen(*this);
    }
}

bool TNotesFrm::NoAutoRead() const
{
    return N3->isChecked();
}

void TNotesFrm::SetNoAutoRead(bool on)
{
    N3->setChecked(on);
}

void TNotesFrm::N1Click()
{
    namespace qt = platform::qtmessages;
    const QFont current = Memo1->font();
    platform::FontSpec initial;
    initial.color = qt::fromQColor(Memo1->palette().color(QPalette::Text));
    const std::optional<platform::FontSpec> chosen = platform::userMessages().chooseFont(qt::fromQFont(current, initial));
    if (!chosen)
        return;
    QFont font = qt::toQFont(*chosen);
    if (chosen->pointSize <= 0)
        font.setPointSize(current.pointSize());
    Memo1->setFont(font);
    QPalette palette = Memo1->palette();
    palette.setColor(QPalette::Text, qt::toQColor(chosen->color));
    Memo1->setPalette(palette);
}

bool TNotesFrm::storeMemo()
{
    const QString text = Memo1->toPlainText();
    // Unchanged notes stay as they are: a track start must not rewrite them (nor fail to, on a
    // full or read-only disk).
    if (m_file.empty() || text == m_stored)
        return true;
    if (!text.isEmpty()) {
        if (!WriteNotesFile(m_file, text, &m_error))
            return false;
    } else {
        std::error_code ec;
        std::filesystem::remove(m_file, ec);
        if (ec) {
            m_error = ec.message();
            return false;
        }
    }
    m_stored = text;
    return true;
}

bool TNotesFrm::SaveNotes()
{
    const bool ok = storeMemo();
    if (ok && !m_file.empty() && OnNotesChanged)
        OnNotesChanged();
    return ok;
}

void TNotesFrm::LoadNotes(const std::string& path, const std::string& oldPath)
{
    if (NoAutoRead())
        return;
    if (!storeMemo()) {
        // Shown through the event queue, one box at a time: a track start must not wait for it.
        if (!m_errorShowing) {
            m_errorShowing = true;
            QPointer<TNotesFrm> self(this);
            const std::string text = "Не удалось сохранить описание в файл\r\n" + m_file + "\r\n(" + m_error + ")";
            QTimer::singleShot(0, this, [self, text] {
                platform::messageBox(text, "Notepad", platform::MB_OK | platform::MB_ICONERROR);
                if (self)
                    self->m_errorShowing = false;
            });
        }
        return;
    }
    if (OnNotesChanged)
        OnNotesChanged();
    if (!path.empty())
        AdoptOldNotesFile(oldPath, path);
    std::error_code ec;
    const bool exists = !path.empty() && std::filesystem::exists(path, ec);
    const std::optional<QString> text = exists ? ReadNotesFile(path) : std::nullopt;
    // A file that exists but cannot be read is never taken over: the empty memo would remove it.
    m_file = exists && !text ? std::string() : path;
    if (text) {
        Memo1->setPlainText(*text);
        show();
    } else {
        Memo1->clear();
        hide();
    }
    m_stored = Memo1->toPlainText();
}

void TNotesFrm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TNotesFrm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Memo1 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        hide();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace player
