// Playlist files read on threads of their own while the window goes on (a long list takes a good
// part of a second to read and resolve, and the air's timer must keep ticking meanwhile); what each
// read gave is handed to its caller on the window's thread, one read after the other in the order
// they were asked for.
#pragma once

#include "player/playlist/playlistfile.h"

#include <QObject>

#include <deque>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace player {

class PlaylistReads : public QObject {
public:
    using Landed = std::function<void(PlaylistRead&)>;

    PlaylistReads() = default;
    // Waits for the reads still under way; what they give is dropped.
    ~PlaylistReads() override;
    PlaylistReads(const PlaylistReads&) = delete;
    PlaylistReads& operator=(const PlaylistReads&) = delete;

    // Reads path on a worker thread, its rows numbered for a list of lead rows that they follow
    // (ReadPlaylistRows) and, with a notes folder given, marked by the notes there (NotesMarks);
    // landed gets what it gave from the event loop, after every read asked for before it has
    // landed.
    void read(const std::string& path, PlaylistEntries entries, std::size_t lead, const std::string& notesFolder,
              Landed landed);
    // Rows a list has let go of, freed on a worker thread: a long list's take the window's
    // thread tens of milliseconds.
    void dispose(std::vector<controls::TVirtualItem>&& rows);
    // Waits for every read asked for and lands them now, in their order: for what must come after
    // them (a list handed over, a profile loaded, the program closing).
    void finish();
    // Waits for the reads under way and drops what they give, landing none.
    void abandon();
    // Waits for the reads under way to be done, landing none: for what they read meanwhile (the
    // texts of the language they write their errors in) to change.
    void wait();
    bool busy() const { return !pending_.empty(); }

private:
    struct Pending {
        std::thread worker;
        std::future<PlaylistRead> result;
        Landed landed;
    };
    // Lands the reads at the front that are done (all of them, waiting, when wait is set).
    void land(bool wait);

    std::deque<Pending> pending_;
    std::vector<std::future<void>> disposals_;
    bool landing_ = false;
};

}  // namespace player
