// Giving a file new contents without risking the old ones (FileReplacement), and the writes of the
// user's shared plug-in files that are built on it.
#include <platform/Files.h>

#include "Posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

namespace platform {

using posix::Descriptor;
using posix::fail;
using posix::failNotAFile;

namespace {

bool mayAccess(const std::string& path, int how) { return faccessat(AT_FDCWD, path.c_str(), how, AT_EACCESS) == 0; }

// A temporary file in `folder` that no other process can open and that nothing is left of when
// this one ends: nameless where the file system allows, else named only for a moment.
int openNameless(const std::string& folder, int& errorNumber) {
    int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0) return fd;
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        errorNumber = errno;
        return -1;
    }
    std::string name = folder + "/.volan-XXXXXX";
    fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        errorNumber = errno;
        return -1;
    }
    unlink(name.c_str());
    return fd;
}

// The modification time of a new version: now, or a microsecond after the old one's where the
// clock has not moved on that far.
timespec laterThan(int64_t seconds, int32_t nanoseconds) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    timespec next{static_cast<time_t>(seconds), nanoseconds + 1000L};
    if (next.tv_nsec >= 1000000000L) {
        next.tv_sec += 1;
        next.tv_nsec -= 1000000000L;
    }
    const bool nowIsLater = now.tv_sec > next.tv_sec || (now.tv_sec == next.tv_sec && now.tv_nsec > next.tv_nsec);
    return nowIsLater ? now : next;
}

// Dates the written file (and syncs it when asked) before it is closed or takes its name.
bool finish(int fd, const timespec& modified, bool durable, std::string& error) {
    const timespec times[2] = {{0, UTIME_OMIT}, modified};
    futimens(fd, times);
    return !durable || fsync(fd) == 0 ? true : fail(error, errno);
}

void syncFolder(const std::string& folder) {
    const Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.fd >= 0) fsync(fd.fd);  // some file systems cannot: that costs durability, never contents
}

// Copies the whole of `from` over the file `target`, which keeps its identity (owner, links, other
// names). Its space is reserved first, so a full disk fails before the old contents are touched.
bool copyOver(int from, const std::string& target, const timespec& modified, bool durable, std::string& error) {
    Descriptor to(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (to.fd < 0) return fail(error, errno);
    struct stat st {};
    if (fstat(to.fd, &st) != 0) return fail(error, errno);
    if (!S_ISREG(st.st_mode)) return failNotAFile(error);
    if (fstat(from, &st) != 0) return fail(error, errno);
    if (st.st_size > 0 && fallocate(to.fd, FALLOC_FL_KEEP_SIZE, 0, st.st_size) != 0 && errno != EOPNOTSUPP &&
        errno != ENOSYS)
        return fail(error, errno);
    if (lseek(from, 0, SEEK_SET) != 0) return fail(error, errno);
    if (!posix::copyContents(from, to.fd, error)) return false;
    if (ftruncate(to.fd, st.st_size) != 0) return fail(error, errno);
    if (!finish(to.fd, modified, durable, error)) return false;
    const int closed = ::close(to.fd);
    to.fd = -1;
    return closed == 0 ? true : fail(error, errno);
}

}  // namespace

FileReplacement::~FileReplacement() { abandon(); }

