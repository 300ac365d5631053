// The texts the player writes itself while it runs, beyond its ten messages: values a label takes,
// the units of the silence interval, the names of the file dialogs' filters and of the process
// priorities, and what its boxes and status-bar failures say. Each has a built-in default; the
// language file replaces them by key.
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

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
    // What the boxes and the status bar's failures say ("%1", "%2": the values filled in).
    ListKeptUnread,          // why a playlist was not saved over
    LongLinesLeftOut,        // the playlist reader's and writer's boxes
    LineBreakRowsLeftOut,
    PlaylistNamed,
    FileNotRenamed,
    InvalidPresetName,
    InvalidProfileName,      // profile save as: the input box and its refusals
    ProfileNameRule,
    ProfileName,
    ReplaceProfile,
    EncoderNotStarted,       // encoding
    StartFailed,
    EncoderUnfinished,
    ExitStatus,
    ExitSignal,
    NotesNotSaved,
    FileUnread,              // failures in the status bar
    PlaylistUnread,
    PathTooLong,
    FileNotOpened,
    NoSharedMemory,
    TagNotWritten,
    NoProgramForFile,
    CannotWrite,
    CannotRead,
    JinglesNotSaved,
    ScheduleNotSaved,
    SchedulePlaylistUnread,
    ScheduleEntriesUnread,
    NotText,                 // reasons of the player's own
    NoExtM3uHeader,
    FolderNotCreated,
    WriteFailed,
    PlaylistUnreadable,      // the media services' boxes and errors
    TooManyEntries,
    TooManyLines,
    PlaylistPathsTooLong,
    FirstLeftOut,
    FileTypesNotRegistered,
    // The settings dialog's device lists: devices 0 and 1, and a number the system lists no more.
    NoSoundDevice,
    DefaultDevice,
    DeviceNotListed,
    // The output devices' states and the pre-listen device's refusal, in the status bar.
    DeviceMain,
    DeviceMonitor,
    DeviceLost,
    DeviceStandIn,
    DeviceHeard,
    DeviceBack,
    DeviceMissing,
    MonitorRefused,
    MonitorIsMain,
    MonitorSameOutput,
};
inline constexpr int kPlayerTextCount = static_cast<int>(PlayerText::MonitorSameOutput) + 1;

class PlayerTexts {
public:
    PlayerTexts();

    const QString& operator[](PlayerText text) const { return m_texts[static_cast<std::size_t>(text)]; }
    // "Idle", "Normal", "High", "Realtime" for the priorities 0 to 3, as the settings dialog names them.
    const QStringList& PriorityNames() const { return m_priorities; }

    // The keys of the section "Texts" and the priority names "pr0" to "pr3" of "Settings.Other"; a
    // missing key (or file) keeps the text held now.
    void Load(const std::string& languageFile);

    // The text (UTF-8) with its placeholders filled by media::fillText, for a box or the status bar.
    std::string Text(PlayerText text, std::initializer_list<std::string_view> values = {}) const;

    // A file dialog's filter "name|patterns" with the name in the language.
    std::string Filter(PlayerText name, std::string_view patterns) const;
    // The deck's filter of playable files ("name|patterns|"), its name in the language.
    std::string DeckFilter(const std::string& deckFilter) const;

    static const QStringList& BuiltInPriorityNames();
    // The keys of the section "Texts", in the order of PlayerText.
    static std::vector<std::string> Keys();

private:
    std::array<QString, kPlayerTextCount> m_texts;
    QStringList m_priorities;
};

// The texts of the main window that lives now, for the file readers and helpers that tell the
// operator something from outside it; the built-in ones while there is no main window.
const PlayerTexts& LanguageTexts();
// Called by the main window as it comes and goes (nullptr).
void SetLanguageTexts(const PlayerTexts* texts);

}  // namespace player
