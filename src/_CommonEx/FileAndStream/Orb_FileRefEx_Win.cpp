// The file-system side of OrbFileRefEx: copy and move without overwriting, size, renaming,
// listings and recursive removal, through the platform layer.
#include "Orb_FileRefEx.h"

#include "Orb_Debug.h"
#include "_Common/Strings/Orb_String.h"

#include <cerrno>

namespace {

void debugLine(int line, const ucstring& message) {
    if (debugMode()) debugOutput(__FILE__, line, message);
}

platform::FileKind kindOf(const ucstring& path) { return platform::fileKind(path); }

// The reference with one more (raw) name.
OrbFileRef child(const OrbFileRef& folder, const ucstring& name) {
    OrbFileRef item(folder);
    item.mutablePathList().push_back(OrbFileRef::encodeSlashes(name));
    return item;
}

ucstring parentPath(const OrbFileRef& ref) { return ref.pathAsString(kPathStyleWindows, false); }

// A listed name as shown in a style: its "%" kept literally, a backslash in it as the style
// shows one inside a name.
ucstring listedName(const ucstring& name, int style) {
    return OrbFileRef::decodeSlashes(OrbFileRef::encodeSlashes(name), style);
}

}  // namespace

bool OrbFileRefEx::copyOrMoveFile(const OrbFileRef& dest, const ucstring& srcName, const ucstring& destName,
                                  bool move) {
    OrbFileRef source(*this);
    if (!srcName.empty()) source.mutablePathList().push_back(encodeSlashes(srcName));
    OrbFileRef target(dest);
    if (!destName.empty()) target.mutablePathList().push_back(encodeSlashes(destName));
    const auto fail = [&](const ucstring& error) {
        mutableErrorString() = error;
        debugLine(__LINE__, move ? u"Didn't Move File" : u"Didn't Copy File");
        return false;
    };

    bool destIsDir = false, destIsFile = false;
    if (!target.defined() || !target.isValid(destIsDir, destIsFile))
        return fail(u"File Destination is invalid: " + target.pathAsString(kPathStyleWindows));

    const ucstring sourcePath = source.pathAsString(kPathStyleWindows);
    switch (kindOf(sourcePath)) {
        case platform::FileKind::Folder: return fail(u"Source File is not a File (it's a Folder): " + sourcePath);
        case platform::FileKind::Other:
            return fail(u"Source File is not a File" + ucstring(kSpecialItemText) + u": " + sourcePath);
        case platform::FileKind::None:
            switch (kindOf(parentPath(source))) {
                case platform::FileKind::None: return fail(u"Source Parent Folder does not exist: " + sourcePath);
                case platform::FileKind::File:
                    return fail(u"Source Parent Folder is not a Folder (it's a File): " + sourcePath);
                default: return fail(u"Source File does not exist: " + sourcePath);
            }
        default: break;
    }

    if (destIsDir) {
        target.mutablePathList().push_back(source.pathList().back());
    } else if (!destIsFile) {
        switch (kindOf(parentPath(target))) {
            case platform::FileKind::None:
                return fail(u"Destination Parent Folder does not exist: " + target.pathAsString(kPathStyleWindows));
            case platform::FileKind::File:
                return fail(u"Destination Parent Folder is not a Folder (it's a File): " +
                            target.pathAsString(kPathStyleWindows));
            default: break;
        }
    }
    const ucstring targetPath = target.pathAsString(kPathStyleWindows);
    switch (kindOf(targetPath)) {
        case platform::FileKind::File:
        case platform::FileKind::Other: return fail(u"Destination File already exists: " + targetPath);
        case platform::FileKind::Folder:
            return fail(u"Destination File Name conflicts with an existing Folder Name: " + targetPath);
        default: break;
    }

    std::string error;
    const bool ok =
        move ? platform::fileMove(sourcePath, targetPath, error) : platform::fileCopy(sourcePath, targetPath, error);
    if (!ok)
        return fail(ucstring(u"Could not ") + (move ? u"move" : u"copy") + u" File: " + sourcePath + u" to: " +
                    targetPath + systemError(error));
    debugLine(__LINE__, move ? u"Moved File" : u"Copied File");
    return true;
}

bool OrbFileRefEx::fileSize(int64_t& size) {
    size = 0;
    ucstring path;
    if (!systemPath(path)) return false;
    switch (kindOf(path)) {
        case platform::FileKind::Folder:
            mutableErrorString() = u"File is not a File (it's a Folder): " + path;
            return false;
        case platform::FileKind::None: mutableErrorString() = u"File does not exist: " + path; return false;
        default: break;
    }
    platform::FileInfo info;
    std::string error;
    if (!platform::fileInfo(path, info, error)) {
        mutableErrorString() = u"Could not get File Info for file: " + path + systemError(error);
        return false;
    }
    size = info.size;
    return true;
}

