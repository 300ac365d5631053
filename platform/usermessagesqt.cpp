// Message boxes and dialogs on Qt. Qt widgets live on the GUI thread only, so a call from another
// thread is carried over to it and waits; without a GUI application nothing can be asked and the
// default answer is taken (a box is still written to the error output so it is not lost).
#include "platform/usermessagesqt.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QPointer>
#include <QStringList>
#include <QThread>

#include <cstdio>
#include <memory>
#include <type_traits>

namespace platform {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

bool haveGui() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

// Runs fn on the GUI thread and returns its result. The calling thread waits, so the GUI thread
// must not be waiting for it at the same time.
template <typename Fn>
auto onGuiThread(Fn fn) -> decltype(fn())
{
    QCoreApplication* app = QCoreApplication::instance();
    if (QThread::currentThread() == app->thread())
        return fn();
    decltype(fn()) result{};
    QMetaObject::invokeMethod(app, [&] { result = fn(); }, Qt::BlockingQueuedConnection);
    return result;
}

// The window the operator works in. A box or dialog without it opens under a window that stays
// on top (the jingle list, the notes, the diagnostics) and cannot be raised above it.
QWidget* activeWindow()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

// Shows the dialog that make builds over the active window and hands it to take once closed. A
// window that closes by itself (a jingle window at its jingle's end) takes its dialogs with it:
// the dialog is then built again over the window now in front.
template <typename Make, typename Take>
auto execOverActiveWindow(Make make, Take take)
{
    for (;;) {
        auto* dialog = make(activeWindow());
        const QPointer<std::remove_pointer_t<decltype(dialog)>> alive(dialog);
        const int result = dialog->exec();
        if (alive) {
            const std::unique_ptr<std::remove_pointer_t<decltype(dialog)>> done(dialog);
            return take(*dialog, result);
        }
    }
}

// The files (or the folder) chosen in a file dialog over the active window; empty when cancelled.
QStringList chooseFiles(const std::string& title, const std::string& filter, const std::string& initialDir,
                        QFileDialog::FileMode mode, const QString& defaultSuffix = QString())
{
    return execOverActiveWindow(
        [&](QWidget* parent) {
            auto* dialog = new QFileDialog(parent, q(title), q(initialDir), qtmessages::fileFilter(filter));
            dialog->setFileMode(mode);
            if (mode == QFileDialog::Directory)
                dialog->setOption(QFileDialog::ShowDirsOnly);
            if (mode == QFileDialog::AnyFile) {
                dialog->setAcceptMode(QFileDialog::AcceptSave);
                dialog->setDefaultSuffix(defaultSuffix);
            }
            return dialog;
        },
        [](QFileDialog& dialog, int result) { return result == QDialog::Accepted ? dialog.selectedFiles() : QStringList(); });
}

}  // namespace

namespace qtmessages {

std::vector<QMessageBox::StandardButton> buttons(unsigned flags)
{
    switch (flags & 0x0F) {
    case MB_OKCANCEL:
        return {QMessageBox::Ok, QMessageBox::Cancel};
    case MB_ABORTRETRYIGNORE:
        return {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
    case MB_YESNOCANCEL:
        return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case MB_YESNO:
        return {QMessageBox::Yes, QMessageBox::No};
    case MB_RETRYCANCEL:
        return {QMessageBox::Retry, QMessageBox::Cancel};
    default:
        return {QMessageBox::Ok};
    }
}

QMessageBox::StandardButton defaultButton(unsigned flags)
{
    const auto set = buttons(flags);
    const std::size_t index = (flags & 0xF00) == MB_DEFBUTTON2 && set.size() > 1 ? 1 : 0;
    return set[index];
}

QMessageBox::Icon icon(unsigned flags)
{
    switch (flags & 0xF0) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int answer(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Abort:
        return IDABORT;
    case QMessageBox::Retry:
        return IDRETRY;
    case QMessageBox::Ignore:
        return IDIGNORE;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return IDCANCEL;
    }
}

QString fileFilter(const std::string& filter)
{
    const QStringList parts = q(filter).split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString name = parts[i].trimmed();
        QString patterns = i + 1 < parts.size() ? parts[i + 1].trimmed() : QString();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        patterns = patterns.simplified();
        if (name.isEmpty() && patterns.isEmpty())
            continue;
        if (patterns.isEmpty())
            patterns = QStringLiteral("*");
        const QString shown = QStringLiteral(" (") + patterns + QLatin1Char(')');
        // A name that already shows its patterns ("Database files (*.dfs)") keeps them once.
        out << (name.isEmpty() ? patterns + shown : name.endsWith(shown, Qt::CaseInsensitive) ? name : name + shown);
    }
    return out.join(QStringLiteral(";;"));
}

QFont toQFont(const FontSpec& wanted)
{
    QFont font(q(wanted.family));
    if (wanted.pointSize > 0)
        font.setPointSize(wanted.pointSize);
    font.setBold(wanted.bold);
    font.setItalic(wanted.italic);
    font.setUnderline(wanted.underline);
    font.setStrikeOut(wanted.strikeOut);
    return font;
}

FontSpec fromQFont(const QFont& font, FontSpec base)
{
    base.family = font.family().toStdString();
    base.pointSize = font.pointSize();
    base.bold = font.bold();
    base.italic = font.italic();
    base.underline = font.underline();
    base.strikeOut = font.strikeOut();
    return base;
}

QColor toQColor(std::uint32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

std::uint32_t fromQColor(const QColor& color)
{
    return static_cast<std::uint32_t>(color.red()) | (static_cast<std::uint32_t>(color.green()) << 8) |
           (static_cast<std::uint32_t>(color.blue()) << 16);
}

}  // namespace qtmessages

int QtUserMessages::messageBox(const std::string& text, const std::string& caption, unsigned flags)
{
    const std::string shown = toDisplayLineBreaks(text);
    if (!haveGui()) {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), shown.c_str());
        return qtmessages::answer(qtmessages::defaultButton(flags));
    }
    return onGuiThread([&]() -> int {
        const QString title = caption.empty() ? QApplication::applicationDisplayName() : q(caption);
        QMessageBox::StandardButtons set;
        for (auto b : qtmessages::buttons(flags))
            set |= b;
        const int result = execOverActiveWindow(
            [&](QWidget* parent) {
                auto* box = new QMessageBox(qtmessages::icon(flags), title, q(shown), set, parent);
                box->setDefaultButton(qtmessages::defaultButton(flags));
                return box;
            },
            [](QMessageBox&, int answer) { return answer; });
        // Closing the box without a button (Esc, the close box) answers like Cancel, or like
        // the last button where there is no Cancel (No, Ignore, or the only OK).
        if (result == QMessageBox::NoButton || !(set & QMessageBox::StandardButton(result))) {
            const auto all = qtmessages::buttons(flags);
            return qtmessages::answer(all.back());
        }
        return qtmessages::answer(static_cast<QMessageBox::StandardButton>(result));
    });
}

