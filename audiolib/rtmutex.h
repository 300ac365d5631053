// A mutex for the locks the output thread takes. That thread runs with real-time scheduling where
// it may; if it waits for a lock held by an ordinary thread that the scheduler has set aside for
// busier ones, the output runs dry. With priority inheritance the holder is lifted to the
// waiter's priority until it lets go.
#pragma once

#include <pthread.h>

namespace audiolib {

class RtMutex {
public:
    RtMutex()
    {
        pthread_mutexattr_t attr;
        pthread_mutexattr_init(&attr);
        // Where the system has no priority inheritance the mutex is an ordinary one.
        pthread_mutexattr_setprotocol(&attr, PTHREAD_PRIO_INHERIT);
        pthread_mutex_init(&m_mutex, &attr);
        pthread_mutexattr_destroy(&attr);
    }
    ~RtMutex() { pthread_mutex_destroy(&m_mutex); }
    RtMutex(const RtMutex&) = delete;
    RtMutex& operator=(const RtMutex&) = delete;

    void lock() { pthread_mutex_lock(&m_mutex); }
    bool try_lock() { return pthread_mutex_trylock(&m_mutex) == 0; }
    void unlock() { pthread_mutex_unlock(&m_mutex); }

private:
    pthread_mutex_t m_mutex;
};

}  // namespace audiolib
