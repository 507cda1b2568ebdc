// A process-shared, robust, recursive POSIX mutex in a named shared-memory object. Every process
// that has the name open holds a shared flock on it; a process that can take the flock exclusively
// is the only one left, so it (re)initialises the mutex, which gives the lifetime of a system
// named object. Robustness reports an owner that died holding the mutex (EOWNERDEAD).
#include <platform/NamedMutex.h>

#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace platform {

struct NamedMutex::Shared {
    pthread_mutex_t mutex;
};

namespace {

std::string shmName(const std::string& name) {
    std::string n = "/";
    for (char c : name) n.push_back(c == '/' ? '_' : c);
    return n;
}

bool initialise(pthread_mutex_t* m) {
    pthread_mutexattr_t attr;
    if (pthread_mutexattr_init(&attr) != 0) return false;
    bool ok = pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED) == 0 &&
              pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST) == 0 &&
              pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE) == 0 && pthread_mutex_init(m, &attr) == 0;
    pthread_mutexattr_destroy(&attr);
    return ok;
}

}  // namespace

NamedMutex::~NamedMutex() { close(); }

bool NamedMutex::open(const std::string& name, std::string& error) {
    close();
    const std::string n = shmName(name);
    const int fd = shm_open(n.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    bool alone = flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (alone) {
        struct stat st {};
        if (fstat(fd, &st) != 0 ||
            (static_cast<size_t>(st.st_size) < sizeof(Shared) && ftruncate(fd, sizeof(Shared)) != 0)) {
            error = std::strerror(errno);
            ::close(fd);
            return false;
        }
    } else if (flock(fd, LOCK_SH) != 0) {  // waits while a first opener initialises it
        error = std::strerror(errno);
        ::close(fd);
        return false;
    }
    void* p = mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (p == MAP_FAILED) {
        error = std::strerror(errno);
        ::close(fd);
        return false;
    }
    auto* shared = static_cast<Shared*>(p);
    if (alone) {
        if (!initialise(&shared->mutex)) {
            error = "could not initialise the mutex";
            munmap(p, sizeof(Shared));
            ::close(fd);
            return false;
        }
        flock(fd, LOCK_SH);  // now others may open it too
    }
    mShared = shared;
    mFd = fd;
    return true;
}

void NamedMutex::close() {
    if (mShared) munmap(mShared, sizeof(Shared));
    if (mFd >= 0) ::close(mFd);  // also drops the flock
    mShared = nullptr;
    mFd = -1;
}

NamedMutex::Lock NamedMutex::lock(int timeoutMs, int* errorCode) {
    if (!mShared) {
        if (errorCode) *errorCode = EINVAL;
        return Lock::Failed;
    }
    int rc;
    if (timeoutMs < 0) {
        rc = pthread_mutex_lock(&mShared->mutex);
    } else {
        // timedlock (not clocklock) so thread checkers see the lock; it measures on the realtime clock.
        timespec until{};
        clock_gettime(CLOCK_REALTIME, &until);
        until.tv_sec += timeoutMs / 1000;
        until.tv_nsec += static_cast<long>(timeoutMs % 1000) * 1000000L;
        if (until.tv_nsec >= 1000000000L) {
            until.tv_sec += 1;
            until.tv_nsec -= 1000000000L;
        }
        rc = pthread_mutex_timedlock(&mShared->mutex, &until);
    }
    switch (rc) {
        case 0: return Lock::Acquired;
        case ETIMEDOUT: return Lock::TimedOut;
        case EOWNERDEAD:
            // We hold it now; make it consistent and give it back so the others can go on.
            pthread_mutex_consistent(&mShared->mutex);
            pthread_mutex_unlock(&mShared->mutex);
            return Lock::Abandoned;
        default:
            if (errorCode) *errorCode = rc;
            return Lock::Failed;
    }
}

void NamedMutex::unlock() {
    if (mShared) pthread_mutex_unlock(&mShared->mutex);
}

void NamedMutex::remove(const std::string& name) { shm_unlink(shmName(name).c_str()); }

}  // namespace platform
