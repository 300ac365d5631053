// Playlist reads on worker threads, landed in order on the window's thread.
#include "player/playlist/playlistreads.h"

#include "player/playlist/notesmarks.h"

#include <chrono>

namespace player {

PlaylistReads::~PlaylistReads()
{
    // Before the object goes: a worker may still be posting its word that it is done.
    abandon();
}

void PlaylistReads::read(const std::string& path, PlaylistEntries entries, std::size_t lead,
                         const std::string& notesFolder, Landed landed)
{
    std::promise<PlaylistRead> promise;
    std::future<PlaylistRead> result = promise.get_future();
    std::thread worker([this, path, entries, lead, notesFolder, promise = std::move(promise)]() mutable {
        PlaylistRead read = ReadPlaylistRows(path, entries, lead, true);
        if (read.rows && !notesFolder.empty()) {
            // A memory of its own: the window's is the window's thread's alone.
            auto marker = std::make_shared<NotesMarks>();
            marker->refresh(notesFolder, false);
            for (std::size_t i = lead; i < read.rows->size(); ++i)
                (*read.rows)[i].ImageIndex = marker->imageOf((*read.rows)[i]);
            read.marker = std::move(marker);
        }
        promise.set_value(std::move(read));
        // Told once the result is there to take. Posted to this object, which waits for its
        // workers before it goes: a read done late cannot call into what has gone.
        QMetaObject::invokeMethod(this, [this] { land(false); }, Qt::QueuedConnection);
    });
    pending_.push_back({std::move(worker), std::move(result), std::move(landed)});
}

void PlaylistReads::dispose(std::vector<controls::TVirtualItem>&& rows)
{
    std::erase_if(disposals_, [](const std::future<void>& f) {
        return f.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    });
    if (rows.capacity() == 0)
        return;
    disposals_.push_back(std::async(std::launch::async, [gone = std::move(rows)]() mutable { gone = {}; }));
}

void PlaylistReads::finish()
{
    land(true);
}

void PlaylistReads::abandon()
{
    wait();
    pending_.clear();
    disposals_.clear();  // each waits for its rows to be freed
}

void PlaylistReads::wait()
{
    for (Pending& p : pending_)
        if (p.worker.joinable())
            p.worker.join();
}

void PlaylistReads::land(bool wait)
{
    // A box shown by one landing runs the event loop: the word that a later read is done must not
    // land that one before the first has finished. The outer loop goes on to it.
    if (landing_ && !wait)
        return;
    const bool outer = !landing_;
    landing_ = true;
    while (!pending_.empty()) {
        std::future<PlaylistRead>& front = pending_.front().result;
        if (!wait && front.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            break;
        Pending done = std::move(pending_.front());
        pending_.pop_front();
        if (done.worker.joinable())
            done.worker.join();
        PlaylistRead read = done.result.get();
        done.landed(read);
    }
    if (outer)
        landing_ = false;
}

}  // namespace player
