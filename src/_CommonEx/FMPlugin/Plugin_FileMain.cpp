#include "Plugin_FileMain.h"

#include "Orb_Debug.h"
#include "_Common/FMPlugin/Plugin_Scripts.h"
#include "_Common/FMPlugin/Plugin_Utilities.h"
#include "_Common/FileAndStream/Orb_FileStream.h"
#include "_Common/Strings/Orb_CharSets.h"
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"
#include "_Common/Strings/Orb_StringRegEx.h"
#include "_CommonEx/FileAndStream/Orb_FileRefEx.h"

#include <platform/Files.h>

#include <algorithm>
#include <string_view>

namespace {

ucstring text(const OrbVariableArray& parameters, const char16_t* name) {
    const OrbVariable* v = nullptr;
    return parameters.variableWithName(name, v) ? v->variableAsString(1) : ucstring();
}

bool boolean(const OrbVariableArray& parameters, const char16_t* name) {
    const OrbVariable* v = nullptr;
    return parameters.variableWithName(name, v) && v->type() != OrbVariable::kEmpty && v->variableAsBoolean();
}

int64_t integer(const OrbVariableArray& parameters, const char16_t* name) {
    const OrbVariable* v = nullptr;
    return parameters.variableWithName(name, v) ? v->variableAsInteger() : 0;
}

ucstring keyword(const ucstring& value) { return stringUpperCase(stringTrim(value)); }

ucstring windowsPath(const OrbFileRef& ref) { return ref.pathAsString(kPathStyleWindows); }

// What a path names: nothing usable (false), an existing folder or file, or a new item whose
// folder exists (both flags false). A device, FIFO or socket is not usable (isOther).
struct PathCheck {
    OrbFileRefEx ref;
    bool valid = false;
    bool isDir = false;
    bool isFile = false;
    bool isOther = false;
};

PathCheck checkPath(const ucstring& path) {
    PathCheck c;
    if (c.ref.set(path)) c.valid = c.ref.isValid(c.isDir, c.isFile);
    if (!c.valid && c.ref.defined()) c.isOther = platform::fileKind(windowsPath(c.ref)) == platform::FileKind::Other;
    return c;
}

// The common checks of the single-file operations: the path names an existing file.
ucstring checkExistingFile(PathCheck& c, const ucstring& folderMessage) {
    if (c.isOther) return u"File is not a File" + ucstring(kSpecialItemText) + u".";
    if (!c.valid) return u"File is invalid.";
    if (c.isDir) return folderMessage;
    if (!c.isFile) return u"File does not exist.";
    return {};
}

ucstring checkExistingFolder(PathCheck& c, const ucstring& fileMessage) {
    if (!c.valid) return u"Folder is invalid.";
    if (c.isFile) return fileMessage;
    if (!c.isDir) return u"Folder does not exist.";
    return {};
}

ucstring copyOrMove(const OrbVariableArray& parameters, OrbVariable& result, bool move) {
    const ucstring source = text(parameters, u"Source");
    if (source.empty()) return u"You must specify the source file ('Source' parameter).";
    PathCheck from = checkPath(source);
    if (from.valid && from.isDir)
        return move ? u"You cannot move folders with this function; you must specify a file."
                    : u"You cannot copy folders with this function; you must specify a file.";
    if (from.isOther)
        return move ? u"You cannot move devices, FIFOs or sockets with this function; you must specify a file."
                    : u"You cannot copy devices, FIFOs or sockets with this function; you must specify a file.";
    if (from.valid && !from.isFile) return u"Source file does not exist.";
    if (!from.valid) return u"Source file is invalid.";

    const ucstring destination = text(parameters, u"Destination");
    if (destination.empty()) return u"You must specify the file destination ('Destination' parameter).";
    const bool mustBeFolder = stringEndsWith(OrbFileRef::normalizePathDelimiters(destination), ucstring(u"/"));
    PathCheck to = checkPath(destination);
    if (mustBeFolder && (!to.valid || !to.isDir)) return u"File destination does not exist.";
    if (!to.valid) return u"File destination is invalid.";

    OrbFileRef target(to.ref);
    if (to.isDir) target.addItem(from.ref.getLastItem());
    const ucstring sourcePath = windowsPath(from.ref);
    const bool done = move ? from.ref.moveFile(to.ref) : from.ref.copyFile(to.ref);
    if (!done) return (move ? u"File move failed: " : u"File copy failed: ") + from.ref.errorString();
    result.setStringValue((move ? u"Moved: " : u"Copied: ") + sourcePath + u" to: " + windowsPath(target));
    return {};
}

// ---- Writing text files -------------------------------------------------------------------------

enum class ExistsAction { Abort, Overwrite, Backup, Append, Unique };

bool parseExistsAction(const ucstring& value, ExistsAction& action) {
    const ucstring k = keyword(value);
    if (k.empty() || k == u"ABORT")
        action = ExistsAction::Abort;
    else if (k == u"OVERWRITE")
        action = ExistsAction::Overwrite;
    else if (k == u"BACKUP")
        action = ExistsAction::Backup;
    else if (k == u"APPEND")
        action = ExistsAction::Append;
    else if (k == u"UNIQUE")
        action = ExistsAction::Unique;
    else
        return false;
    return true;
}

// The line ending to join lines with: 1 CR, 2 LF, 3 CR LF; -1 writes the data as given.
bool parseLineEnding(const ucstring& value, int& ending) {
    const ucstring k = keyword(value);
    if (k.empty() || k == u"SYSTEM" || k == u"WIN" || k == u"WINDOWS" || k == u"CRLF")
        ending = 3;
    else if (k == u"MAC" || k == u"MACINTOSH" || k == u"CR")
        ending = 1;
    else if (k == u"UNIX" || k == u"LINUX" || k == u"LF")
        ending = 2;
    else if (k == u"NONE")
        ending = -1;
    else
        return false;
    return true;
}

// Writes the bytes through a stream attached for writing, at the end or over the whole file.
ucstring writeBytes(OrbFileStream& stream, const std::string& bytes, bool append) {
    if (append) {
        if (!stream.reposition(stream.size())) return u"Could not set file position to end: " + stream.errorString();
    } else if (!stream.resize(0)) {
        return u"Could not set file size to 0: " + stream.errorString();
    }
    if (!bytes.empty() && !stream.writeBytes(bytes.data(), static_cast<int64_t>(bytes.size())))
        return u"Error writing to file stream.";
    if (!stream.detachFromFile()) return u"Error writing to file stream.";
    return {};
}

}  // namespace

