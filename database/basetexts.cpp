// The database program's own texts and their keys in the language file.
#include "database/basetexts.h"

#include "controls/lang.h"

namespace database {

void BaseTexts::Load(const std::string& langFile)
{
    controls::ReadLangTexts(langFile, "Texts",
                            {{"DatabaseFiles", &DatabaseFiles},
                             {"M3uPlaylist", &M3uPlaylist},
                             {"AudioFiles", &AudioFiles},
                             {"Seconds", &Stat.seconds},
                             {"Minutes", &Stat.minutes},
                             {"Kilobytes", &Stat.kilobytes},
                             {"Gigabytes", &Stat.gigabytes},
                             {"Unknown", &Stat.unknown},
                             {"Waiting", &Stat.waiting}});
}

}  // namespace database
