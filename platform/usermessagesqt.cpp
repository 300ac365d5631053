// Message boxes and dialogs on Qt. Qt widgets live on the GUI thread only, so a call from another
// thread is carried over to it and waits; without a GUI application nothing can be asked and the
// default answer is taken (a box is still written to the error output so it is not lost).
#include "platform/usermessagesqt.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QStringList>
#include <QThread>

#include <cstdio>

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
        out << (name.isEmpty() ? patterns : name) + QStringLiteral(" (") + patterns + QLatin1Char(')');
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
        QMessageBox box(qtmessages::icon(flags), title, q(shown));
        QMessageBox::StandardButtons set;
        for (auto b : qtmessages::buttons(flags))
            set |= b;
        box.setStandardButtons(set);
        box.setDefaultButton(qtmessages::defaultButton(flags));
        const int result = box.exec();
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
        bool ok = false;
        const QString text = QInputDialog::getText(nullptr, q(caption), q(toDisplayLineBreaks(prompt)),
                                                   QLineEdit::Normal, q(value), &ok);
        if (!ok)
            return std::nullopt;
        return text.toStdString();
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
        const QString name =
            QFileDialog::getOpenFileName(nullptr, q(title), q(initialDir), qtmessages::fileFilter(filter));
        if (name.isEmpty())
            return std::nullopt;
        return name.toStdString();
    });
}

std::optional<std::vector<std::string>> QtUserMessages::openFileNames(const std::string& title,
                                                                      const std::string& filter,
                                                                      const std::string& initialDir)
{
    if (!haveGui())
        return std::nullopt;
    return onGuiThread([&]() -> std::optional<std::vector<std::string>> {
        const QStringList names =
            QFileDialog::getOpenFileNames(nullptr, q(title), q(initialDir), qtmessages::fileFilter(filter));
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
        QFileDialog dialog(nullptr, q(title), q(initialDir), qtmessages::fileFilter(filter));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        QString ext = q(defaultExt);
        if (ext.startsWith(QLatin1Char('.')))
            ext.remove(0, 1);
        dialog.setDefaultSuffix(ext);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().constFirst().toStdString();
    });
}

std::optional<std::string> QtUserMessages::selectFolder(const std::string& title, const std::string& initialDir)
{
    if (!haveGui())
        return std::nullopt;
    return onGuiThread([&]() -> std::optional<std::string> {
        const QString dir = QFileDialog::getExistingDirectory(nullptr, q(title), q(initialDir));
        if (dir.isEmpty())
            return std::nullopt;
        return dir.toStdString();
    });
}

std::optional<std::uint32_t> QtUserMessages::chooseColor(std::uint32_t initial)
{
    if (!haveGui())
        return std::nullopt;
    return onGuiThread([&]() -> std::optional<std::uint32_t> {
        const QColor c = QColorDialog::getColor(qtmessages::toQColor(initial));
        if (!c.isValid())
            return std::nullopt;
        return qtmessages::fromQColor(c);
    });
}

std::optional<FontSpec> QtUserMessages::chooseFont(const FontSpec& initial)
{
    if (!haveGui())
        return std::nullopt;
    return onGuiThread([&]() -> std::optional<FontSpec> {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, qtmessages::toQFont(initial));
        if (!ok)
            return std::nullopt;
        FontSpec out = qtmessages::fromQFont(chosen, initial);  // the font dialog has no colour
        if (out.pointSize <= 0)
            out.pointSize = initial.pointSize;
        return out;
    });
}

}  // namespace platform
