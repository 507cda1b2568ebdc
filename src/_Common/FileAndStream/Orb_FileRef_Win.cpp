// The file-system side of OrbFileRef: drives and volume names (cached in the Orb config store),
// system folders, existence checks, creation, removal and dates.
#include "Orb_FileRef.h"

#include "Orb_Debug.h"
#include "_Common/CoreCode/Orb_Config.h"
#include "_Common/Strings/Orb_String.h"

#include <platform/Files.h>

#include <boost/date_time/posix_time/posix_time.hpp>

#include <algorithm>
#include <chrono>

namespace {

constexpr int kOrbConfigWaitMs = 10000;
constexpr int64_t kVolumeCacheSeconds = 15;

void debugLine(int line, const ucstring& message) {
    if (debugMode()) debugOutput(__FILE__, line, message);
}

int64_t nowSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The drives as the volume list shows them: A is named by its letter without probing, B is
// skipped (both were floppy drives), removable and CD-ROM drives only with a medium, drives of
// unknown kind or without a root never. Labels that repeat get " (2)", " (3)", ...
ucstringlist buildVolumeNames() {
    ucstringlist names;
    ucstringlist entries;
    for (const platform::Drive& d : platform::fileDrives()) {
        const ucstring letter(1, d.letter);
        ucstring name;
        switch (d.kind) {
            case platform::DriveKind::Fixed:
            case platform::DriveKind::Network:
            case platform::DriveKind::RamDisk: break;
            case platform::DriveKind::Removable:
            case platform::DriveKind::CdRom:
                if (!d.ready && d.letter != u'A') continue;
                break;
            default:
                if (d.letter != u'A') continue;
                break;
        }
        if (d.letter == u'B') continue;
        name = d.letter == u'A' || d.label.empty() ? letter : d.label;
        const auto taken = [&](const ucstring& candidate) {
            for (const ucstring& n : names)
                if (stringNormalizeUnicodeUpperCaseCompare(n, candidate)) return true;
            return false;
        };
        if (taken(name)) {
            ucstring numbered;
            for (int n = 2;; ++n) {
                numbered = name + u" (" + ucstringFromString(std::to_string(n)) + u")";
                if (!taken(numbered)) break;
            }
            name = numbered;
        }
        names.push_back(name);
        ucstring entry = name + u"=" + letter;
        if (d.letter == u'C')
            entries.insert(entries.begin(), std::move(entry));
        else
            entries.push_back(std::move(entry));
    }
    return entries;
}

ucstring driveCLabel() {
    for (const platform::Drive& d : platform::fileDrives())
        if (d.letter == u'C') return d.label.empty() ? ucstring(u"C") : d.label;
    return u"C";
}

// Looks up the cached value and its timeout in the Orb config store; both null when they cannot
// be had (the caller then works without the cache).
void cacheVariables(const char16_t* valueName, const char16_t* timeoutName, const char16_t* valueLabel,
                    OrbVariable*& value, OrbVariable*& timeout) {
    value = timeout = nullptr;
    ucstring error = getMutableORBConfigVar(valueName, value);
    if (!error.empty()) {
        debugLine(__LINE__, u"Could not get " + ucstring(valueLabel) + u" Config Var: " + error);
        value = nullptr;
    }
    error = getMutableORBConfigVar(timeoutName, timeout);
    if (!error.empty()) {
        debugLine(__LINE__, u"Could not get " + ucstring(valueLabel) + u"Timeout Config Var: " + error);
        timeout = nullptr;
    }
    if (!value || !timeout) value = timeout = nullptr;
}

// Holds the Orb config lock for a scope when it can be had.
class OrbConfigLock {
public:
    OrbConfigLock() : mError(lockORBConfigLock(kOrbConfigWaitMs)) {
        if (!mError.empty()) debugLine(__LINE__, u"Could not get Orb Config Lock: " + mError);
    }
    ~OrbConfigLock() {
        if (mError.empty()) unlockORBConfigLock();
    }
    OrbConfigLock(const OrbConfigLock&) = delete;
    OrbConfigLock& operator=(const OrbConfigLock&) = delete;
    bool held() const { return mError.empty(); }

private:
    ucstring mError;
};

bool knownFolderOfKind(int kind, platform::KnownFolder& folder) {
    using platform::KnownFolder;
    switch (kind) {
        case kSystemFolderSystem: folder = KnownFolder::System; return true;
        case kSystemFolderDesktop: folder = KnownFolder::Desktop; return true;
        case kSystemFolderCommonDesktop: folder = KnownFolder::CommonDesktop; return true;
        case kSystemFolderRecycleBin: folder = KnownFolder::RecycleBin; return true;
        case kSystemFolderStartup: folder = KnownFolder::Startup; return true;
        case kSystemFolderLocalAppData:
        case kSystemFolderPreferences: folder = KnownFolder::LocalAppData; return true;
        case kSystemFolderTemporary:
        case kSystemFolderChewable: folder = KnownFolder::Temporary; return true;
        case kSystemFolderProgramFiles: folder = KnownFolder::ProgramFiles; return true;
        case kSystemFolderDocuments: folder = KnownFolder::Documents; return true;
        default: return false;
    }
}

}  // namespace