bool FileReplacement::begin(std::u16string_view path, std::string_view suffix, std::string& error,
                            ReplacementOptions options) {
    abandon();
    mOptions = options;
    if (!fileNativePath(path, mTarget, error)) return false;
    struct stat st {};
    mExisted = lstat(mTarget.c_str(), &st) == 0;
    if (!mExisted && errno != ENOENT) return fail(error, errno);
    if (mExisted && S_ISLNK(st.st_mode)) {
        // Written through: the link stays and leads to the new contents.
        std::unique_ptr<char, decltype(&free)> resolved(realpath(mTarget.c_str(), nullptr), &free);
        if (!resolved || stat(resolved.get(), &st) != 0) return fail(error, errno);
        mTarget = resolved.get();
    }
    if (mExisted) {
        if (S_ISDIR(st.st_mode)) return fail(error, EISDIR);
        if (!S_ISREG(st.st_mode)) return failNotAFile(error);
        if (!mayAccess(mTarget, W_OK)) return fail(error, errno);
    }
    const size_t slash = mTarget.rfind('/');
    const std::string folder = slash == 0 ? "/" : mTarget.substr(0, slash);
    const bool folderWritable = mayAccess(folder, W_OK | X_OK);
    const bool ownerKept = st.st_uid == geteuid() || geteuid() == 0;
    mInPlace = mExisted && (!folderWritable || !ownerKept || st.st_nlink > 1);
    mMode = mOptions.ownerOnly ? 0600 : st.st_mode & 0777;
    mOwner = st.st_uid;
    mGroup = st.st_gid;
    mOldSeconds = mExisted ? st.st_mtim.tv_sec : 0;
    mOldNanoseconds = mExisted ? static_cast<int32_t>(st.st_mtim.tv_nsec) : 0;

    int fd = -1;
    int errorNumber = EEXIST;
    if (mInPlace && !folderWritable) {
        fd = openNameless(fileTemporaryRoot(), errorNumber);
    } else {
        // A new file has the usual permissions from the start; an old file's are given at the end.
        const std::string name = "." + mTarget.substr(slash + 1);
        const mode_t mode = mExisted || mOptions.ownerOnly ? 0600 : 0666;
        if (mOptions.reuse) {
            // Only a File of this user's that no link leads to: anything else starts afresh beside it.
            mTemporary = folder + "/" + name + std::string(suffix);
            fd = ::open(mTemporary.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
            struct stat part {};
            if (fd >= 0 &&
                (fstat(fd, &part) != 0 || !S_ISREG(part.st_mode) || part.st_uid != geteuid() || part.st_nlink != 1)) {
                ::close(fd);
                fd = -1;
            }
            if (fd >= 0) {
                const int flags = fcntl(fd, F_GETFL);
                if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
            }
        }
        for (int n = 0; fd < 0 && errorNumber == EEXIST && n < 1000; ++n) {
            mTemporary = folder + "/" + name + (n > 0 ? std::to_string(n) : "") + std::string(suffix);
            fd = ::open(mTemporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
            if (fd < 0) errorNumber = errno;
        }
    }
    if (fd < 0) {
        mTemporary.clear();
        return fail(error, errorNumber);
    }
    mContents.mFd = fd;
    mContents.mOffset = 0;
    return true;
}

bool FileReplacement::commit(std::string& error) {
    if (!mContents.isOpen()) return fail(error, EBADF);
    const int fd = mContents.mFd;
    const timespec modified = laterThan(mOldSeconds, mOldNanoseconds);
    bool ok = true;
    if (mInPlace) {
        ok = copyOver(fd, mTarget, modified, mOptions.durable, error);
    } else {
        if (mExisted) {
            // Root keeps the owner, others the group where they belong to it; where the system
            // refuses, the new file has the user's own, as any new file would.
            (void)!fchown(fd, geteuid() == 0 ? mOwner : static_cast<uid_t>(-1), mGroup);
        }
        if ((mExisted || mOptions.ownerOnly) && fchmod(fd, mMode) != 0) ok = fail(error, errno);
        ok = ok && finish(fd, modified, mOptions.durable, error);
        if (ok && rename(mTemporary.c_str(), mTarget.c_str()) != 0) ok = fail(error, errno);
        if (ok) mTemporary.clear();  // it is the file now
        if (ok && mOptions.durable) syncFolder(mTarget.substr(0, std::max<size_t>(mTarget.rfind('/'), 1)));
    }
    abandon();
    return ok;
}

void FileReplacement::abandon() {
    mContents.close();
    if (!mTemporary.empty()) unlink(mTemporary.c_str());
    mTemporary.clear();
}

void FileReplacement::keep() {
    mContents.close();
    mTemporary.clear();
}

bool fileWriteReplacing(std::u16string_view path, std::string_view contents, bool makePrivate, std::string& error) {
    FileReplacement replacement;
    return replacement.begin(path, ".saving", error, {makePrivate, true}) &&
           replacement.contents().write(contents.data(), static_cast<int64_t>(contents.size()), error) &&
           replacement.commit(error);
}

}  // namespace platform
