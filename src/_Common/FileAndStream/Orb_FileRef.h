// A local file or folder path: the one form in which the plug-in holds, checks and shows local
// paths. It reads the spellings users meet (FileMaker references such as "filewin:/C:/Data/a.txt",
// Windows and UNC paths, slash paths, "~" home paths), holds the path as components behind a
// root marker, and writes it in one of four styles. File-system checks and changes are made on
// the Windows-style path, through the platform layer.
#pragma once

#include "_Common/CoreCode/Orb_DateTime.h"
#include "_Common/Strings/Orb_StringTypes.h"

#include <cstdint>

// Output styles of pathAsString and decodeSlashes.
enum OrbPathStyle : int {
    kPathStyleSlash = 0,      // /Volumes/OS/dir/a.txt, /Network/srv/share, ~/dir
    kPathStyleMac = 1,        // classic Mac colon paths: not produced here
    kPathStyleWindows = 2,    // C:\dir\a.txt, \\srv\share
    kPathStyleFileMaker = 3,  // filewin:/C:/dir/a.txt, //srv/share
};

// System folder kinds of setToSystemFolder.
enum OrbSystemFolder : int {
    kSystemFolderSystem = 0,
    kSystemFolderDesktop = 1,
    kSystemFolderCommonDesktop = 2,
    kSystemFolderRecycleBin = 3,
    kSystemFolderStartup = 4,
    kSystemFolderLocalAppData = 5,
    kSystemFolderPreferences = 6,  // the local application data folder too
    kSystemFolderTemporary = 7,
    kSystemFolderProgramFiles = 8,
    kSystemFolderDocuments = 9,
    kSystemFolderChewable = 10,  // the temporary folder
};

// Where a file or folder must be but a device, FIFO or socket is, the refusal says so as in
// "File is not a File" + kSpecialItemText + ": " + path.
inline constexpr char16_t kSpecialItemText[] = u" (it's a device, FIFO or socket)";

class OrbFileRef;
// Where the host is, for relative FileMaker paths ("filemac:", "filewin:", …): they are resolved
// against the front database's folder, else the host application's folder, else the root. The
// plug-in sets these at init (they ask the host); until then there is no front database and the
// application is the running program.
struct OrbHostLocations {
    bool (*frontDatabase)(OrbFileRef& location);
    bool (*application)(OrbFileRef& location);
};
void setOrbHostLocations(const OrbHostLocations& locations);

class OrbFileRef {
public:
    OrbFileRef();
    explicit OrbFileRef(const ucstring& path);
    OrbFileRef(const OrbFileRef&) = default;
    OrbFileRef& operator=(const OrbFileRef&) = default;

    virtual void setDefined(bool defined);
    virtual bool defined() const;
    virtual ucstringlist& mutablePathList();
    virtual const ucstringlist& pathList() const;
    virtual ucstring& mutableErrorString();
    virtual const ucstring& errorString() const;
    virtual ucstring& mutableProtocol();
    virtual const ucstring& protocol() const;
    virtual ~OrbFileRef();

    // ---- Building ----------------------------------------------------------------------------

    bool set(const ucstring& path) { return parsePath(path); }
    // False (not defined, errorString set) when the path cannot be read.
    bool parsePath(const ucstring& path);
    void clear();
    void assign(const OrbFileRef& other);
    // Appends a relative path (".." and "." allowed) and parses the result again.
    bool append(const ucstring& relativePath);
    // One more component; `name` is taken as it stands (escape it with encodeSlashes first).
    void addItem(const ucstring& name);
    // Never removes the root: "~" keeps at least itself, "Volumes"/"Network" their volume/server.
    void removeLastItem();
    ucstring getLastItem() const;
    // Replace the last component by a (raw) name; false when the new item does not exist.
    bool selectFileName(const ucstring& name);
    bool selectDirName(const ucstring& name);

    // ---- Texts -------------------------------------------------------------------------------

    static ucstring addEndingPathDelimiter(const ucstring& path);
    // From the last "." (included); empty without a dot.
    static ucstring extractFileExtension(const ucstring& name);
    static ucstring extractFileName(const ucstring& path);
    // ":" "*" "?" '"' "<" ">" "|" become "-", then the name is escaped as a component.
    static ucstring stripSpecialFileNameChars(const ucstring& name);
    // A raw name as a component: "%" "/" "\" become "%25" "%2F" "%5C".
    static ucstring encodeSlashes(const ucstring& name);
    // A component as the name shown in a style.
    static ucstring decodeSlashes(const ucstring& component, int style);
    // Rewrites any accepted spelling with "/" as its only delimiter (components escaped).
    static ucstring normalizePathDelimiters(const ucstring& path);
    // A folder's slash path followed by a relative path in any spelling ("sub\a.txt", "../b"),
    // read on its own so that the folder's style does not decide its delimiters.
    static ucstring joinRelativePath(const ucstring& folder, const ucstring& relativePath);

    // The path in a style; without the last item it names the containing folder. False (and an
    // empty text) for the Mac style or an undefined reference.
    bool pathAsString(ucstring& out, int style, bool includeLastItem = true) const;
    ucstring pathAsString(int style = kPathStyleWindows, bool includeLastItem = true) const;

    // ---- System ------------------------------------------------------------------------------

    // The components of the user's home folder.
    bool getUserPath(ucstringlist& list) const;
    bool setToSystemFolder(int kind);
    // The volume label of drive C, or "C"; cached for 15 seconds.
    static ucstring rootVolumeName();
    // Entries "name=letter", drive C first; cached for 15 seconds. Error text, empty on success.
    [[nodiscard]] static ucstring volumeNames(ucstringlist& list);
    // Forgets the cached volume names (the next use asks the system again).
    static void resetVolumeCache();

    // ---- Checks and changes (Windows-style path) ---------------------------------------------

    // True for an existing folder or file (flags set), or a new item whose folder exists; false
    // for a device, FIFO or socket.
    bool isValid(bool& isDir, bool& isFile, bool alreadyConnected = false);
    bool fileExists();
    bool dirExists();
    bool createFile();
    bool createDir();
    bool removeFile();
    bool removeDir();  // an empty folder only
    bool creationDate(OrbDateTime& dateTime);
    bool modificationDate(OrbDateTime& dateTime);
    // In this folder: `name`, or the first of name1.ext, name2.ext, ... (digits 0) or name01.ext,
    // ... (zero-padded to `digits`) that does not exist. False and empty when none fits.
    bool findUniqueFileName(ucstring& out, const ucstring& name, int digits);

    // A file time of the system (UTC seconds since 1970 and nanoseconds) on the local clock.
    static OrbDateTime localDateTime(int64_t seconds, int32_t nanoseconds);
    // "; WinError: " and the system's message, the tail of every failure text of a system call.
    static ucstring systemError(const std::string& message);

protected:
    // The Windows-style path for a file-system call; false (with the error set) when undefined.
    bool systemPath(ucstring& path);

private:
    bool mDefined = false;
    ucstringlist mPathList;
    ucstring mErrorString;
    ucstring mProtocol;
};

// Whether a path a user gave is absolute (relative paths are completed with the current folder).
bool isFullPath(const ucstring& path);
