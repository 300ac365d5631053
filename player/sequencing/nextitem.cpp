// The worker that opens the next item ahead of its start.
#include "player/sequencing/nextitem.h"

#include "engine/filenameparts.h"
#include "media/tag.h"
#include "player/fileinfo.h"

#include <sys/stat.h>

#include <utility>

namespace player {

NextItemPreparer::NextItemPreparer() : m_worker([this] { run(); }) {}

NextItemPreparer::~NextItemPreparer()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_worker.join();
}

void NextItemPreparer::prepare(const engine::StartInputs& inputs)
{
    std::unique_ptr<Item> stale;
    {
        std::lock_guard lock(m_mutex);
        const bool inHand = (m_ready && m_ready->file->inputs() == inputs) || m_running == inputs ||
                            m_pending == inputs || failedLately(inputs);
        if (m_wanted == inputs && inHand)
            return;
        m_wanted = inputs;
        if (m_ready && !(m_ready->file->inputs() == inputs))
            stale = std::move(m_ready);
        if (inHand)
            m_pending.reset();
        else
            m_pending = inputs;
    }
    m_changed.notify_all();
}

void NextItemPreparer::discard()
{
    std::unique_ptr<Item> stale;
    std::lock_guard lock(m_mutex);
    m_wanted.reset();
    m_pending.reset();
    stale = std::move(m_ready);
}

std::unique_ptr<engine::PreparedFile> NextItemPreparer::take(const engine::StartInputs& inputs)
{
    std::unique_ptr<Item> item;
    {
        std::unique_lock lock(m_mutex);
        // Half prepared is nearer to playing than opened anew.
        m_taking = inputs;
        m_changed.wait(lock, [&] { return !(m_running == inputs); });
        m_taking.reset();
        // Not begun yet: the start opens the file itself, which is sooner.
        if (m_pending == inputs)
            m_pending.reset();
        if (!m_ready || !(m_ready->file->inputs() == inputs)) {
            m_started = {};  // the start reads the file's tag and duration itself
            const Failure* failure = failedLately(inputs);
            return failure ? engine::PreparedFile::failed(inputs, failure->error) : nullptr;
        }
        item = std::move(m_ready);
        // The same file expected again (a repeat, the same file twice in a row) is opened again.
        if (m_wanted == inputs)
            m_wanted.reset();
        m_started = std::move(item->info);
    }
    return std::move(item->file);
}

bool NextItemPreparer::isReady(const engine::StartInputs& inputs) const
{
    std::lock_guard lock(m_mutex);
    return m_ready && m_ready->file->inputs() == inputs;
}

bool NextItemPreparer::failsToOpen(const engine::StartInputs& inputs) const
{
    std::lock_guard lock(m_mutex);
    return failedLately(inputs) != nullptr;
}

const NextItemPreparer::Failure* NextItemPreparer::failedLately(const engine::StartInputs& inputs) const
{
    const auto now = std::chrono::steady_clock::now();
    for (const Failure& f : m_failures)
        if (f.inputs == inputs && now - f.when < kRetryFailedAfter)
            return f.file == fileState(inputs.fileName) ? &f : nullptr;
    return nullptr;
}

NextItemPreparer::FileState NextItemPreparer::fileState(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {};
    return {static_cast<std::int64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

std::optional<ItemInfo> NextItemPreparer::startedInfo(const std::string& fileName) const
{
    std::lock_guard lock(m_mutex);
    if (m_started.fileName != fileName)
        return std::nullopt;
    return m_started;
}

std::unique_ptr<NextItemPreparer::Item> NextItemPreparer::prepareItem(const engine::StartInputs& inputs)
{
    auto item = std::make_unique<Item>();
    item->file = engine::PreparedFile::open(inputs);
    item->info.fileName = inputs.fileName;
    if (item->file->error() == 0) {
        TagReaders readers;
        std::string technical;
        item->info.tagRead = ReadFileInfo(readers, inputs.fileName, item->info.tag, technical);
        // From the stream, which has read the file for its frames already. Reading a CD track's
        // length spins the disc: its row measures it only once, itself.
        if (engine::extensionOf(inputs.fileName) != ".cda")
            item->info.durationMs = media::GetStreamDurationMs(item->file->stream());
    }
    item->when = std::chrono::steady_clock::now();
    return item;
}

void NextItemPreparer::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stop || m_pending.has_value(); });
        if (m_stop)
            return;
        const engine::StartInputs inputs = *std::exchange(m_pending, std::nullopt);
        m_running = inputs;
        lock.unlock();
        // Taken before the open: a file that changes while it is opened is tried again.
        const FileState file = fileState(inputs.fileName);
        std::unique_ptr<Item> item;
        try {
            item = prepareItem(inputs);
        } catch (...) {
            // Out of memory, say: the start opens the file itself.
        }
        lock.lock();
        m_running.reset();
        if (item && item->file->error() != 0) {
            // Known for a while, so that the start of the row skips it at once and the row after
            // it is opened ahead instead.
            std::erase_if(m_failures, [&](const Failure& f) { return f.inputs == inputs; });
            if (m_failures.size() >= kKeptFailures)
                m_failures.erase(m_failures.begin());
            m_failures.push_back({inputs, item->file->error(), item->when, file});
        } else if (item && !m_stop && (m_wanted == inputs || m_taking == inputs)) {
            // Kept only while it is still expected, or a start is waiting for it.
            std::swap(item, m_ready);
        }
        m_changed.notify_all();
        lock.unlock();
        item.reset();  // what is no longer wanted, freed outside the lock
        lock.lock();
    }
}

}  // namespace player
