// The file system as the plug-in sees it: Windows paths (drive letters with volume labels,
// "C:\dir\file", "\\server\share\dir"), drives, known folders and files. The Linux backend maps
// them onto the native file system:
//  - a drive table (VOLAN_DRIVES, default: one fixed drive C rooted at "/") gives each letter a
//    native folder; UNC paths live below a network root (VOLAN_NETWORK_ROOT, default "/net");
//  - a name is UTF-8 on disk. A byte that is not part of valid UTF-8 is held as U+F780 + (byte -
//    0x80) and a backslash in a native name as U+F05C (a backslash separates names in Windows
//    paths); a "/" inside a name stands for ":" on disk (native names cannot hold "/"). Native
//    names that already hold those private-use characters are escaped byte by byte, so every
//    native name maps to a wide name and back without loss.
// Failures come back as the system's message for the error (strerror).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// ---- Drives ----------------------------------------------------------------------------------

enum class DriveKind { Unknown, NoRootFolder, Removable, Fixed, Network, CdRom, RamDisk };

struct Drive {
    char16_t letter = u'C';  // upper case
    std::string root;        // native folder, lexically normalised ("/", "/srv/data")
    std::u16string label;    // volume label; empty when the drive has none
    DriveKind kind = DriveKind::Fixed;
    bool ready = true;  // removable and CD-ROM drives: a medium is present (the root exists)
};

// The drives in letter order. Read from the environment on first use.
std::vector<Drive> fileDrives();
// The native folder below which "\\server\share\..." lives.
std::string fileNetworkRoot();
// The native folder for temporary files: $TMPDIR, else /tmp.
std::string fileTemporaryRoot();
// Forgets the drive table and the network root, so the next use reads the environment again.
void fileResetTables();

// "Connects" \\server\share: succeeds (0) when that folder exists below the network root,
// otherwise returns the system error code.
int fileConnectShare(std::u16string_view server, std::u16string_view share);

// ---- Paths and names -------------------------------------------------------------------------

// The native path of a Windows path ("C:\x", "C:", "\\srv\share\x"). "." is dropped and ".."
// never climbs above the drive root or the share. False with a reason for anything else.
bool fileNativePath(std::u16string_view windowsPath, std::string& nativePath, std::string& error);
// The Windows path of an absolute native path: on the drive with the longest root that holds it,
// or as a UNC path below the network root. False when no drive holds it.
bool fileWindowsPath(std::string_view nativePath, std::u16string& windowsPath);

// One name (no separators) between its native bytes and its wide form (see above).
std::u16string fileNameFromNative(std::string_view nativeName);
std::string fileNameToNative(std::u16string_view name);

// ---- Known folders ---------------------------------------------------------------------------

enum class KnownFolder {
    System,         // /usr/lib
    Desktop,        // XDG_DESKTOP_DIR, else ~/Desktop
    CommonDesktop,  // /usr/share/applications (what every user's desktop offers)
    RecycleBin,     // $XDG_DATA_HOME/Trash
    Startup,        // $XDG_CONFIG_HOME/autostart
    LocalAppData,   // $XDG_DATA_HOME, else ~/.local/share
    Temporary,      // $TMPDIR, else /tmp
    ProgramFiles,   // /opt
    Documents,      // XDG_DOCUMENTS_DIR, else ~/Documents
    Home            // $HOME
};

// The folder as a Windows path (it need not exist). False with a reason when it cannot be named.
bool fileKnownFolder(KnownFolder folder, std::u16string& windowsPath, std::string& error);

// ---- Files and folders (Windows paths) -------------------------------------------------------

// Other: a device, FIFO or socket. Only a File holds contents of its own that can be read, copied
// or replaced; the others are no source or target of file operations.
enum class FileKind { None, File, Folder, Other };

struct FileInfo {
    FileKind kind = FileKind::None;
    bool isLink = false;  // a symbolic link (kind is that of its target; a dangling link is a File)
    int64_t size = 0;
    int64_t creationSeconds = 0;  // seconds since 1970 (UTC) and the fraction in nanoseconds
    int32_t creationNanoseconds = 0;
    int64_t modificationSeconds = 0;
    int32_t modificationNanoseconds = 0;
};

// How far the local clock is ahead of UTC (seconds; negative west of Greenwich) at a moment in
// UTC seconds since 1970, by the system's time-zone rules; moments before 1970 too.
int32_t fileLocalTimeOffset(int64_t utcSeconds);

struct FolderEntry {
    std::u16string name;
    FileInfo info;
};

// What is at the path (following links); None for anything that cannot be reached.
FileKind fileKind(std::u16string_view path);
bool fileInfo(std::u16string_view path, FileInfo& info, std::string& error);

// Sets the modification time of the File at the path (links followed), in seconds since 1970 (UTC).
bool fileSetModificationTime(std::u16string_view path, int64_t seconds, std::string& error);

// A new empty file; fails when anything exists there.
bool fileCreate(std::u16string_view path, std::string& error);
// A new folder, with any missing folders above it.
bool fileCreateFolder(std::u16string_view path, std::string& error);
// Removes a file (or a link, whatever it points to).
bool fileRemove(std::u16string_view path, std::string& error);
// Removes an empty folder, or a link to a folder (the link, never what it leads to).
bool fileRemoveFolder(std::u16string_view path, std::string& error);
// Renames or moves a file or folder; never replaces an existing item. Across file systems a file
// is copied and then removed.
bool fileMove(std::u16string_view from, std::u16string_view to, std::string& error);
// Makes a file readable and writable by its owner only (0600), or a folder usable by its owner
// only (0700): for files that hold passwords.
bool fileMakePrivate(std::u16string_view path, std::string& error);
// Copies a file with its permissions and modification time; never replaces an existing item. Only
// a File is copied.
bool fileCopy(std::u16string_view from, std::u16string_view to, std::string& error);
// The entries of a folder ("." and ".." left out), ordered by their native names.
bool fileListFolder(std::u16string_view path, std::vector<FolderEntry>& entries, std::string& error);

