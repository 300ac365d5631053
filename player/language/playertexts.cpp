// The player's own texts and their keys in the language file.
#include "player/language/playertexts.h"

#include "controls/lang.h"
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
    {"NoSoundDevice", "No sound"},
    {"DefaultDevice", "Default"},
    {"DeviceNotListed", "(not in the system)"},
}};

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

std::string PlayerTexts::Filter(PlayerText name, std::string_view patterns) const
{
    return controls::NamedFilter((*this)[name], patterns);
}

std::string PlayerTexts::DeckFilter(const std::string& deckFilter) const
{
    return controls::RenamedFilter(deckFilter, (*this)[PlayerText::AudioFiles]);
}

}  // namespace player
