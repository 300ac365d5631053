// The next item of the Main list opened ahead of its start, on a worker thread: its stream and
// silence cut, its tag and its duration, everything a start would otherwise read on the
// user-interface thread while the main timer waits. The decks take the item by its file and
// settings; a start that finds something else prepared (the list changed, Next was pressed)
// opens its file itself.
//
// One worker thread prepares one item at a time; a newer request replaces one not yet begun, and
// an item that nobody takes is freed when it is replaced, discarded or the preparer ends.
#pragma once

#include "engine/preparedfile.h"
#include "media/records.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace player {

// What a start shows of its file: read with the file.
struct ItemInfo {
    std::string fileName;
    bool tagRead = false;
    media::TTagRecord tag{};
    std::int32_t durationMs = -1;  // -1: not measured (a CD track is measured only when its row asks)
};

class NextItemPreparer {
public:
    NextItemPreparer();
    // Waits for an item being prepared (its file read to the end, at most) and frees everything.
    ~NextItemPreparer();
    NextItemPreparer(const NextItemPreparer&) = delete;
    NextItemPreparer& operator=(const NextItemPreparer&) = delete;

    // The next start is expected to open these inputs: prepares them unless that is done or under
    // way. What was prepared for anything else is freed.
    void prepare(const engine::StartInputs& inputs);
    // Nothing is expected: frees what was prepared.
    void discard();
    // The prepared file for a start with these inputs, waiting while it is being prepared; null
    // when something else (or nothing) was prepared. Its tag and duration become startedInfo().
    // A file that failed to open lately and has not changed since gives its failure again,
    // without a new try.
    std::unique_ptr<engine::PreparedFile> take(const engine::StartInputs& inputs);
    // The file was opened ahead lately and could not be, and has not changed since: a start of
    // it fails at once.
    bool failsToOpen(const engine::StartInputs& inputs) const;
    // These inputs are opened and waiting to be taken.
    bool isReady(const engine::StartInputs& inputs) const;
    // The tag and duration read with the file last taken, when that was fileName.
    std::optional<ItemInfo> startedInfo(const std::string& fileName) const;

    // A file that failed to open is tried again when expected this much later (it may have been
    // copied in meanwhile).
    static constexpr std::chrono::milliseconds kRetryFailedAfter{5000};
    static constexpr std::size_t kKeptFailures = 32;

private:
    struct Item {
        std::unique_ptr<engine::PreparedFile> file;
        ItemInfo info;
        std::chrono::steady_clock::time_point when;
    };
    // The file's size and time of change when it failed, -1 when it was not there: a file
    // copied in or written since is tried again.
    struct FileState {
        std::int64_t sizeBytes = -1;
        std::int64_t modifiedNs = -1;
        bool operator==(const FileState&) const = default;
    };
    static FileState fileState(const std::string& path);
    struct Failure {
        engine::StartInputs inputs;
        int error = 0;
        std::chrono::steady_clock::time_point when;
        FileState file;
    };
    static std::unique_ptr<Item> prepareItem(const engine::StartInputs& inputs);
    const Failure* failedLately(const engine::StartInputs& inputs) const;  // under the mutex
    void run();

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<engine::StartInputs> m_wanted;   // the latest expectation
    std::optional<engine::StartInputs> m_pending;  // to begin
    std::optional<engine::StartInputs> m_running;  // being prepared
    std::optional<engine::StartInputs> m_taking;   // a start waits for it
    std::unique_ptr<Item> m_ready;  // opened; a file that failed is only among m_failures
    std::vector<Failure> m_failures;
    ItemInfo m_started;  // user-interface thread's, under the mutex for simplicity
    bool m_stop = false;
    std::thread m_worker;
};

}  // namespace player
