// Files and folders on the native file system, reached through Windows paths (FilePaths.cpp).
#include <platform/Files.h>

#include "Posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

namespace platform {

using posix::copyContents;
using posix::Descriptor;
using posix::fail;
using posix::failNotAFile;

namespace {

bool native(std::u16string_view path, std::string& out, std::string& error) { return fileNativePath(path, out, error); }

// Follows links; a dangling link is reported as itself.
bool statPath(int dirFd, const char* path, FileInfo& info, int& errorNumber) {
    struct statx st {};
    const unsigned mask = STATX_BASIC_STATS | STATX_BTIME;
    bool isLink = false;
    if (statx(dirFd, path, AT_SYMLINK_NOFOLLOW, mask, &st) != 0) {
        errorNumber = errno;
        return false;
    }
    if (S_ISLNK(st.stx_mode)) {
        isLink = true;
        struct statx target {};
        if (statx(dirFd, path, 0, mask, &target) == 0) st = target;
    }
    info = FileInfo();
    info.isLink = isLink;
    if (S_ISDIR(st.stx_mode))
        info.kind = FileKind::Folder;
    else if (S_ISREG(st.stx_mode) || S_ISLNK(st.stx_mode))
        info.kind = FileKind::File;
    else
        info.kind = FileKind::Other;
    info.size = S_ISDIR(st.stx_mode) || S_ISLNK(st.stx_mode) ? 0 : static_cast<int64_t>(st.stx_size);
    info.modificationSeconds = st.stx_mtime.tv_sec;
    info.modificationNanoseconds = static_cast<int32_t>(st.stx_mtime.tv_nsec);
    // Not every file system records when a file was born; the last change of its contents is the
    // nearest stand-in there.
    const statx_timestamp created = (st.stx_mask & STATX_BTIME) ? st.stx_btime : st.stx_mtime;
    info.creationSeconds = created.tv_sec;
    info.creationNanoseconds = static_cast<int32_t>(created.tv_nsec);
    return true;
}

bool copyNative(const std::string& from, const std::string& to, std::string& error) {
    // Not blocking: opening a FIFO would wait for a writer before its kind could be seen.
    Descriptor source(::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (source.fd < 0) return fail(error, errno);
    struct stat st {};
    if (fstat(source.fd, &st) != 0) return fail(error, errno);
    if (S_ISDIR(st.st_mode)) return fail(error, EISDIR);
    if (!S_ISREG(st.st_mode)) return failNotAFile(error);
    Descriptor target(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 0777));
    if (target.fd < 0) return fail(error, errno);
    posix_fadvise(source.fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    bool ok = copyContents(source.fd, target.fd, error);
    if (ok) {
        fchmod(target.fd, st.st_mode & 0777);
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        futimens(target.fd, times);
        if (::close(target.fd) != 0) ok = fail(error, errno);
        target.fd = -1;
    }
    if (!ok) unlink(to.c_str());  // never leave half a copy behind
    return ok;
}

bool existsNoFollow(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

// rename() that never replaces what is already at `to`.
bool renameNoReplace(const std::string& from, const std::string& to, int& errorNumber) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    errorNumber = errno;
    if (errorNumber != EINVAL && errorNumber != ENOSYS) return false;
    // A file system without the no-replace flag: check, then rename.
    if (existsNoFollow(to)) {
        errorNumber = EEXIST;
        return false;
    }
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    errorNumber = errno;
    return false;
}

}  // namespace

FileKind fileKind(std::u16string_view path) {
    FileInfo info;
    std::string error;
    return fileInfo(path, info, error) ? info.kind : FileKind::None;
}

int32_t fileLocalTimeOffset(int64_t utcSeconds) {
    const time_t moment = static_cast<time_t>(utcSeconds);
    struct tm local {};
    return localtime_r(&moment, &local) ? static_cast<int32_t>(local.tm_gmtoff) : 0;
}

bool fileInfo(std::u16string_view path, FileInfo& info, std::string& error) {
    std::string p;
    if (!native(path, p, error)) return false;
    int errorNumber = 0;
    if (!statPath(AT_FDCWD, p.c_str(), info, errorNumber)) return fail(error, errorNumber);
    return true;
}

bool fileSetModificationTime(std::u16string_view path, int64_t seconds, std::string& error) {
    std::string p;
    if (!native(path, p, error)) return false;
    const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(seconds), 0}};
    return utimensat(AT_FDCWD, p.c_str(), times, 0) == 0 ? true : fail(error, errno);
}

