// Language sections through the platform's ini reader, which keeps file order, matches names
// without regard to case, limits values to 2047 characters and reads code page 1251 lines.
#include "controls/lang.h"

#include "platform/inifile.h"
#include "platform/programfolder.h"

#include <QFileInfo>

namespace controls {

void ReadLangSection(const std::string& FileName, const std::string& Section, const TLangKeyProc& Proc)
{
    if (!Proc || !QFileInfo(QString::fromStdString(FileName)).isFile())
        return;
    const platform::IniFile ini(FileName, platform::IniFile::Mode::Buffered);
    for (const std::string& key : ini.keys(Section))
        Proc(key, ini.readString(Section, key, kLangNoValue));
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

}  // namespace controls