OrbVariableArray fileOperationParameters(std::initializer_list<std::pair<const char16_t*, ucstring>> values) {
    OrbVariableArray parameters;
    ucstring error;
    for (const auto& [name, value] : values) parameters.addStringVariable(error, name, value, true);
    return parameters;
}

// ---- Files ------------------------------------------------------------------------------------------

ucstring File_CopyCallback(const OrbVariableArray& parameters, OrbVariable& result) {
    DEBUG_SCOPE("File_CopyCallback");
    return copyOrMove(parameters, result, false);
}

ucstring File_MoveCallback(const OrbVariableArray& parameters, OrbVariable& result) {
    DEBUG_SCOPE("File_MoveCallback");
    return copyOrMove(parameters, result, true);
}

ucstring File_DeleteCallback(const OrbVariableArray& parameters, OrbVariable& result) {
    DEBUG_SCOPE("File_DeleteCallback");
    const ucstring path = text(parameters, u"File");
    if (path.empty()) return u"You must specify a file to delete ('File' parameter).";
    PathCheck c = checkPath(path);
    ucstring error = checkExistingFile(c, u"You cannot delete folders with this function; you must specify a file.");
    if (!error.empty()) return error;
    if (!c.ref.removeFile()) return u"File deletion failed: " + c.ref.errorString();
    result.setStringValue(u"Deleted: " + windowsPath(c.ref));
    return {};
}