namespace {

// Renaming a file (isFolder false) or a folder, with the texts of each.
bool renameItem(OrbFileRef& ref, const ucstring& path, const ucstring& newName, bool isFolder) {
    ucstring& error = ref.mutableErrorString();
    const char16_t* what = isFolder ? u"Folder" : u"File";
    if (newName.empty()) {
        error = ucstring(u"You must specify a New Name for the ") + what + u".";
        return false;
    }
    const platform::FileKind kind = kindOf(path);
    if (kind == platform::FileKind::None) {
        error = ucstring(what) + u" does not exist: " + path;
        return false;
    }
    if ((kind == platform::FileKind::Folder) != isFolder) {
        error = isFolder ? u"Folder is not a Folder (it's a File): " + path
                         : u"File is not a File (it's a Folder): " + path;
        return false;
    }
    OrbFileRef renamed(ref);
    const bool hasName = !ref.getLastItem().empty();
    if (hasName) renamed.mutablePathList().pop_back();
    renamed.mutablePathList().push_back(OrbFileRef::encodeSlashes(newName));
    const ucstring newPath = renamed.pathAsString(kPathStyleWindows);
    switch (kindOf(newPath)) {
        case platform::FileKind::Folder: error = u"A Folder with that name already exists: " + newPath; return false;
        case platform::FileKind::File: error = u"A File with that name already exists: " + newPath; return false;
        default: break;
    }
    std::string systemMessage;
    // A volume root has no name of its own to change.
    const bool ok = hasName ? platform::fileMove(path, newPath, systemMessage)
                            : (systemMessage = platform::fileErrorMessage(EBUSY), false);
    if (!ok) {
        error = ucstring(u"Could not rename ") + what + u": " + path + u" to: " + newPath +
                OrbFileRef::systemError(systemMessage);
        return false;
    }
    ref.mutablePathList() = renamed.pathList();
    return true;
}

}  // namespace

bool OrbFileRefEx::renameFile(const ucstring& newName) {
    ucstring path;
    const bool ok = systemPath(path) && renameItem(*this, path, newName, false);
    debugLine(__LINE__, ok ? u"OrbFileRef::renameFile: Success" : u"OrbFileRef::renameFile: Failure");
    return ok;
}

bool OrbFileRefEx::renameDir(const ucstring& newName) {
    ucstring path;
    const bool ok = systemPath(path) && renameItem(*this, path, newName, true);
    debugLine(__LINE__, ok ? u"OrbFileRef::renameDir: Success" : u"OrbFileRef::renameDir: Failure");
    return ok;
}

bool OrbFileRefEx::removeDirAndFiles() {
    const auto done = [&](bool ok) {
        debugLine(__LINE__, ok ? u"OrbFileRef::removeDirAndFiles: Success" : u"OrbFileRef::removeDirAndFiles: Failed");
        return ok;
    };
    bool isDir = false, isFile = false;
    if (!isValid(isDir, isFile)) {
        mutableErrorString() = u"Path is invalid.";
        return done(false);
    }
    const ucstring path = pathAsString(kPathStyleWindows);
    if (isFile) {
        mutableErrorString() = u"Folder is not a Folder (it's a File): " + path;
        return done(false);
    }
    if (!isDir) {
        mutableErrorString() = u"Folder does not exist: " + path;
        return done(false);
    }
    // A link given as the folder goes itself: what it leads to lies outside the tree it names.
    platform::FileInfo info;
    std::string error;
    if (platform::fileInfo(path, info, error) && info.isLink) {
        if (removeDir()) return done(true);
        mutableErrorString() = u"Could not remove direcory: " + errorString();
        return done(false);
    }
    std::vector<platform::FolderEntry> entries;
    if (!platform::fileListFolder(path, entries, error)) {
        mutableErrorString() = u"Could not list files in directory: " + path + systemError(error);
        return done(false);
    }
    for (const platform::FolderEntry& entry : entries) {
        OrbFileRefEx item(child(*this, entry.name));
        // A link is removed as itself; what it points to is left alone.
        if (entry.info.kind == platform::FileKind::Folder && !entry.info.isLink) {
            if (!item.removeDirAndFiles()) {
                mutableErrorString() = u"Could not remove subdirectory: " + item.errorString();
                return done(false);
            }
        } else {
            const ucstring itemPath = item.pathAsString(kPathStyleWindows);
            if (!platform::fileRemove(itemPath, error)) {
                mutableErrorString() = u"Could not remove file from directory: " + itemPath + systemError(error);
                return done(false);
            }
        }
    }
    if (!removeDir()) {
        mutableErrorString() = u"Could not remove direcory: " + errorString();
        return done(false);
    }
    return done(true);
}

