// Files that several processes of the user change: advisory locks and replacing writes.
#include <platform/Files.h>
#include <platform/Threads.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ctime>
#include <random>
#include <string>

namespace platform {

namespace {

bool fail(std::string& error, int errorNumber) {
    error = fileErrorMessage(errorNumber);
    return false;
}

bool syncNative(const std::string& path, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return fail(error, errno);
    const bool synced = fsync(fd) == 0;
    const int syncError = errno;
    ::close(fd);
    // Some file systems cannot sync a folder; that costs only durability, never the contents.
    return synced || syncError == EINVAL || syncError == EROFS ? true : fail(error, syncError);
}

bool writeAll(int fd, std::string_view contents, std::string& error) {
    size_t done = 0;
    while (done < contents.size()) {
        const ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(error, errno);
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// Readers tell a changed file by its modification time, which the system keeps only as finely as
// its clock ticks (milliseconds): two saves within one tick would look like one. Each new version
// gets a time at least a microsecond later than the one it replaces.
void laterThanBefore(int fd, const std::string& target) {
    struct stat old {};
    if (stat(target.c_str(), &old) != 0) return;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    timespec next = old.st_mtim;
    next.tv_nsec += 1000;
    if (next.tv_nsec >= 1000000000L) {
        next.tv_sec += 1;
        next.tv_nsec -= 1000000000L;
    }
    const bool nowIsLater = now.tv_sec > next.tv_sec || (now.tv_sec == next.tv_sec && now.tv_nsec > next.tv_nsec);
    const timespec times[2] = {{0, UTIME_OMIT}, nowIsLater ? now : next};
    futimens(fd, times);
}

}  // namespace

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

bool fileSync(std::u16string_view path, std::string& error) {
    std::string p;
    return fileNativePath(path, p, error) && syncNative(p, error);
}

bool fileWriteReplacing(std::u16string_view path, std::string_view contents, bool makePrivate, std::string& error) {
    std::string target;
    if (!fileNativePath(path, target, error)) return false;
    const size_t slash = target.rfind('/');
    const std::string folder = slash == 0 ? "/" : target.substr(0, slash);
    // A name of its own beside the target: another process may be writing the same file.
    std::string temporary;
    int fd = -1;
    std::random_device random;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = folder + "/.volan-" + std::to_string(random() % 1000000) + ".saving";
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, makePrivate ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST) return fail(error, errno);
    }
    if (fd < 0) return fail(error, EEXIST);
    bool written = writeAll(fd, contents, error);
    if (written && fsync(fd) != 0) written = fail(error, errno);
    // A private file is private before it takes the name, whatever the umask gave.
    if (written && makePrivate && fchmod(fd, 0600) != 0) written = fail(error, errno);
    if (written) laterThanBefore(fd, target);
    ::close(fd);
    if (written && rename(temporary.c_str(), target.c_str()) != 0) written = fail(error, errno);
    if (!written) {
        unlink(temporary.c_str());
        return false;
    }
    std::string ignored;
    syncNative(folder, ignored);
    return true;
}

}  // namespace platform