ucstring File_RenameCallback(const OrbVariableArray& parameters, OrbVariable& result) {
    DEBUG_SCOPE("File_RenameCallback");
    const ucstring path = text(parameters, u"File");
    if (path.empty()) return u"You must specify the file to rename ('File' parameter).";
    PathCheck c = checkPath(path);
    if (c.valid && c.isDir) return u"You cannot rename folders with this function; you must specify a file.";
    if (c.valid && !c.isFile) return u"File does not exist.";
    if (!c.valid) return u"File name is invalid.";
    const ucstring newName = text(parameters, u"NewName");
    if (newName.empty()) return u"You must specify a new name for the file ('NewName' parameter).";
    const ucstring oldPath = windowsPath(c.ref);
    if (!c.ref.renameFile(newName)) return u"File renaming failed: " + c.ref.errorString();
    result.setStringValue(u"Renamed: " + oldPath + u" to: " + windowsPath(c.ref));
    return {};
}

ucstring File_ExistsCallback(const OrbVariableArray& parameters, OrbVariable& result) {
    DEBUG_SCOPE("File_ExistsCallback");
    const ucstring path = text(parameters, u"File");
    if (path.empty()) return u"You must specify a file to find ('File' parameter).";
    PathCheck c = checkPath(path);
    result.setIntegerValue(c.valid && c.isFile ? 1 : 0);
    return {};
}

ucstring File_SizeCallback(const OrbVariableArray& parameters, OrbVariable& result) {
    DEBUG_SCOPE("File_SizeCallback");
    const ucstring path = text(parameters, u"File");
    if (path.empty()) return u"You must specify a file to get its size ('File' parameter).";
    PathCheck c = checkPath(path);
    ucstring error =
        checkExistingFile(c, u"You cannot get the size of folders with this function; you must specify a file.");
    if (!error.empty()) return error;
    int64_t size = 0;
    if (!c.ref.fileSize(size)) return u"Getting file size failed: " + c.ref.errorString();
    result.setIntegerValue(size);
    return {};
}

ucstring File_TimestampCallback(const OrbVariableArray& parameters, OrbVariable& result) {
    DEBUG_SCOPE("File_TimestampCallback");
    const ucstring path = text(parameters, u"File");
    if (path.empty()) return u"You must specify a file to get its timestamp ('File' parameter).";
    PathCheck c = checkPath(path);
    ucstring error =
        checkExistingFile(c, u"You cannot get the timestamp of folders with this function; you must specify a file.");
    if (!error.empty()) return error;
    OrbDateTime when;
    const bool ok = boolean(parameters, u"CreationTimestamp") ? c.ref.creationDate(when) : c.ref.modificationDate(when);
    if (!ok) return u"Getting file timestamp failed: " + c.ref.errorString();
    result.setTimestampValue(when);
    return {};
}

