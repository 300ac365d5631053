// TForm1's language: the whole file on the main window, a section on a dialog or on the notes
// window's menu, the language dialog, the help command and the application's hint.
#include "player/form1.h"

#include "controls/lang.h"
#include "controls/zrexplorerunit.h"
#include "controls/zrfoldertreeview.h"
#include "media/mediatexts.h"
#include "player/about/dbgfrm.h"
#include "player/language/langfiles.h"
#include "player/language/sellang.h"
#include "player/language/translate.h"
#include "player/notes/notesfrm.h"
#include "player/opendocument.h"
#include "player/playlist/finddialog.h"

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

}  // namespace

std::string TForm1::LanguageFileName() const
{
    return LanguageFile(LangDir);
}

std::vector<std::string> TForm1::LoadLanguage()
{
    const std::string file = LanguageFileName();
    std::vector<std::string> skipped;
    controls::LoadQtTranslations(LangDir);
    ShareHintsWithStatusTips(this);
    append(skipped, ApplyLangSection(file, "Form1.Captions", this, LangKind::Caption));
    append(skipped, ApplyLangSection(file, "Form1.Hints", this, LangKind::Hint));
    append(skipped, ApplyLangSection(file, "Form1.MenuHints", this, LangKind::MenuHint));
    append(skipped, ApplyLangSection(file, "Form1.Commands", this, LangKind::Command));
    append(skipped, ApplyLangSection(file, "Form1.MenuItems", this, LangKind::MenuItem));
    if (NotesFrm != nullptr) {
        append(skipped, TranslateNotesMenu(NotesFrm, "NotesFrm.Menus"));
        append(skipped, TranslateForm(NotesFrm, "NotesFrm.Captions"));
    }
    // The windows made once with the main window take the language with it.
    if (DbgFrm != nullptr)
        append(skipped, TranslateForm(DbgFrm, "DbgFrm.Captions"));
    if (FindDialog1 != nullptr)
        append(skipped, TranslateForm(FindDialog1, "FindDialog.Captions"));

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
    TranslateColumns(file, "PlaylistColumns", LVMaster, 5);
    TranslateColumns(file, "PlaylistColumns", LVSlave, 5);
    TranslateColumns(file, "FindlistColumns", LVFindResult, 4);
    // The schedule list, when the window has one.
    TranslateColumns(file, "ScheduleColumns", rasp, 3);
    const QStringList messages =
        ReadLangValues(file, "Strings", "s", 0, QStringList(Messages.begin(), Messages.end()));
    for (int n = 0; n < kPlayerMessageCount; ++n)
        Messages[static_cast<std::size_t>(n)] = messages[n];
    LoadTexts();
    if (SHView != nullptr)
        SHView->RenameSpecialNodes();
    UpdateCaption();
    return skipped;
}

void TForm1::LoadTexts()
{
    // A read under way words its refusals in the texts replaced here.
    Reads->wait();
    Texts.Load(LanguageFileName());
    auto text = [this](PlayerText t) { return Texts[t].toStdString(); };
    controls::SetExplorerNames({text(PlayerText::Desktop), text(PlayerText::Computer), text(PlayerText::Network),
                                text(PlayerText::FileSystem)});
    media::MediaTexts media;
    media.tagNotWritten = text(PlayerText::TagNotWritten);
    media.playlistUnreadable = text(PlayerText::PlaylistUnreadable);
    media.tooManyEntries = text(PlayerText::TooManyEntries);
    media.tooManyLines = text(PlayerText::TooManyLines);
    media.pathsTooLong = text(PlayerText::PlaylistPathsTooLong);
    media.firstLeftOut = text(PlayerText::FirstLeftOut);
    media.fileTypesNotRegistered = text(PlayerText::FileTypesNotRegistered);
    media::setMediaTexts(media);
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
    TranslateForm(dialog, "SelLang.Captions");
    dialog->exec();
    delete dialog;
    RenumberList();
}

void TForm1::aHelpContentExecute()
{
    OpenDocumentOrSayWhere(controls::HelpDocument(LangDir));
}

void TForm1::ApplicationEvents1Hint(const QString& hint)
{
    if (lOnAir != nullptr) {
        const QStringList lines = lOnAir->text().split(QRegularExpression(QStringLiteral("\r?\n")));
        lOnAir->setToolTip(lines.value(0) + QStringLiteral(" - ") + lines.value(1));
    }
    m_hint = hint;
    showStatusPanel();
}

}  // namespace player