// ---- Open files ------------------------------------------------------------------------------

class FileHandle {
public:
    enum class Mode { Read, Write, ReadWrite };

    FileHandle() = default;
    ~FileHandle();
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    // Opens an existing File (not a folder, device, FIFO or socket).
    bool open(std::u16string_view path, Mode mode, std::string& error);
    bool isOpen() const { return mFd >= 0; }
    void close();

    bool size(int64_t& size, std::string& error) const;
    bool setSize(int64_t size, std::string& error);
    // The modification time in seconds since 1970 (UTC), read or set.
    bool modificationTime(int64_t& seconds, std::string& error) const;
    bool setModificationTime(int64_t seconds, std::string& error);
    // The offset the next read or write uses.
    bool seek(int64_t offset, std::string& error);
    int64_t offset() const { return mOffset; }
    // Reads until `count` bytes or the end of the file; `actual` is what arrived.
    bool read(void* destination, int64_t count, int64_t& actual, std::string& error);
    bool write(const void* source, int64_t count, std::string& error);

private:
    friend class FileReplacement;
    int mFd = -1;
    int64_t mOffset = 0;
};

// How a FileReplacement treats the file beyond its contents.
struct ReplacementOptions {
    bool ownerOnly = false;  // the file is the owner's alone (0600), whatever it was: it holds secrets
    bool durable = false;    // synced to the disk before and after it takes the name: a crash keeps a version
    // A temporary file of that name left by an earlier attempt (see keep) is opened as it is, its
    // contents kept, instead of a new one beside it; only a File of this user's, not a link.
    bool reuse = false;
};

// Gives a file new contents without putting the old ones at risk: the new contents are written to
// a temporary file and take the old file's place only when complete, so a failure (a full disk, a
// cancelled download) leaves the old file as it was. Only the contents change:
//  - a link is written through: its target gets the new contents and the link stays;
//  - the file keeps its permissions, and its group (and owner) where the system allows;
//  - a file the user may not write to is refused, as is anything but a File;
//  - where the new file could not simply take the old one's name (the folder is not writable, the
//    owner could not be kept, the file has other names too), the complete new contents are copied
//    into the old file, after the space for them has been reserved;
//  - the new version is dated at least a microsecond later than the old one, so that readers who
//    tell a change by the modification time (which the system keeps only to its clock's tick) see
//    every change.
class FileReplacement {
public:
    FileReplacement() = default;
    ~FileReplacement();  // abandons a replacement that was not committed
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Starts giving `path` new contents (a missing file is made). The temporary file is "." + the
    // file's name + `suffix` beside the file (a number before the suffix when that is taken), or a
    // nameless one in the temporary folder when the file's folder is not writable.
    bool begin(std::u16string_view path, std::string_view suffix, std::string& error, ReplacementOptions options = {});
    // Where the new contents go: empty at first, open for reading and writing.
    FileHandle& contents() { return mContents; }
    // Puts the new contents in place.
    bool commit(std::string& error);
    // Drops the new contents; the file stays as it was.
    void abandon();
    // Leaves the temporary file with what was written so far (for a later begin with `reuse`);
    // the file stays as it was.
    void keep();

private:
    FileHandle mContents;
    ReplacementOptions mOptions;
    std::string mTarget;     // the file itself, links resolved
    std::string mTemporary;  // the temporary file's name; empty when it has none
    bool mExisted = false;
    bool mInPlace = false;
    unsigned mMode = 0;
    unsigned mOwner = 0;
    unsigned mGroup = 0;
    int64_t mOldSeconds = 0;  // the old version's modification time
    int32_t mOldNanoseconds = 0;
};

// ---- Files shared with other processes ------------------------------------------------------

// An advisory lock that processes take on a lock file before they change the files it guards
// (flock): one holder at a time, released by unlock, or by the system when the holder's process
// ends, however it ends. Each object is a holder of its own, also between threads of one process.
class FileLock {
public:
    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Opens the lock file (made for its owner only when missing) and waits up to timeoutMs for
    // the lock. False with a reason when it failed or timed out (then `timedOut` is set).
    bool lock(std::u16string_view path, int timeoutMs, std::string& error, bool* timedOut = nullptr);
    void unlock();
    bool held() const { return mFd >= 0; }

private:
    int mFd = -1;
};

// A folder for private files, also in a place other users may write to (the temporary folder):
// made for its owner only (0700) when missing; one that is there already must be a real folder
// (not a link) that belongs to this user, and is made 0700. False with a reason otherwise.
bool fileMakePrivateFolder(std::u16string_view path, std::string& error);

// Gives a file of the user's plug-in folder new contents through a durable FileReplacement
// (ownerOnly when makePrivate): readers see the old contents or the new, never a part, and a crash
// leaves one of them.
bool fileWriteReplacing(std::u16string_view path, std::string_view contents, bool makePrivate, std::string& error);

// The system's message for an error number.
std::string fileErrorMessage(int errorNumber);

}  // namespace platform
