// Named shared memory: shm_open + mmap, with holder counting through flock() so that the last
// holder removes the object and a crash leftover is zeroed again.
#include "platform/sharedmemory.h"

#include "platform/objectnames.h"

#include <QtGlobal>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

int lockFile(int fd, int op)
{
    int rc;
    do {
        rc = ::flock(fd, op);
    } while (rc != 0 && errno == EINTR);
    return rc;
}

int openLockFile(const std::string& path)
{
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
}

// Holds the guard lock for the scope of an open or close.
class GuardLock {
public:
    explicit GuardLock(int fd) : m_fd(fd) { m_locked = lockFile(m_fd, LOCK_EX) == 0; }
    ~GuardLock()
    {
        if (m_locked)
            lockFile(m_fd, LOCK_UN);
    }
    bool locked() const { return m_locked; }

private:
    int m_fd;
    bool m_locked = false;
};

}  // namespace

SharedMemory::~SharedMemory()
{
    close();
}

bool SharedMemory::open(std::string_view name, std::size_t size)
{
    close();
    m_error.clear();
    if (size == 0) {
        m_error = "no size";
        return false;
    }
    const std::string folder = runtimeFolder();
    if (folder.empty()) {
        qWarning("SharedMemory: no runtime folder");
        m_error = "no runtime folder";
        return false;
    }
    const std::string base = folder + "shm." + safeObjectName(name);
    m_guardFd = openLockFile(base + ".guard");
    m_holderFd = openLockFile(base + ".holders");
    if (m_guardFd < 0 || m_holderFd < 0) {
        m_error = std::strerror(errno);
        close();
        return false;
    }
    GuardLock guard(m_guardFd);
    if (!guard.locked()) {
        m_error = std::strerror(errno);
        close();
        return false;
    }
    // Under the guard nobody else opens or closes. If no one holds the area, whatever object
    // exists is a leftover of a crash: it goes, and the area is made anew under a fresh name.
    const bool otherHolders = lockFile(m_holderFd, LOCK_EX | LOCK_NB) != 0;
    if (lockFile(m_holderFd, LOCK_SH) != 0) {
        m_error = std::strerror(errno);
        close();
        return false;
    }
    const int fd = otherHolders ? openHeld(name) : createFresh(name);
    if (fd < 0) {
        close();
        return false;
    }
    struct stat st {};
    bool ok = fstat(fd, &st) == 0;
    if (!ok)
        m_error = std::strerror(errno);
    // /dev/shm is shared by every user: only an area that is ours and closed to others is used.
    if (ok && (st.st_uid != geteuid() || (st.st_mode & 077) != 0)) {
        qWarning("SharedMemory: %s is not this user's own", m_shmName.c_str());
        m_error = "not this user's own";
        ok = false;
    }
    m_existed = otherHolders;
    if (ok && static_cast<std::size_t>(st.st_size) < size && ftruncate(fd, static_cast<off_t>(size)) != 0) {
        m_error = std::strerror(errno);
        ok = false;
    }
    // A size alone reserves nothing on tmpfs: with /dev/shm full (any user's files fill it) the
    // first write into a page that is not there would end the program by SIGBUS. Every page is
    // taken now, or the area is not made.
    if (ok) {
        int rc;
        do {
            rc = posix_fallocate(fd, 0, static_cast<off_t>(size));
        } while (rc == EINTR);
        if (rc != 0) {
            m_error = std::strerror(rc);
            ok = false;
        }
    }
    void* data = ok ? mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0) : MAP_FAILED;
    if (ok && data == MAP_FAILED)
        m_error = std::strerror(errno);
    ::close(fd);
    if (data == MAP_FAILED) {
        qWarning("SharedMemory: cannot map %zu bytes of %s (%s)", size, m_shmName.c_str(), m_error.c_str());
        // What was made here is nobody's: it goes now rather than at the next start.
        if (!otherHolders)
            shm_unlink(m_shmName.c_str());
        close();
        return false;
    }
    m_data = data;
    m_size = size;
    return true;
}

int SharedMemory::createFresh(std::string_view name)
{
    // Our own leftover, named by the token last recorded; someone else's object under an old name
    // cannot be removed (/dev/shm is sticky) and is simply never used again.
    if (const std::string old = sharedMemoryToken(name); !old.empty())
        shm_unlink(sharedMemoryObjectName(name, old).c_str());
    // A fresh name, made exclusively: an object already there is passed over for another name
    // rather than opened.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::string token = drawSharedMemoryToken(name);
        if (token.empty())
            break;
        m_shmName = sharedMemoryObjectName(name, token);
        const int fd = shm_open(m_shmName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) {
            if (fd < 0) {
                m_error = std::strerror(errno);
                qWarning("SharedMemory: shm_open %s failed (%s)", m_shmName.c_str(), m_error.c_str());
            }
            return fd;
        }
    }
    m_error = "no fresh name";
    qWarning("SharedMemory: no fresh name for %s", std::string(name).c_str());
    return -1;
}

int SharedMemory::openHeld(std::string_view name)
{
    const std::string token = sharedMemoryToken(name);
    if (token.empty()) {
        m_error = "no recorded name";
        qWarning("SharedMemory: no recorded name for %s", std::string(name).c_str());
        return -1;
    }
    m_shmName = sharedMemoryObjectName(name, token);
    const int fd = shm_open(m_shmName.c_str(), O_RDWR | O_CLOEXEC, 0);
    if (fd < 0) {
        m_error = std::strerror(errno);
        qWarning("SharedMemory: shm_open %s failed (%s)", m_shmName.c_str(), m_error.c_str());
    }
    return fd;
}

void SharedMemory::close()
{
    if (m_guardFd >= 0) {
        GuardLock guard(m_guardFd);
        if (m_data) {
            munmap(m_data, m_size);
            m_data = nullptr;
            // Converting our shared lock to an exclusive one succeeds only when we were the last.
            if (guard.locked() && lockFile(m_holderFd, LOCK_EX | LOCK_NB) == 0)
                shm_unlink(m_shmName.c_str());
        }
        if (m_holderFd >= 0)
            ::close(m_holderFd);  // drops our holder lock
    } else if (m_holderFd >= 0) {
        ::close(m_holderFd);
    }
    if (m_guardFd >= 0)
        ::close(m_guardFd);
    m_guardFd = -1;
    m_holderFd = -1;
    m_data = nullptr;
    m_size = 0;
    m_existed = false;
}

}  // namespace platform
