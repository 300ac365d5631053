// The language-file reader both programs translate their windows with: every key of one section
// of a language ini file, in file order, handed to a procedure of the caller.
#pragma once

#include <QString>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace controls {

// Called once per key with the key and its value (UTF-8; files in code page 1251 are converted).
using TLangKeyProc = std::function<void(const std::string& key, const std::string& value)>;

// The value handed on for a key whose value cannot be read.
inline constexpr const char* kLangNoValue = "~no~val~";

// A missing file, section or key list makes no call; the file is only read, never created.
// An exception thrown by proc ends the visit and reaches the caller.
void ReadLangSection(const std::string& FileName, const std::string& Section, const TLangKeyProc& Proc);

// A text a program writes itself while it runs, under its key in a language file.
struct LangText {
    const char* key;
    QString* text;
};
// Each key of the section that the file holds replaces its text; the others keep theirs.
void ReadLangTexts(const std::string& FileName, const std::string& Section, const std::vector<LangText>& texts);

// A file dialog's filter "name|patterns" under a name from a language file ("|" would split it).
std::string NamedFilter(const QString& name, std::string_view patterns);
// The filter ("name|patterns|...") with its first name replaced.
std::string RenamedFilter(const std::string& filter, const QString& name);

// The help file of a language folder as it is named, "<program folder>/Lang/<langDir>/help.chm".
std::string HelpFile(const std::string& langDir);
// What the help command of both programs opens: the help file when it exists, else the HTML help
// beside it ("help.html"), else the help file's name all the same.
std::string HelpDocument(const std::string& langDir);

// Qt's own texts (file dialogs, the buttons of message boxes, the edit menus of text fields) in
// the language of the chosen folder, whose name is read as a language code ("Ru", "En"). Replaces
// the translation of an earlier choice; a folder that names no language, or one Qt has no
// translation for, leaves Qt's built-in English. True when a translation was installed.
bool LoadQtTranslations(const std::string& langDir);

}  // namespace controls