OrbDateTime OrbFileRef::localDateTime(int64_t seconds, int32_t nanoseconds) {
    // The calendar holds 1400 to 9999: a file dated outside it (a clock gone wrong, an unpacked
    // archive) shows the nearest moment it can hold rather than failing the whole listing.
    constexpr int64_t kFirst = -17987443200;  // 1400-01-01 00:00:00
    constexpr int64_t kLast = 253402300799;   // 9999-12-31 23:59:59
    const int64_t local = std::clamp<int64_t>(seconds, kFirst, kLast) + platform::fileLocalTimeOffset(seconds);
    return OrbDateTime(boost::posix_time::from_time_t(0) +
                       boost::posix_time::seconds(std::clamp(local, kFirst, kLast)) +
                       boost::posix_time::microseconds(std::clamp(nanoseconds, 0, 999999999) / 1000));
}

ucstring OrbFileRef::systemError(const std::string& message) {
    return u"; WinError: " + (message.empty() ? ucstring(u"Unknown error") : ucstringFromUTF8String(message));
}

// ---- Volumes ------------------------------------------------------------------------------------

ucstring OrbFileRef::volumeNames(ucstringlist& list) {
    list.clear();
    const int64_t now = nowSeconds();
    OrbConfigLock lock;
    OrbVariable* cached = nullptr;
    OrbVariable* timeout = nullptr;
    if (lock.held()) cacheVariables(u"VolNames", u"VolNamesTimeout", u"volNames", cached, timeout);
    if (cached && !cached->listValue().empty() && now <= timeout->integerValue()) {
        list = cached->listValue();
        return {};
    }
    list = buildVolumeNames();
    if (cached) {
        cached->setListValue(list);
        timeout->setIntegerValue(now + kVolumeCacheSeconds);
    }
    return {};
}

ucstring OrbFileRef::rootVolumeName() {
    const int64_t now = nowSeconds();
    OrbConfigLock lock;
    OrbVariable* cached = nullptr;
    OrbVariable* timeout = nullptr;
    if (lock.held()) cacheVariables(u"RootVolName", u"RootVolNameTimeout", u"RootVolName", cached, timeout);
    if (cached && !cached->stringValue().empty() && now <= timeout->integerValue()) return cached->stringValue();
    const ucstring name = driveCLabel();
    if (cached) {
        cached->setStringValue(name);
        timeout->setIntegerValue(now + kVolumeCacheSeconds);
    }
    return name;
}

void OrbFileRef::resetVolumeCache() {
    platform::fileResetTables();
    OrbConfigLock lock;
    if (!lock.held()) return;
    OrbVariable* v = nullptr;
    if (getMutableORBConfigVar(u"VolNamesTimeout", v).empty()) v->setIntegerValue(0);
    if (getMutableORBConfigVar(u"RootVolNameTimeout", v).empty()) v->setIntegerValue(0);
}

// ---- System folders -----------------------------------------------------------------------------

bool OrbFileRef::getUserPath(ucstringlist& list) const {
    list.clear();
    ucstring home;
    std::string error;
    if (!platform::fileKnownFolder(platform::KnownFolder::Home, home, error)) return false;
    OrbFileRef ref;
    if (!ref.parsePath(home)) return false;
    list = ref.pathList();
    return true;
}

bool OrbFileRef::setToSystemFolder(int kind) {
    platform::KnownFolder folder;
    if (!knownFolderOfKind(kind, folder)) {
        mErrorString = u"SHGetFolderPath didn't succeed.";
        return false;
    }
    ucstring path;
    std::string error;
    if (!platform::fileKnownFolder(folder, path, error)) {
        mErrorString = u"Error getting System Folder" + systemError(error);
        return false;
    }
    return parsePath(path);
}

// ---- Checks -------------------------------------------------------------------------------------