ucstring File_ReadCallback(const OrbVariableArray& parameters, OrbVariable& result) {
    DEBUG_SCOPE("File_ReadCallback");
    const ucstring path = text(parameters, u"File");
    if (path.empty()) return u"You must specify the file to read ('File' parameter).";
    PathCheck c = checkPath(path);
    ucstring error = checkExistingFile(c, u"The specified path is a folder; you must specify a file.");
    if (!error.empty()) return error;
    try {
        OrbFileStream stream(OrbFileStream::kDefaultBufferSize);
        if (!stream.attachToFile(c.ref, kFileStreamRead))
            return u"Could not open file for reading: " + stream.errorString();
        int64_t start = integer(parameters, u"Start");
        int64_t amount = integer(parameters, u"Amount");
        if (!boolean(parameters, u"ReadLines")) {
            // Start and Amount count bytes; the bytes are the host's native (UTF-8) text.
            const int64_t size = stream.size();
            if (start < 0) start = std::max<int64_t>(0, size + start);
            if (start > size) start = size;
            if (amount == 0 || amount > size - start) amount = size - start;  // (no overflow for huge amounts)
            if (amount <= 0) {
                result.setStringValue(u"");
                return {};
            }
            std::string bytes(static_cast<size_t>(amount), '\0');
            int64_t actual = 0;
            if (!stream.reposition(start) || !stream.readBytes(bytes.data(), amount, actual))
                return u"Error reading characters from file: " + stream.errorString();
            bytes.resize(static_cast<size_t>(actual));
            result.setStringValue(ucstringFromUTF8String(bytes));
            return {};
        }
        if (start < 0) {
            int64_t lines = 0;
            ucstring line;
            while (stream.readLine(&line, 0, kCharSetUTF8)) ++lines;
            start = std::max<int64_t>(0, lines + start);
        }
        if (!stream.repositionToLine(start, kCharSetUTF8))
            return u"Could not go to line in file: " + stream.errorString();
        ucstringlist lines;
        ucstring line;
        bool endedWithLineEnding = false;
        while ((amount <= 0 || static_cast<int64_t>(lines.size()) < amount) && !stream.atEnd()) {
            if (!stream.readLine(&line, 0, kCharSetUTF8)) {
                if (!stream.errorString().empty()) return u"Error reading lines from file: " + stream.errorString();
                break;
            }
            lines.push_back(line);
            endedWithLineEnding = stream.streamEndedWithLineEnding();
        }
        ucstring out = stringlistJoinWithString(lines, u"\r");
        if (!lines.empty() && endedWithLineEnding) out += u'\r';
        result.setStringValue(out);
        return {};
    } catch (...) {
        return u"Error opening or reading the file.";
    }
}

