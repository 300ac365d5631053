// The database program's own texts and their keys in the language file.
#include "database/basetexts.h"

#include "controls/lang.h"
#include "media/textutil.h"

namespace database {

namespace {

std::vector<controls::LangText> entries(BaseTexts& t)
{
    return {{"DatabaseFiles", &t.DatabaseFiles},
            {"M3uPlaylist", &t.M3uPlaylist},
            {"AudioFiles", &t.AudioFiles},
            {"Seconds", &t.Stat.seconds},
            {"Minutes", &t.Stat.minutes},
            {"Kilobytes", &t.Stat.kilobytes},
            {"Gigabytes", &t.Stat.gigabytes},
            {"Unknown", &t.Stat.unknown},
            {"Waiting", &t.Stat.waiting},
            {"UnknownError", &t.UnknownError},
            {"FileTypeNotRegistered", &t.FileTypeNotRegistered},
            {"CannotRead", &t.CannotRead},
            {"CannotWrite", &t.CannotWrite},
            {"SavedElsewhere", &t.SavedElsewhere},
            {"SameNamesNotCopied", &t.SameNamesNotCopied},
            {"PathsTooLong", &t.PathsTooLong},
            {"NotTrashed", &t.NotTrashed},
            {"NoFileFound", &t.NoFileFound},
            {"Unreachable", &t.Unreachable},
            {"RowsNotWritten", &t.RowsNotWritten},
            {"MoreRows", &t.MoreRows},
            {"TagNotReadBack", &t.TagNotReadBack},
            {"TagNotWritten", &t.TagNotWritten}};
}

}  // namespace

void BaseTexts::Load(const std::string& langFile)
{
    controls::ReadLangTexts(langFile, "Texts", entries(*this));
}

std::vector<std::string> BaseTexts::Keys()
{
    BaseTexts texts;
    std::vector<std::string> keys;
    for (const controls::LangText& entry : entries(texts))
        keys.emplace_back(entry.key);
    return keys;
}

std::string BaseTexts::Fill(const QString& text, std::initializer_list<std::string_view> values)
{
    return media::fillText(text.toStdString(), values);
}

}  // namespace database