bool OrbFileRef::systemPath(ucstring& path) {
    if (!mDefined) {
        path.clear();
        if (mErrorString.empty()) mErrorString = u"No path or file name was specified.";
        return false;
    }
    return pathAsString(path, kPathStyleWindows, true);
}

bool OrbFileRef::isValid(bool& isDir, bool& isFile, bool alreadyConnected) {
    isDir = isFile = false;
    ucstring path;
    if (!systemPath(path)) return false;
    debugLine(__LINE__, u"OrbFileRef::isValid: Checking Full Path: " + path);
    const platform::FileKind kind = platform::fileKind(path);
    if (kind == platform::FileKind::Other) {
        mErrorString = u"File is not a File" + ucstring(kSpecialItemText) + u": " + path;
        return false;
    }
    if (kind != platform::FileKind::None) {
        isDir = kind == platform::FileKind::Folder;
        isFile = kind == platform::FileKind::File;
        return true;
    }
    if (!alreadyConnected && stringStartsWith(path, u"\\\\") && mPathList.size() >= 3) {
        const int code = platform::fileConnectShare(decodeSlashes(mPathList[1], kPathStyleWindows),
                                                    decodeSlashes(mPathList[2], kPathStyleWindows));
        if (code != 0) {
            debugLine(__LINE__, u"OrbFileRef::isValid: WMNetUseConnection returned an error: " +
                                    ucstringFromString(std::to_string(code)));
            mErrorString =
                u"Could not connect to the network share of: " + path + systemError(platform::fileErrorMessage(code));
            return false;
        }
        return isValid(isDir, isFile, true);
    }
    const size_t slash = path.rfind(u'\\');
    if (slash == ucstring::npos) {
        debugLine(__LINE__, u"OrbFileRef::isValid: Could not find a Back Slash.");
        return false;
    }
    ucstring parent = path.substr(0, slash);
    if (!parent.empty() && parent.back() == u':') parent += u"\\";
    switch (platform::fileKind(parent)) {
        case platform::FileKind::Folder: return true;
        case platform::FileKind::File:
            debugLine(__LINE__, u"OrbFileRef::isValid: Parent Folder is not a Folder (it's a File): " + parent);
            mErrorString = u"Parent Folder is not a Folder (it's a File): " + path;
            return false;
        default: mErrorString = u"Parent Folder does not exist: " + path; return false;
    }
}

bool OrbFileRef::fileExists() {
    ucstring path;
    if (!systemPath(path)) return false;
    switch (platform::fileKind(path)) {
        case platform::FileKind::File: return true;
        case platform::FileKind::Folder: mErrorString = u"File is not a File (it's a Folder): " + path; return false;
        case platform::FileKind::Other:
            mErrorString = u"File is not a File" + ucstring(kSpecialItemText) + u": " + path;
            return false;
        default: mErrorString = u"File does not exist: " + path; return false;
    }
}

bool OrbFileRef::dirExists() {
    ucstring path;
    if (!systemPath(path)) return false;
    switch (platform::fileKind(path)) {
        case platform::FileKind::Folder: return true;
        case platform::FileKind::File: mErrorString = u"Folder is not a Folder (it's a File): " + path; return false;
        default: mErrorString = u"Folder does not exist: " + path; return false;
    }
}

// ---- Changes ------------------------------------------------------------------------------------

namespace {
bool logOutcome(int line, const char16_t* operation, bool ok) {
    debugLine(line, ucstring(u"OrbFileRef::") + operation + (ok ? u": Success" : u": Failure"));
    return ok;
}
}  // namespace

bool OrbFileRef::createFile() {
    ucstring path;
    if (!systemPath(path)) return logOutcome(__LINE__, u"createFile", false);
    switch (platform::fileKind(path)) {
        case platform::FileKind::Folder: mErrorString = u"A Folder with that name already exists: " + path; break;
        case platform::FileKind::File: mErrorString = u"File already exists: " + path; break;
        default: {
            std::string error;
            if (platform::fileCreate(path, error)) return logOutcome(__LINE__, u"createFile", true);
            mErrorString = u"Could not create File: " + path + systemError(error);
        }
    }
    return logOutcome(__LINE__, u"createFile", false);
}