ucstring File_WriteCallback(const OrbVariableArray& parameters, OrbVariable& result) {
    DEBUG_SCOPE("File_WriteCallback");
    const ucstring path = text(parameters, u"File");
    if (path.empty()) return u"You must specify the file to write ('File' parameter).";
    ExistsAction action;
    if (!parseExistsAction(text(parameters, u"FileExistsAction"), action))
        return u"Invalid FileExistsAction; specify \"Abort\", \"Overwrite\", \"Backup\", \"Append\", or \"Unique\".";
    const ucstring charSetName = text(parameters, u"CharacterSet");
    const int16_t charSet = stringTrim(charSetName).empty() ? int16_t(kCharSetUTF8) : stringToCharSet(charSetName);
    if (charSet < 0) return u"Unknown character set: " + charSetName;
    int lineEnding = 3;
    if (!parseLineEnding(text(parameters, u"LineEndingType"), lineEnding))
        return u"Invalid LineEndingType; specify \"System\", \"Mac\", \"Win\", \"Unix\", \"CR\", \"CRLF\", \"LF\", or "
               u"\"None\".";
    const bool includeBOM = boolean(parameters, u"IncludeUnicodeBOM");

    PathCheck c = checkPath(path);
    if (!c.valid) return u"File is invalid: " + c.ref.errorString();
    OrbFileRef target(c.ref);
    const ucstring name = OrbFileRef::decodeSlashes(c.ref.getLastItem(), kPathStyleWindows);
    bool replace = false;
    if (c.isDir || c.isFile) {
        switch (action) {
            case ExistsAction::Abort:
                return u"Could not write file because there is an existing " +
                       ucstring(c.isDir ? u"folder " : u"file ") + u"with the name " + name;
            case ExistsAction::Overwrite:
            case ExistsAction::Append:
                // A folder is never written over or into.
                if (c.isDir) return u"Could not write file because there is an existing folder with the name " + name;
                replace = action == ExistsAction::Overwrite;
                break;
            case ExistsAction::Unique: {
                OrbFileRef folder(c.ref);
                folder.removeLastItem();
                ucstring unique;
                if (!folder.findUniqueFileName(unique, name, 0) || unique.empty())
                    return u"File is invalid: " + folder.errorString();
                target = folder;
                target.addItem(OrbFileRef::encodeSlashes(unique));
                break;
            }
            case ExistsAction::Backup: {
                if (c.isDir)
                    return u"Could not backup existing file (" + name + u") because it's not a file, it's a folder.";
                OrbFileRef folder(c.ref);
                folder.removeLastItem();
                const ucstring extension = OrbFileRef::extractFileExtension(name);
                const ucstring backupName = name.substr(0, name.size() - extension.size()) + u" Backup" + extension;
                ucstring unique;
                if (!folder.findUniqueFileName(unique, backupName, 0) || unique.empty())
                    return u"Could not backup existing file (" + name + u"): " + folder.errorString();
                OrbFileRefEx existing(c.ref);
                if (!existing.renameFile(unique))
                    return u"Could not backup existing file (" + name + u"): " + existing.errorString();
                break;
            }
        }
    }

    // The bytes: lines joined again with the chosen ending, in the chosen character set.
    const ucstring data = text(parameters, u"Data");
    const ucstring joined =
        lineEnding < 0 ? data : stringlistJoinWithLineEnding(stringlistSplitStringByLines(data), lineEnding);
    std::string_view bom;
    if (includeBOM && action != ExistsAction::Append) {
        if (charSet == kCharSetUTF8) bom = "\xEF\xBB\xBF";
        if (charSet == kCharSetUCS2) bom = "\xFE\xFF";
    }
    std::string encoded;
    ucstring error = charSetEncode(encoded, joined, charSet, false);
    if (!error.empty()) return error;
    const std::string bytes = std::string(bom) + encoded;

    if (replace) {
        // Overwriting never risks the old contents, and changes nothing but the contents.
        platform::FileReplacement replacement;
        OrbFileStream stream(OrbFileStream::kDefaultBufferSize);  // after: it lets go of the file first
        std::string systemError;
        const auto failed = [&] {
            return u"Could not replace file: " + windowsPath(target) + u"; " + ucstringFromUTF8String(systemError);
        };
        if (!replacement.begin(windowsPath(target), ".writing", systemError)) return failed();
        if (!stream.attachToHandle(replacement.contents(), kFileStreamWrite))
            return u"Could not open file for writing: " + stream.errorString();
        error = writeBytes(stream, bytes, false);
        if (!error.empty()) return error;
        if (!replacement.commit(systemError)) return failed();
    } else {
        const bool append = action == ExistsAction::Append && c.isFile;
        OrbFileRef file(target);
        if (!append && !file.fileExists() && !file.createFile())
            return u"Error creating file '" + windowsPath(target) + u"'; " + file.errorString();
        OrbFileStream stream(OrbFileStream::kDefaultBufferSize);
        if (!stream.attachToFile(target, kFileStreamWrite))
            return u"Could not open file for writing: " + stream.errorString();
        error = writeBytes(stream, bytes, append);
        if (!error.empty()) return error;
    }
    result.setStringValue(u"Wrote to file: " + windowsPath(target));
    return {};
}

// ---- Folders ----------------------------------------------------------------------------------------

ucstring Folder_CreateCallback(const OrbVariableArray& parameters, OrbVariable& result) {
    DEBUG_SCOPE("Folder_CreateCallback");
    const ucstring path = text(parameters, u"Folder");
    if (path.empty()) return u"You must specify a name for the new folder ('Folder' parameter).";
    OrbFileRef ref;
    if (!ref.set(path)) return u"Folder creation failed: " + ref.errorString();
    if (ref.dirExists()) return u"Folder already exists.";
    if (!ref.createDir()) return u"Folder creation failed: " + ref.errorString();
    result.setStringValue(u"Created: " + windowsPath(ref));
    return {};
}

