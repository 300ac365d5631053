// Saving a file whole or not at all. Every save of a file the user would miss (settings, profiles,
// presets, the registry store, playlists, recent lists, bases, notes) goes through here: the bytes
// go to a temporary file beside the target, every write, the flush to the disk and the close are
// checked, and only a file that was written completely is renamed over the old one. On a full disk
// the old file stays as it was and the failure is reported.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class SaveFile {
public:
    // mode: the permission bits the saved file gets, whether new or replacing another. Without it a
    // replaced file keeps its own bits and a new one gets 0666 less the process's umask.
    explicit SaveFile(std::string path, std::optional<unsigned> mode = std::nullopt);
    // A save that was not committed leaves no temporary file and does not touch the target.
    ~SaveFile();
    SaveFile(const SaveFile&) = delete;
    SaveFile& operator=(const SaveFile&) = delete;

    // Creates the temporary file. False (error() set) when it cannot be created.
    bool open();
    // Appends bytes. After the first failure every call returns false and nothing more is written.
    bool write(const void* data, std::size_t size);
    bool write(std::string_view bytes) { return write(bytes.data(), bytes.size()); }
    // Flushes to the disk, closes and renames into place. False (error() set, target untouched,
    // temporary file removed) when anything on the way failed.
    bool commit();
    // Drops what was written; the target is not touched.
    void cancel();

    // What went wrong, as the operating system said it ("No space left on device").
    const std::string& error() const { return m_error; }
    const std::string& path() const { return m_path; }

private:
    bool fail(int err);  // always false

    std::string m_path;    // as given
    std::string m_target;  // the file actually replaced (a symbolic link's target)
    std::string m_temp;
    std::optional<unsigned> m_mode;
    int m_fd = -1;
    bool m_failed = false;
    std::string m_error;
};

// The whole of bytes to path through a SaveFile. False (error text set) on failure.
bool saveFile(const std::string& path, std::string_view bytes, std::string* error = nullptr,
              std::optional<unsigned> mode = std::nullopt);

// A name SaveFile gives its temporary files: "." + the target's name + "." + six letters or digits.
bool isSaveTempName(std::string_view name);

// Makes a new temporary file beside target, to be written whole and renamed over it, named as
// SaveFile names its own and locked as long as a descriptor of it stays open (keep one through
// the rename): removeStaleSaveFiles leaves it alone. Returns the descriptor and sets path; -1 with
// errno set when it cannot be made.
int createLockedTemp(const std::string& target, std::string& path);

// How long a temporary file must have been left untouched before it counts as left behind where
// nothing else tells: a writer works without pause and renames within seconds (a 100,000-row
// base in well under a minute), so a file untouched this long is no save or encoding running now.
inline constexpr std::chrono::minutes kStaleTempAge{10};

// Removes from folder (not below it) the leftovers of interrupted work: regular files of this user
// whose name matches and that have not been changed for minAge. Returns how many went.
int removeStaleTempFiles(const std::string& folder, bool (*matches)(std::string_view name),
                         std::chrono::seconds minAge = kStaleTempAge);

// Removes from folder (not below it) the temporary files of saves whose writer is gone (killed,
// crashed, the machine down), whatever their age: a SaveFile holds a lock on its temporary file
// until it is renamed into place, which the system drops with the writer, so what no lock holds
// has no writer. A save running now, in this program or another, keeps its file. On a network
// file system, where a writer on another machine may hold a lock this one cannot see, the age
// decides instead (kStaleTempAge). Returns how many went.
int removeStaleSaveFiles(const std::string& folder);

}  // namespace platform