bool OrbFileRef::createDir() {
    ucstring path;
    if (!systemPath(path)) return logOutcome(__LINE__, u"createDir", false);
    switch (platform::fileKind(path)) {
        case platform::FileKind::Folder: mErrorString = u"Folder already exists: " + path; break;
        case platform::FileKind::File: mErrorString = u"A File with that name already exists: " + path; break;
        default: {
            std::string error;
            if (platform::fileCreateFolder(path, error)) return logOutcome(__LINE__, u"createDir", true);
            mErrorString = u"Could not create Folder: " + path + systemError(error);
        }
    }
    return logOutcome(__LINE__, u"createDir", false);
}

bool OrbFileRef::removeFile() {
    ucstring path;
    if (!systemPath(path)) return logOutcome(__LINE__, u"removeFile", false);
    switch (platform::fileKind(path)) {
        case platform::FileKind::Folder: mErrorString = u"File is not a File (it's a Folder): " + path; break;
        case platform::FileKind::None: mErrorString = u"File does not exist: " + path; break;
        default: {
            std::string error;
            if (platform::fileRemove(path, error)) return logOutcome(__LINE__, u"removeFile", true);
            mErrorString = u"Could not delete File: " + path + systemError(error);
        }
    }
    return logOutcome(__LINE__, u"removeFile", false);
}

bool OrbFileRef::removeDir() {
    ucstring path;
    if (!systemPath(path)) return logOutcome(__LINE__, u"removeDir", false);
    switch (platform::fileKind(path)) {
        case platform::FileKind::File: mErrorString = u"Folder is not a Folder (it's a File): " + path; break;
        case platform::FileKind::None: mErrorString = u"Folder does not exist: " + path; break;
        default: {
            std::string error;
            if (platform::fileRemoveFolder(path, error)) return logOutcome(__LINE__, u"removeDir", true);
            mErrorString = u"Could not delete Folder: " + path + systemError(error);
        }
    }
    return logOutcome(__LINE__, u"removeDir", false);
}

namespace {
bool dateOf(const ucstring& path, bool creation, OrbDateTime& dateTime, ucstring& errorText) {
    const platform::FileKind kind = platform::fileKind(path);
    if (kind == platform::FileKind::None) {
        errorText = u"File or Directory does not exist: " + path;
        return false;
    }
    platform::FileInfo info;
    std::string error;
    if (!platform::fileInfo(path, info, error)) {
        errorText = ucstring(u"Could not get File System Info for ") +
                    (kind == platform::FileKind::Folder ? u"directory: " : u"file: ") + path +
                    OrbFileRef::systemError(error);
        return false;
    }
    dateTime = creation ? OrbFileRef::localDateTime(info.creationSeconds, info.creationNanoseconds)
                        : OrbFileRef::localDateTime(info.modificationSeconds, info.modificationNanoseconds);
    return true;
}
}  // namespace

bool OrbFileRef::creationDate(OrbDateTime& dateTime) {
    ucstring path;
    if (!systemPath(path)) return false;
    return logOutcome(__LINE__, u"creationDate", dateOf(path, true, dateTime, mErrorString));
}

bool OrbFileRef::modificationDate(OrbDateTime& dateTime) {
    ucstring path;
    if (!systemPath(path)) return false;
    return logOutcome(__LINE__, u"modificationDate", dateOf(path, false, dateTime, mErrorString));
}

// ---- Unique names -------------------------------------------------------------------------------

bool OrbFileRef::findUniqueFileName(ucstring& out, const ucstring& name, int digits) {
    out.clear();
    debugLine(__LINE__, u"OrbFileRef::findUniqueFileName: Initial FileName: " + name);
    bool isDir = false, isFile = false;
    const auto exists = [&](const ucstring& candidate) {
        OrbFileRef item(*this);
        item.mutablePathList().push_back(encodeSlashes(candidate));
        return platform::fileKind(item.pathAsString(kPathStyleWindows)) != platform::FileKind::None;
    };
    if (!isValid(isDir, isFile) || !isDir || !exists(name)) {
        out = name;
    } else {
        const ucstring extension = extractFileExtension(name);
        const ucstring base = name.substr(0, name.size() - extension.size());
        for (int64_t counter = 1;; ++counter) {
            ucstring number = ucstringFromString(std::to_string(counter));
            if (digits > 0) {
                if (number.size() > static_cast<size_t>(digits)) break;  // no more names of that width
                number.insert(0, static_cast<size_t>(digits) - number.size(), u'0');
            }
            const ucstring candidate = base + number + extension;
            if (!exists(candidate)) {
                out = candidate;
                break;
            }
        }
    }
    debugLine(__LINE__, u"OrbFileRef::findUniqueFileName: " + out);
    return !out.empty();
}
