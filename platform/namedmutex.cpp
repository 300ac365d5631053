// Named mutex on an flock()ed file of the runtime folder.
#include "platform/namedmutex.h"

#include "platform/objectnames.h"

#include <QtGlobal>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

NamedMutex::NamedMutex(std::string_view name)
{
    const std::string folder = runtimeFolder();
    if (folder.empty()) {
        qWarning("NamedMutex: no runtime folder");
        return;
    }
    const std::string path = folder + "mutex." + safeObjectName(name);
    m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_fd < 0) {
        qWarning("NamedMutex: cannot open %s", path.c_str());
        return;
    }
    int rc;
    do {
        rc = ::flock(m_fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc == 0)
        m_owned = true;
    else
        m_existed = true;
}

NamedMutex::~NamedMutex()
{
    release();
    if (m_fd >= 0)
        ::close(m_fd);
}

void NamedMutex::release()
{
    if (m_owned) {
        ::flock(m_fd, LOCK_UN);
        m_owned = false;
    }
}

}  // namespace platform
