// Files that several processes of the user share: advisory locks, and private folders.
#include <platform/Files.h>
#include <platform/Threads.h>

#include "Posix.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>

namespace platform {

using posix::fail;

FileLock::~FileLock() { unlock(); }

bool FileLock::lock(std::u16string_view path, int timeoutMs, std::string& error, bool* timedOut) {
    if (timedOut) *timedOut = false;
    unlock();
    std::string p;
    if (!fileNativePath(path, p, error)) return false;
    const int fd = ::open(p.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return fail(error, errno);
    // flock has no timed wait: try now and then until the time is up.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (int pause = 1;; pause = pause < 20 ? pause * 2 : 20) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            mFd = fd;
            return true;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            const int lockError = errno;
            ::close(fd);
            return fail(error, lockError);
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            if (timedOut) *timedOut = true;
            error = "another process holds it";
            return false;
        }
        sleepMilliseconds(pause);
    }
}

void FileLock::unlock() {
    if (mFd < 0) return;
    ::close(mFd);  // also drops the lock
    mFd = -1;
}

bool fileMakePrivateFolder(std::u16string_view path, std::string& error) {
    std::string p;
    if (!fileNativePath(path, p, error)) return false;
    if (mkdir(p.c_str(), 0700) != 0 && errno != EEXIST) return fail(error, errno);
    // Whoever made it: it is used only when it is this user's own folder.
    struct stat st {};
    if (lstat(p.c_str(), &st) != 0) return fail(error, errno);
    if (!S_ISDIR(st.st_mode) || st.st_uid != geteuid()) {
        error = "it is not a folder of this user's own";
        return false;
    }
    return (st.st_mode & 0777) == 0700 || chmod(p.c_str(), 0700) == 0 ? true : fail(error, errno);
}

}  // namespace platform