bool QtUserMessages::inputQuery(const std::string& caption, const std::string& prompt, std::string& value)
{
    if (!haveGui())
        return false;
    std::optional<std::string> got = onGuiThread([&]() -> std::optional<std::string> {
        return execOverActiveWindow(
            [&](QWidget* parent) {
                auto* dialog = new QInputDialog(parent);
                dialog->setWindowTitle(q(caption));
                dialog->setLabelText(q(toDisplayLineBreaks(prompt)));
                dialog->setTextValue(q(value));
                return dialog;
            },
            [](QInputDialog& dialog, int result) -> std::optional<std::string> {
                if (result != QDialog::Accepted)
                    return std::nullopt;
                return dialog.textValue().toStdString();
            });
    });
    if (!got)
        return false;
    value = std::move(*got);
    return true;
}

std::optional<std::string> QtUserMessages::openFileName(const std::string& title, const std::string& filter,
                                                        const std::string& initialDir)
{
    if (!haveGui())
        return std::nullopt;
    return onGuiThread([&]() -> std::optional<std::string> {
        const QStringList names = chooseFiles(title, filter, initialDir, QFileDialog::ExistingFile);
        if (names.isEmpty())
            return std::nullopt;
        return names.constFirst().toStdString();
    });
}

std::optional<std::vector<std::string>> QtUserMessages::openFileNames(const std::string& title,
                                                                      const std::string& filter,
                                                                      const std::string& initialDir)
{
    if (!haveGui())
        return std::nullopt;
    return onGuiThread([&]() -> std::optional<std::vector<std::string>> {
        const QStringList names = chooseFiles(title, filter, initialDir, QFileDialog::ExistingFiles);
        if (names.isEmpty())
            return std::nullopt;
        std::vector<std::string> out;
        for (const auto& n : names)
            out.push_back(n.toStdString());
        return out;
    });
}

std::optional<std::string> QtUserMessages::saveFileName(const std::string& title, const std::string& filter,
                                                        const std::string& initialDir, const std::string& defaultExt)
{
    if (!haveGui())
        return std::nullopt;
    return onGuiThread([&]() -> std::optional<std::string> {
        QString ext = q(defaultExt);
        if (ext.startsWith(QLatin1Char('.')))
            ext.remove(0, 1);
        const QStringList names = chooseFiles(title, filter, initialDir, QFileDialog::AnyFile, ext);
        if (names.isEmpty())
            return std::nullopt;
        return names.constFirst().toStdString();
    });
}

std::optional<std::string> QtUserMessages::selectFolder(const std::string& title, const std::string& initialDir)
{
    if (!haveGui())
        return std::nullopt;
    return onGuiThread([&]() -> std::optional<std::string> {
        const QStringList dirs = chooseFiles(title, std::string(), initialDir, QFileDialog::Directory);
        if (dirs.isEmpty())
            return std::nullopt;
        return dirs.constFirst().toStdString();
    });
}

std::optional<std::uint32_t> QtUserMessages::chooseColor(std::uint32_t initial)
{
    if (!haveGui())
        return std::nullopt;
    return onGuiThread([&]() -> std::optional<std::uint32_t> {
        return execOverActiveWindow(
            [&](QWidget* parent) { return new QColorDialog(qtmessages::toQColor(initial), parent); },
            [](QColorDialog& dialog, int result) -> std::optional<std::uint32_t> {
                const QColor c = dialog.selectedColor();
                if (result != QDialog::Accepted || !c.isValid())
                    return std::nullopt;
                return qtmessages::fromQColor(c);
            });
    });
}

std::optional<FontSpec> QtUserMessages::chooseFont(const FontSpec& initial)
{
    if (!haveGui())
        return std::nullopt;
    return onGuiThread([&]() -> std::optional<FontSpec> {
        return execOverActiveWindow(
            [&](QWidget* parent) { return new QFontDialog(qtmessages::toQFont(initial), parent); },
            [&](QFontDialog& dialog, int result) -> std::optional<FontSpec> {
                if (result != QDialog::Accepted)
                    return std::nullopt;
                FontSpec out = qtmessages::fromQFont(dialog.selectedFont(), initial);  // the font dialog has no colour
                if (out.pointSize <= 0)
                    out.pointSize = initial.pointSize;
                return out;
            });
    });
}

}  // namespace platform
