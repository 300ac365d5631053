// Language sections through the platform's ini reader, which keeps file order, matches names
// without regard to case, limits values to 2047 characters and reads code page 1251 lines.
#include "controls/lang.h"

#include "platform/inifile.h"
#include "platform/programfolder.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>


namespace controls {

void ReadLangSection(const std::string& FileName, const std::string& Section, const TLangKeyProc& Proc)
{
    if (!Proc || !QFileInfo(QString::fromStdString(FileName)).isFile())
        return;
    const platform::IniFile ini(FileName, platform::IniFile::Mode::Buffered);
    for (const std::string& key : ini.keys(Section))
        Proc(key, ini.readString(Section, key, kLangNoValue));
}

void ReadLangTexts(const std::string& FileName, const std::string& Section, const std::vector<LangText>& texts)
{
    if (!QFileInfo(QString::fromStdString(FileName)).isFile())
        return;
    const platform::IniFile ini(FileName, platform::IniFile::Mode::Buffered);
    for (const LangText& t : texts)
        if (ini.valueExists(Section, t.key))
            *t.text = QString::fromStdString(ini.readString(Section, t.key, ""));
}

std::string NamedFilter(const QString& name, std::string_view patterns)
{
    return QString(name).remove(QLatin1Char('|')).toStdString() + "|" + std::string(patterns);
}

std::string RenamedFilter(const std::string& filter, const QString& name)
{
    const std::size_t bar = filter.find('|');
    return bar == std::string::npos ? filter : NamedFilter(name, filter.substr(bar + 1));
}

std::string HelpFile(const std::string& langDir)
{
    return platform::programPath("Lang/" + platform::toSlashes(langDir) + "/help.chm");
}

std::string HelpDocument(const std::string& langDir)
{
    const std::string chm = HelpFile(langDir);
    if (QFileInfo::exists(QString::fromStdString(chm)))
        return chm;
    const std::string html = chm.substr(0, chm.size() - 3) + "html";
    return QFileInfo::exists(QString::fromStdString(html)) ? html : chm;
}

bool LoadQtTranslations(const std::string& langDir)
{
    // Owned by the application, so that it goes with it.
    static QPointer<QTranslator> installed;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
    }
    // Only a folder named by a language code: "Test" or "Russian" must not pass for another.
    const QString code = QString::fromStdString(langDir).toLower();
    const QLocale::Language language = QLocale::codeToLanguage(code, QLocale::ISO639Part1);
    if (QCoreApplication::instance() == nullptr || language == QLocale::AnyLanguage || language == QLocale::C ||
        language == QLocale::English)
        return false;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_") + code, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    installed = translator;
    return true;
}

}  // namespace controls