bool fileCreate(std::u16string_view path, std::string& error) {
    std::string p;
    if (!native(path, p, error)) return false;
    const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return fail(error, errno);
    ::close(fd);
    return true;
}

bool fileCreateFolder(std::u16string_view path, std::string& error) {
    std::string p;
    if (!native(path, p, error)) return false;
    if (existsNoFollow(p)) return fail(error, EEXIST);
    // Every missing level, as the system's folder creation does.
    for (size_t slash = p.find('/', 1);; slash = p.find('/', slash + 1)) {
        const std::string level = p.substr(0, slash);
        if (mkdir(level.c_str(), 0777) != 0 && errno != EEXIST) return fail(error, errno);
        if (slash == std::string::npos) break;
    }
    struct stat st {};
    if (stat(p.c_str(), &st) != 0) return fail(error, errno);
    return S_ISDIR(st.st_mode) ? true : fail(error, ENOTDIR);
}

bool fileRemove(std::u16string_view path, std::string& error) {
    std::string p;
    if (!native(path, p, error)) return false;
    return unlink(p.c_str()) == 0 ? true : fail(error, errno);
}

bool fileRemoveFolder(std::u16string_view path, std::string& error) {
    std::string p;
    if (!native(path, p, error)) return false;
    struct stat st {};
    if (lstat(p.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (stat(p.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return fail(error, ENOTDIR);
        return unlink(p.c_str()) == 0 ? true : fail(error, errno);
    }
    return rmdir(p.c_str()) == 0 ? true : fail(error, errno);
}

bool fileMove(std::u16string_view from, std::u16string_view to, std::string& error) {
    std::string source, target;
    if (!native(from, source, error) || !native(to, target, error)) return false;
    int errorNumber = 0;
    if (renameNoReplace(source, target, errorNumber)) return true;
    if (errorNumber != EXDEV) return fail(error, errorNumber);
    // Another file system: files are copied and the original removed; folders cannot move there.
    struct stat st {};
    if (lstat(source.c_str(), &st) != 0) return fail(error, errno);
    if (!S_ISREG(st.st_mode)) return fail(error, EXDEV);
    if (!copyNative(source, target, error)) return false;
    if (unlink(source.c_str()) != 0) {
        const int e = errno;
        unlink(target.c_str());
        return fail(error, e);
    }
    return true;
}

bool fileMakePrivate(std::u16string_view path, std::string& error) {
    std::string p;
    if (!native(path, p, error)) return false;
    struct stat st {};
    if (stat(p.c_str(), &st) != 0) return fail(error, errno);
    return chmod(p.c_str(), S_ISDIR(st.st_mode) ? 0700 : 0600) == 0 ? true : fail(error, errno);
}

bool fileCopy(std::u16string_view from, std::u16string_view to, std::string& error) {
    std::string source, target;
    if (!native(from, source, error) || !native(to, target, error)) return false;
    return copyNative(source, target, error);
}

bool fileListFolder(std::u16string_view path, std::vector<FolderEntry>& entries, std::string& error) {
    entries.clear();
    std::string p;
    if (!native(path, p, error)) return false;
    DIR* dir = opendir(p.c_str());
    if (!dir) return fail(error, errno);
    std::vector<std::pair<std::string, FileInfo>> found;
    const int dirFd = dirfd(dir);
    errno = 0;
    while (dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
        FileInfo info;
        int errorNumber = 0;
        if (statPath(dirFd, name, info, errorNumber)) found.emplace_back(name, info);  // gone meanwhile: skip
        errno = 0;
    }
    const int readError = errno;
    closedir(dir);
    if (readError != 0) return fail(error, readError);
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    entries.reserve(found.size());
    for (auto& [name, info] : found) entries.push_back({fileNameFromNative(name), info});
    return true;
}

// ---- FileHandle -----------------------------------------------------------------------------

FileHandle::~FileHandle() { close(); }

bool FileHandle::open(std::u16string_view path, Mode mode, std::string& error) {
    close();
    std::string p;
    if (!native(path, p, error)) return false;
    const int flags = mode == Mode::Read ? O_RDONLY : mode == Mode::Write ? O_WRONLY : O_RDWR;
    // Not blocking: opening a FIFO would wait for its other end before its kind could be seen.
    const int fd = ::open(p.c_str(), flags | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return fail(error, errno);
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int e = errno;
        const mode_t kind = st.st_mode;
        ::close(fd);
        if (S_ISDIR(kind)) return fail(error, EISDIR);
        return kind != 0 ? failNotAFile(error) : fail(error, e);
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (mode == Mode::Read) posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    mFd = fd;
    mOffset = 0;
    return true;
}

void FileHandle::close() {
    if (mFd >= 0) ::close(mFd);
    mFd = -1;
    mOffset = 0;
}

bool FileHandle::size(int64_t& size, std::string& error) const {
    struct stat st {};
    if (mFd < 0) return fail(error, EBADF);
    if (fstat(mFd, &st) != 0) return fail(error, errno);
    size = st.st_size;
    return true;
}

bool FileHandle::setSize(int64_t size, std::string& error) {
    if (mFd < 0) return fail(error, EBADF);
    if (size < 0) return fail(error, EINVAL);
    return ftruncate(mFd, size) == 0 ? true : fail(error, errno);
}

bool FileHandle::modificationTime(int64_t& seconds, std::string& error) const {
    struct stat st {};
    if (mFd < 0) return fail(error, EBADF);
    if (fstat(mFd, &st) != 0) return fail(error, errno);
    seconds = st.st_mtim.tv_sec;
    return true;
}

bool FileHandle::setModificationTime(int64_t seconds, std::string& error) {
    if (mFd < 0) return fail(error, EBADF);
    const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(seconds), 0}};
    return futimens(mFd, times) == 0 ? true : fail(error, errno);
}

bool FileHandle::seek(int64_t offset, std::string& error) {
    if (mFd < 0) return fail(error, EBADF);
    if (offset < 0) return fail(error, EINVAL);
    mOffset = offset;
    return true;
}

bool FileHandle::read(void* destination, int64_t count, int64_t& actual, std::string& error) {
    actual = 0;
    if (mFd < 0) return fail(error, EBADF);
    auto* out = static_cast<char*>(destination);
    while (actual < count) {
        const size_t chunk = static_cast<size_t>(std::min<int64_t>(count - actual, 1 << 30));
        const ssize_t n = pread(mFd, out + actual, chunk, mOffset);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(error, errno);
        if (n == 0) break;
        actual += n;
        mOffset += n;
    }
    return true;
}

bool FileHandle::write(const void* source, int64_t count, std::string& error) {
    if (mFd < 0) return fail(error, EBADF);
    const auto* in = static_cast<const char*>(source);
    int64_t done = 0;
    while (done < count) {
        const size_t chunk = static_cast<size_t>(std::min<int64_t>(count - done, 1 << 30));
        const ssize_t n = pwrite(mFd, in + done, chunk, mOffset);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(error, errno);
        done += n;
        mOffset += n;
    }
    return true;
}

bool posix::copyContents(int from, int to, std::string& error) {
    bool kernelCopy = true;
    for (;;) {
        if (kernelCopy) {
            const ssize_t n = copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
            if (n > 0) continue;
            if (n == 0) return true;
            if (errno == EINTR) continue;
            if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP) {
                kernelCopy = false;
                continue;
            }
            return fail(error, errno);
        }
        constexpr size_t kChunk = 1 << 20;
        std::unique_ptr<char[]> buffer(new char[kChunk]);
        for (;;) {
            const ssize_t n = ::read(from, buffer.get(), kChunk);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return fail(error, errno);
            if (n == 0) return true;
            for (ssize_t done = 0; done < n;) {
                const ssize_t w = ::write(to, buffer.get() + done, static_cast<size_t>(n - done));
                if (w < 0 && errno == EINTR) continue;
                if (w < 0) return fail(error, errno);
                done += w;
            }
        }
    }
}

}  // namespace platform