ucstring Folder_DeleteCallback(const OrbVariableArray& parameters, OrbVariable& result) {
    DEBUG_SCOPE("Folder_DeleteCallback");
    const ucstring path = text(parameters, u"Folder");
    if (path.empty()) return u"You must specify a folder to delete ('Folder' parameter).";
    PathCheck c = checkPath(path);
    ucstring error = checkExistingFolder(c, u"You cannot delete files with this function; you must specify a folder.");
    if (!error.empty()) return error;
    const bool done = boolean(parameters, u"DeleteContents") ? c.ref.removeDirAndFiles() : c.ref.removeDir();
    if (!done) return u"Folder deletion failed: " + c.ref.errorString();
    result.setStringValue(u"Deleted: " + windowsPath(c.ref));
    return {};
}

ucstring Folder_RenameCallback(const OrbVariableArray& parameters, OrbVariable& result) {
    DEBUG_SCOPE("Folder_RenameCallback");
    const ucstring path = text(parameters, u"Folder");
    if (path.empty()) return u"You must specify the folder to rename ('Folder' parameter).";
    PathCheck c = checkPath(path);
    if (c.valid && c.isFile) return u"You cannot rename files with this function; you must specify a folder.";
    if (c.valid && !c.isDir) return u"Folder does not exist.";
    if (!c.valid) return u"Folder name is invalid.";
    const ucstring newName = text(parameters, u"NewName");
    if (newName.empty()) return u"You must specify a new name for the folder ('NewName' parameter).";
    const ucstring oldPath = windowsPath(c.ref);
    if (!c.ref.renameDir(newName)) return u"Folder renaming failed: " + c.ref.errorString();
    result.setStringValue(u"Renamed: " + oldPath + u" to: " + windowsPath(c.ref));
    return {};
}

ucstring Folder_ExistsCallback(const OrbVariableArray& parameters, OrbVariable& result) {
    DEBUG_SCOPE("Folder_ExistsCallback");
    const ucstring path = text(parameters, u"Folder");
    if (path.empty()) return u"You must specify a folder to find ('Folder' parameter).";
    PathCheck c = checkPath(path);
    result.setIntegerValue(c.valid && c.isDir ? 1 : 0);
    return {};
}

ucstring Folder_GetPathCallback(const OrbVariableArray& parameters, OrbVariable& result) {
    DEBUG_SCOPE("Folder_GetPathCallback");
    static const char16_t* const kKinds =
        u"Specify \"Database\", \"FileMaker\", \"Root\", \"System\", \"Desktop\", \"Preferences\", \"Temporary\", "
        u"\"Applications\", or \"Documents\".";
    const ucstring type = keyword(text(parameters, u"Type"));
    if (type.empty()) return u"You must specify the path type to get ('Type' parameter).  " + ucstring(kKinds);
    if (type == u"ROOT") {
        result.setStringValue(OrbFileRef::rootVolumeName());
        return {};
    }
    OrbFileRef ref;
    if (type == u"DB" || type == u"DATABASE") {
        if (!frontDatabaseLocation(ref).empty() || !ref.defined())
            return u"Could not get path to database. (Is this a hosted file?)";
        ref.removeLastItem();
        bool isDir = false, isFile = false;
        if (!ref.isValid(isDir, isFile) || !isDir) return u"Path to database is invalid. (Is this a hosted file?)";
        result.setStringValue(windowsPath(ref));
        return {};
    }
    if (type == u"FM" || type == u"FILEMAKER") {
        if (!fmAppLocation(ref) || !ref.defined()) return u"Could not get path to FileMaker.";
        ref.removeLastItem();
        result.setStringValue(windowsPath(ref));
        return {};
    }
    struct Named {
        const char16_t* keys[3];
        int kind;
        const char16_t* what;
    };
    static const Named kNamed[] = {
        {{u"SYSTEM"}, kSystemFolderSystem, u"system"},
        {{u"DESKTOP"}, kSystemFolderDesktop, u"desktop"},
        {{u"SYSDESKTOP", u"SYSTEMDESKTOP", u"SYSTEM DESKTOP"}, kSystemFolderCommonDesktop, u"system desktop"},
        {{u"STARTUP"}, kSystemFolderStartup, u"startup"},
        {{u"PREFERENCES", u"PREFS"}, kSystemFolderLocalAppData, u"preferences"},
        {{u"TEMPORARY", u"TEMP"}, kSystemFolderTemporary, u"temporary"},
        {{u"APPLICATIONS", u"APPS"}, kSystemFolderProgramFiles, u"applications"},
        {{u"DOCUMENTS", u"DOCS"}, kSystemFolderDocuments, u"documents"},
        {{u"CHEWABLE"}, kSystemFolderChewable, u"chewable"},
    };
    for (const Named& n : kNamed) {
        for (const char16_t* key : n.keys) {
            if (!key || type != key) continue;
            const ucstring what = n.what;
            if (!ref.setToSystemFolder(n.kind)) return u"Could not get path to " + what + u".";
            const ucstring path = windowsPath(ref);
            if (path.empty()) return u"Path to " + what + u" is invalid.";
            result.setStringValue(path);
            return {};
        }
    }
    return u"Unknown path type. " + ucstring(kKinds);
}

