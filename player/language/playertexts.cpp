// The player's own texts and their keys in the language file.
#include "player/language/playertexts.h"

#include "controls/lang.h"
#include "media/textutil.h"
#include "player/language/translate.h"

namespace player {

namespace {

struct Entry {
    const char* key;
    const char* builtIn;
};

constexpr std::array<Entry, kPlayerTextCount> kEntries{{
    {"AutoLevelOff", "off"},
    {"BpmNotMeasured", "[click]"},
    {"Minutes", "m"},
    {"Seconds", "s"},
    {"AudioFiles", "Audio Files (wav, mp3, ogg, wma, cda)"},
    {"LineIn", "LineIn (line.in)"},
    {"M3uPlaylist", "M3U Playlist"},
    {"PlaylistM3u", "Playlist (m3u)"},
    {"JinglesList", "Jingles list (*.lst)"},
    {"ScheduleFiles", "Schedule files (*.SDL)"},
    {"DatabaseFiles", "Database files (*.dfs)"},
    {"Desktop", ""},
    {"Computer", ""},
    {"Network", ""},
    {"FileSystem", ""},
    {"ListKeptUnread", "файл не прочитан и оставлен как был"},
    {"LongLinesLeftOut", "Пропущено строк плейлиста длиннее 64 КБ: %1"},
    {"LineBreakRowsLeftOut", "Не записаны строки с переводом строки в имени файла: %1"},
    {"PlaylistNamed", "Плейлист: %1"},
    {"FileNotRenamed", "Не удалось переименовать файл"},
    {"InvalidPresetName", "Недопустимое имя пресета: \"%1\""},
    {"InvalidProfileName", "Недопустимое имя профиля."},
    {"ProfileNameRule",
     "Имя не может быть пустым, \".\" или \"..\" и не может содержать \"/\", \"\\\" и управляющие символы."},
    {"ProfileName", "Имя профиля:"},
    {"ReplaceProfile", "Профиль \"%1\" уже существует. Заменить?"},
    {"EncoderNotStarted", "Не удалось запустить кодировщик %1 (%2)."},
    {"StartFailed", "запуск не удался"},
    {"EncoderUnfinished", "Кодировщик завершился, не закончив:"},
    {"ExitStatus", "код завершения %1"},
    {"ExitSignal", "сигнал %1 (%2)"},
    {"NotesNotSaved", "Не удалось сохранить описание в файл"},
    {"FileUnread", "Файл не читается: %1"},
    {"PlaylistUnread", "Плейлист не читается: %1"},
    {"PathTooLong", "Путь длиннее %1 байт не принят: %2"},
    {"FileNotOpened", "Файл не открывается: %1"},
    {"NoSharedMemory", "Поиск в базе недоступен: нет общей памяти (%1)"},
    {"TagNotWritten", "Ошибка: не удалось записать тег в файл!"},
    {"NoProgramForFile", "Нет программы, которая открыла бы этот файл. Он лежит здесь:"},
    {"CannotWrite", "Не удалось записать %1"},
    {"CannotRead", "Не удалось прочитать %1"},
    {"JinglesNotSaved", "Не удалось сохранить список джинглов:"},
    {"ScheduleNotSaved", "Не удалось сохранить расписание:"},
    {"SchedulePlaylistUnread", "Расписание: плейлист не прочитан или пуст, ничего не вставлено:"},
    {"ScheduleEntriesUnread", "Расписание %1: записи не распознаны и оставлены в файле как есть (%2):"},
    {"NotText", "не текстовый файл"},
    {"NoExtM3uHeader", "нет заголовка #EXTM3U"},
    {"FolderNotCreated", "не удалось создать папку %1"},
    {"WriteFailed", "запись не удалась"},
    {"PlaylistUnreadable", "Плейлист \"%1\" не читается: %2"},
    {"TooManyEntries", "Больше %1 записей"},
    {"TooManyLines", "Больше %1 строк"},
    {"PlaylistPathsTooLong", "Пропущено записей плейлиста с путём длиннее 255 байт: %1"},
    {"FirstLeftOut", "Первая: %1"},
    {"FileTypesNotRegistered", "Не удалось зарегистрировать типы файлов на рабочем столе в %1 и %2"},
    {"NoSoundDevice", "Без звука"},
    {"DefaultDevice", "По умолчанию"},
    {"DeviceNotListed", "(нет в системе)"},
    {"DeviceMain", "Звуковое устройство"},
    {"DeviceMonitor", "Второе устройство (подслушка)"},
    {"DeviceLost", "%1 %2: звук прервался (%3), идут попытки открыть его снова"},
    {"DeviceStandIn", "%1 %2 не открывается (%3): звук идёт на устройство «No sound», попытки открыть его продолжаются"},
    {"DeviceHeard", "%1 %2 открыто: звук идёт на него"},
    {"DeviceBack", "%1 %2 снова открыто"},
    {"DeviceMissing", "Звуковое устройство %1 не открывается (нет такого устройства): звук идёт на устройство «No sound»"},
    {"MonitorRefused", "Подслушка на втором устройстве %1 не включена: %2"},
    {"MonitorIsMain", "это основное устройство, подслушка шла бы в эфир"},
    {"MonitorSameOutput", "оно выводит звук туда же, куда основное устройство %1, подслушка шла бы в эфир"},
}};

const PlayerTexts* g_languageTexts = nullptr;

}  // namespace

PlayerTexts::PlayerTexts() : m_priorities(BuiltInPriorityNames())
{
    for (std::size_t i = 0; i < kEntries.size(); ++i)
        m_texts[i] = QString::fromUtf8(kEntries[i].builtIn);
}

const QStringList& PlayerTexts::BuiltInPriorityNames()
{
    static const QStringList names = {QStringLiteral("Idle"), QStringLiteral("Normal"), QStringLiteral("High"),
                                      QStringLiteral("Realtime")};
    return names;
}

void PlayerTexts::Load(const std::string& languageFile)
{
    std::vector<controls::LangText> texts;
    for (std::size_t i = 0; i < kEntries.size(); ++i)
        texts.push_back({kEntries[i].key, &m_texts[i]});
    controls::ReadLangTexts(languageFile, "Texts", texts);
    m_priorities = ReadLangValues(languageFile, "Settings.Other", "pr", 0, m_priorities);
}

std::vector<std::string> PlayerTexts::Keys()
{
    std::vector<std::string> keys;
    for (const Entry& entry : kEntries)
        keys.emplace_back(entry.key);
    return keys;
}

std::string PlayerTexts::Text(PlayerText text, std::initializer_list<std::string_view> values) const
{
    return media::fillText((*this)[text].toStdString(), values);
}

std::string PlayerTexts::Filter(PlayerText name, std::string_view patterns) const
{
    return controls::NamedFilter((*this)[name], patterns);
}

std::string PlayerTexts::DeckFilter(const std::string& deckFilter) const
{
    return controls::RenamedFilter(deckFilter, (*this)[PlayerText::AudioFiles]);
}

const PlayerTexts& LanguageTexts()
{
    static const PlayerTexts builtIn;
    return g_languageTexts != nullptr ? *g_languageTexts : builtIn;
}

void SetLanguageTexts(const PlayerTexts* texts)
{
    g_languageTexts = texts;
}

}  // namespace player
