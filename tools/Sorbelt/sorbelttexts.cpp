// The generator's texts and their keys in the language file.
#include "tools/Sorbelt/sorbelttexts.h"

#include "controls/lang.h"
#include "platform/inifile.h"
#include "platform/programfolder.h"

namespace sorbelt {

void SorbeltTexts::Load(const std::string& languageFile)
{
    controls::ReadLangTexts(languageFile, "Sorbelt",
                            {{"Base", &Base},
                             {"Tracks", &Tracks},
                             {"Generate", &Generate},
                             {"NoBase", &NoBase},
                             {"PlayerConnected", &PlayerConnected},
                             {"PlayerNotConnected", &PlayerNotConnected},
                             {"BaseNotRead", &BaseNotRead},
                             {"NoTracks", &NoTracks},
                             {"ListNotWritten", &ListNotWritten},
                             {"Written", &Written},
                             {"NoPlayer", &NoPlayer},
                             {"HandedOver", &HandedOver},
                             {"NoAnswer", &NoAnswer}});
}

std::string chosenLanguage()
{
    return platform::IniFile(platform::programPath("system.ini")).readString("Options", "LangDir", "");
}

std::string languageFile(const std::string& langDir)
{
    return platform::programPath("Lang/" + platform::toSlashes(langDir) + "/lang.ini");
}

}  // namespace sorbelt
