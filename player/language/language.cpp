// TForm1's language: the whole file on the main window, a section on a dialog or on the notes
// window's menu, the language dialog, the help command and the application's hint.
#include "player/form1.h"

#include "controls/lang.h"
#include "controls/vtqstatusbar.h"
#include "platform/process.h"
#include "player/language/langfiles.h"
#include "player/language/sellang.h"
#include "player/language/translate.h"
#include "player/notes/notesfrm.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QRegularExpression>
#include <QTreeWidget>

namespace player {

namespace {

void append(std::vector<std::string>& to, std::vector<std::string> more)
{
    to.insert(to.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
}

QStringList columnCaptions(const QAbstractItemView* view, int count)
{
    QStringList captions;
    for (int c = 0; c < count; ++c)
        captions << view->model()->headerData(c, Qt::Horizontal).toString();
    return captions;
}

// The first `count` column captions of a list from the section's "c0", "c1", ... keys.
void translateColumns(const std::string& file, const std::string& section, QAbstractItemView* view, int count)
{
    if (view == nullptr || view->model() == nullptr)
        return;
    count = std::min(count, view->model()->columnCount());
    const QStringList captions = ReadLangValues(file, section, "c", 0, columnCaptions(view, count));
    for (int c = 0; c < count; ++c)
        view->model()->setHeaderData(c, Qt::Horizontal, captions[c]);
}

}  // namespace

std::string TForm1::LanguageFileName() const
{
    return LanguageFile(LangDir);
}

std::vector<std::string> TForm1::LoadLanguage()
{
    const std::string file = LanguageFileName();
    std::vector<std::string> skipped;
    ShareHintsWithStatusTips(this);
    append(skipped, ApplyLangSection(file, "Form1.Captions", this, LangKind::Caption));
    append(skipped, ApplyLangSection(file, "Form1.Hints", this, LangKind::Hint));
    append(skipped, ApplyLangSection(file, "Form1.MenuHints", this, LangKind::MenuHint));
    append(skipped, ApplyLangSection(file, "Form1.Commands", this, LangKind::Command));
    append(skipped, ApplyLangSection(file, "Form1.MenuItems", this, LangKind::MenuItem));
    if (NotesFrm != nullptr)
        append(skipped, TranslateNotesMenu(NotesFrm, "NotesFrm.Menus"));

    if (cbFindIndex != nullptr) {
        QStringList fields;
        for (int i = 0; i < cbFindIndex->count(); ++i)
            fields << cbFindIndex->itemText(i);
        while (fields.size() < 8)
            fields << QStringLiteral("-");
        fields = ReadLangValues(file, "FindIndexes", "i", 1, fields.mid(0, 8));
        const QSignalBlocker quiet(cbFindIndex);
        cbFindIndex->clear();
        cbFindIndex->addItems(fields);
        cbFindIndex->setCurrentIndex(0);
    }
    translateColumns(file, "PlaylistColumns", LVMaster, 5);
    translateColumns(file, "PlaylistColumns", LVSlave, 5);
    translateColumns(file, "FindlistColumns", LVFindResult, 4);
    // The schedule list, when the window has one.
    translateColumns(file, "ScheduleColumns", rasp, 3);
    const QStringList messages =
        ReadLangValues(file, "Strings", "s", 0, QStringList(Messages.begin(), Messages.end()));
    for (int n = 0; n < kPlayerMessageCount; ++n)
        Messages[static_cast<std::size_t>(n)] = messages[n];
    UpdateCaption();
    return skipped;
}

std::vector<std::string> TForm1::TranslateForm(QWidget* dialog, const std::string& section)
{
    return ApplyLangSection(LanguageFileName(), section, dialog, LangKind::Caption);
}

std::vector<std::string> TForm1::TranslateNotesMenu(QWidget* notesWindow, const std::string& section)
{
    return ApplyLangSection(LanguageFileName(), section, notesWindow, LangKind::MenuItem);
}

void TForm1::Language1Click()
{
    auto* dialog = new TSelLang(*this);
    dialog->exec();
    delete dialog;
    RenumberList();
}

void TForm1::aHelpContentExecute()
{
    // A missing help file is not reported.
    platform::openDocument(controls::HelpDocument(LangDir));
}

void TForm1::ApplicationEvents1Hint(const QString& hint)
{
    if (lOnAir != nullptr) {
        const QStringList lines = lOnAir->text().split(QRegularExpression(QStringLiteral("\r?\n")));
        lOnAir->setToolTip(lines.value(0) + QStringLiteral(" - ") + lines.value(1));
    }
    // The hint goes with the mouse; the panel's own text comes back.
    if (controls::TvtqStatusPanel* panel = StatusBar1->Panels().Items(0))
        panel->setText(hint.isEmpty() ? StatusText : hint);
}

}  // namespace player