ucstring Folder_ListCallback(const OrbVariableArray& parameters, OrbVariable& result) {
    DEBUG_SCOPE("Folder_ListCallback");
    const ucstring path = text(parameters, u"Path");
    if (path.empty()) return u"You must specify the path to list ('Path' parameter).";
    PathCheck c = checkPath(path);
    if (!c.valid || !c.isDir) {
        if (c.valid) c.ref.mutableErrorString() = u"Folder does not exist: " + windowsPath(c.ref);
        return u"Path is not valid: " + c.ref.errorString();
    }
    ucStringRegEx matcher;
    const ucstring wildcard = text(parameters, u"Wildcard");
    bool filtered = false;
    if (!wildcard.empty()) {
        ucstring pattern = stringUpperCase(wildcard);
        stringReplaceAllInPlace(pattern, u".", u"\\.");
        stringReplaceAllInPlace(pattern, u"*", u".*");
        stringReplaceAllInPlace(pattern, u"?", u".");
        pattern = u"^" + pattern + u"$";
        const ucstring error = matcher.setExpression(pattern);
        if (!error.empty()) return u"Could not compile wildcard regular expression: " + pattern + u"; Error: " + error;
        filtered = true;
    }
    OrbVariableArray items;
    if (!c.ref.listItems(&items, kListItemsType | kListItemsSize | kListItemsModDate))
        return u"Could not list files: " + c.ref.errorString();
    ucstring fieldSeparator = text(parameters, u"FieldSeperator");
    ucstring rowSeparator = text(parameters, u"RowSeperator");
    if (fieldSeparator.empty()) fieldSeparator = u"||";
    if (rowSeparator.empty()) rowSeparator = u"\r";
    ucstring out;
    for (size_t i = 0; i < items.size(); ++i) {
        const OrbVariable* item = nullptr;
        if (!items.variableAtIndex(i, item)) continue;
        const ucstring& name = item->name();
        if (name == u"." || name == u"..") continue;
        if (filtered && !matcher.match(stringUpperCase(name))) continue;
        const OrbVariableArray& facts = item->arrayValue();
        const OrbVariable* v = nullptr;
        const ucstring type = facts.variableWithName(u"Type", v) ? v->variableAsString(1) : u"unknown";
        const ucstring size = facts.variableWithName(u"Size", v) ? v->variableAsString(1) : u"0";
        ucstring when = u"01/01/2000 00:00:00";
        if (facts.variableWithName(u"ModDate", v)) v->timestampValue().dateTimeString(when, false);
        out += name + fieldSeparator + type + fieldSeparator + size + fieldSeparator + when + rowSeparator;
    }
    result.setStringValue(out);
    return {};
}
