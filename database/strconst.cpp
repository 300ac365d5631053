// The message texts and their loader.
#include "database/strconst.h"

#include "platform/cp1251.h"
#include "platform/inifile.h"
#include "platform/programfolder.h"

namespace database {

namespace {
const char* const kDefaults[] = {
    "Добавление треков...",
    "Сканирование папок...",
    "Чтение тегов...",
    "Подсчет времени...",
    "Удалить файл?",
    "База не сохранена! Сохранить?",
    "Эта операция удалит из базы информацию о файлах, которых больше нет на диске. Продолжить?",
    " записей было удалено",
    "Не добавлено файлов без тега ID3v1: %1 из %2 (в настройках включено «Не добавлять файлы с пустыми тегами»)",
    "База сохранена в файл %1",
};
const char* const kKeys[] = {"_p_addtracks",  "_p_scanfolders", "_p_readtags",    "_p_counttime",
                             "_ask_delfile", "_ask_savebase",  "_ask_checkbase", "_str1",
                             "_str_notag",   "_str_savedto"};
}  // namespace

std::string _p_addtracks = kDefaults[0];
std::string _p_scanfolders = kDefaults[1];
std::string _p_readtags = kDefaults[2];
std::string _p_counttime = kDefaults[3];
std::string _ask_delfile = kDefaults[4];
std::string _ask_savebase = kDefaults[5];
std::string _ask_checkbase = kDefaults[6];
std::string _str1 = kDefaults[7];
std::string _str_notag = kDefaults[8];
std::string _str_savedto = kDefaults[9];

namespace {
std::string* const kStrings[] = {&_p_addtracks,  &_p_scanfolders, &_p_readtags,    &_p_counttime,
                                 &_ask_delfile, &_ask_savebase,  &_ask_checkbase, &_str1,
                                 &_str_notag,   &_str_savedto};
}

std::string langFilePath(const std::string& langDir)
{
    if (langDir.empty())
        return platform::programPath("Lang/lang_b.ini");
    return platform::programPath("Lang/" + platform::toSlashes(langDir) + "/lang_b.ini");
}

void LoadStrings(const std::string& langFile)
{
    const platform::IniFile ini(langFile);
    for (std::size_t i = 0; i < std::size(kKeys); ++i) {
        if (!ini.valueExists("Strings", kKeys[i]))
            continue;
        // Language files may be UTF-8 or code page 1251.
        *kStrings[i] = platform::decodeText(ini.readString("Strings", kKeys[i], ""));
    }
}

void resetStrings()
{
    for (std::size_t i = 0; i < std::size(kKeys); ++i)
        *kStrings[i] = kDefaults[i];
}

}  // namespace database
