// The texts the player writes itself while it runs, beyond its ten messages: values a label takes,
// the units of the silence interval, the names of the file dialogs' filters and of the process
// priorities. Each has a built-in default; the language file replaces them by key.
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <string>
#include <string_view>

namespace player {

enum class PlayerText {
    AutoLevelOff,     // Label14 while the automatic level is off
    BpmNotMeasured,   // Label40 from a track's start until its BPM is measured
    Minutes,          // the silence interval's units
    Seconds,
    AudioFiles,       // filter names
    LineIn,
    M3uPlaylist,
    PlaylistM3u,
    JinglesList,
    ScheduleFiles,
    DatabaseFiles,
    // The folder tree's desktop, computer, network and root file system: empty built in, so that
    // the shell's names stand until a language names them.
    Desktop,
    Computer,
    Network,
    FileSystem,
    // The settings dialog's device lists: devices 0 and 1, and a number the system lists no more.
    NoSoundDevice,
    DefaultDevice,
    DeviceNotListed,
};
inline constexpr int kPlayerTextCount = 18;

class PlayerTexts {
public:
    PlayerTexts();

    const QString& operator[](PlayerText text) const { return m_texts[static_cast<std::size_t>(text)]; }
    // "Idle", "Normal", "High", "Realtime" for the priorities 0 to 3, as the settings dialog names them.
    const QStringList& PriorityNames() const { return m_priorities; }

    // The keys of the section "Texts" and the priority names "pr0" to "pr3" of "Settings.Other"; a
    // missing key (or file) keeps the text held now.
    void Load(const std::string& languageFile);

    // A file dialog's filter "name|patterns" with the name in the language.
    std::string Filter(PlayerText name, std::string_view patterns) const;
    // The deck's filter of playable files ("name|patterns|"), its name in the language.
    std::string DeckFilter(const std::string& deckFilter) const;

    static const QStringList& BuiltInPriorityNames();

private:
    std::array<QString, kPlayerTextCount> m_texts;
    QStringList m_priorities;
};

}  // namespace player
