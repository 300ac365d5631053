// The counts of the files that open streams hold, found again by the files' identities.
#include "audiolib/countedframes.h"

#include <sys/stat.h>

#include <algorithm>
#include <mutex>
#include <utility>

namespace audiolib {

namespace {

struct Shared {
    FileIdentity file;
    std::weak_ptr<const CountedFrames> counted;
};

std::mutex g_mutex;
// Weak: a count lives exactly as long as the streams that use it, whatever this list holds.
std::vector<Shared> g_shared;

}  // namespace

bool identifyFile(int fd, FileIdentity* identity)
{
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0)
        return false;
    identity->device = static_cast<std::uint64_t>(st.st_dev);
    identity->inode = static_cast<std::uint64_t>(st.st_ino);
    identity->sizeBytes = static_cast<std::int64_t>(st.st_size);
    identity->modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
}

std::shared_ptr<const CountedFrames> findCountedFrames(const FileIdentity& file)
{
    std::lock_guard lock(g_mutex);
    for (const Shared& s : g_shared)
        if (s.file == file)
            if (auto counted = s.counted.lock())
                return counted;
    return nullptr;
}

void shareCountedFrames(const FileIdentity& file, const std::shared_ptr<const CountedFrames>& counted)
{
    std::lock_guard lock(g_mutex);
    std::erase_if(g_shared, [&file](const Shared& s) { return s.counted.expired() || s.file == file; });
    g_shared.push_back({file, counted});
}

}  // namespace audiolib