namespace {

// The checks every listing starts with; the folder's path on success.
bool listableFolder(OrbFileRef& ref, ucstring& path) {
    bool isDir = false, isFile = false;
    if (!ref.isValid(isDir, isFile)) {
        ref.mutableErrorString() = u"Path is Invalid: " + ref.pathAsString(kPathStyleWindows);
        return false;
    }
    path = ref.pathAsString(kPathStyleWindows);
    if (isFile) {
        ref.mutableErrorString() = u"Folder is not a Folder (it's a File): " + path;
        return false;
    }
    if (!isDir) {
        ref.mutableErrorString() = u"Folder does not exist: " + path;
        return false;
    }
    return true;
}

}  // namespace

bool OrbFileRefEx::listItems(ucstringlist* nameList, int style) {
    ucstring path;
    if (!listableFolder(*this, path)) return false;
    if (!nameList) {
        mutableErrorString() = u"Ouput Item Name List is NULL.";
        return false;
    }
    debugLine(__LINE__, u"Examining Path: " + path);
    std::vector<platform::FolderEntry> entries;
    std::string error;
    if (!platform::fileListFolder(path, entries, error)) {
        mutableErrorString() = u"Could not get Directory Info" + systemError(error);
        return false;
    }
    for (const platform::FolderEntry& entry : entries) nameList->push_back(listedName(entry.name, style));
    debugLine(__LINE__, u"Found " + ucstringFromString(std::to_string(entries.size())) + u" Files.");
    return true;
}

bool OrbFileRefEx::listItems(OrbVariableArray* arrayResult, int options) {
    if (!arrayResult) {
        mutableErrorString() = u"Output Item List is NULL.";
        return false;
    }
    arrayResult->clear();
    ucstring path;
    if (!listableFolder(*this, path)) return false;
    OrbFileRefListItemsContext context(arrayResult, kPathStyleWindows, *this, options);
    if (!listItemsHelper(context)) return false;
    debugLine(__LINE__, u"Found " + ucstringFromString(std::to_string(arrayResult->size())) +
                            u" Files (in the first directory).");
    return true;
}

bool OrbFileRefEx::listItemsHelper(OrbFileRefListItemsContext& context) {
    OrbVariableArray* result = context.result();
    if (!result) {
        mutableErrorString() = u"Directory Items Array is NULL";
        return false;
    }
    std::string error;
    if (!platform::fileListFolder(context.directory().pathAsString(kPathStyleWindows), context.mutableEntries(),
                                  error)) {
        mutableErrorString() = u"Could not get Directory Items." + systemError(error);
        return false;
    }
    const int options = context.options();
    ucstring ignored;
    for (const platform::FolderEntry& entry : context.mutableEntries()) {
        const bool isFolder = entry.info.kind == platform::FileKind::Folder;
        OrbVariableArray item;
        if (options & kListItemsType) item.addStringVariable(ignored, u"Type", isFolder ? u"dir" : u"file");
        // With the type, what is no plain file or folder says so: a link ("Link", whatever it leads
        // to) and a device, FIFO or socket ("Special"). A folder transfer leaves both out, so that
        // nothing outside the folder is sent and nothing is read that never ends.
        if ((options & kListItemsType) && entry.info.isLink) item.addIntegerVariable(ignored, u"Link", 1);
        if ((options & kListItemsType) && entry.info.kind == platform::FileKind::Other)
            item.addIntegerVariable(ignored, u"Special", 1);
        if ((options & kListItemsSize) && !isFolder) item.addIntegerVariable(ignored, u"Size", entry.info.size);
        if (options & kListItemsCreationDate)
            item.addTimestampVariable(ignored, u"CreationDate",
                                      localDateTime(entry.info.creationSeconds, entry.info.creationNanoseconds));
        if (options & kListItemsModDate)
            item.addTimestampVariable(
                ignored, u"ModDate", localDateTime(entry.info.modificationSeconds, entry.info.modificationNanoseconds));
        // Linked folders are listed but not entered: a link may lead back up the tree.
        if ((options & kListItemsRecursive) && isFolder && !entry.info.isLink) {
            OrbVariableArray items;
            OrbFileRefListItemsContext sub(&items, context.style(), child(context.directory(), entry.name), options);
            if (!listItemsHelper(sub)) {
                mutableErrorString() = u"Error during recursion: " + errorString();
                return false;
            }
            item.addArrayVariable(ignored, u"Items", items, true);
        }
        // Named exactly as listed: variable names are otherwise trimmed, file names may not be.
        OrbVariable variable;
        variable.mutableName() = listedName(entry.name, context.style());
        variable.mutableNameUppercase() = stringUpperCase(variable.name());
        variable.setArrayValue(item);
        result->mutableVariableArray().push_back(std::move(variable));
    }
    return true;
}
