#include "QueuedTransfer.h"

#include "_Common/Strings/Orb_String.h"

#include <string>

ucstring queuedKindName(QueuedKind kind) {
    switch (kind) {
        case QueuedKind::DownloadFile: return u"DownloadFile";
        case QueuedKind::DownloadText: return u"DownloadText";
        case QueuedKind::UploadFile: return u"UploadFile";
        case QueuedKind::UploadText: return u"UploadText";
        case QueuedKind::DownloadFolder: return u"DownloadDir";
        case QueuedKind::UploadFolder: return u"UploadDir";
    }
    return u"";
}

bool queuedKindIsFile(QueuedKind kind) { return kind == QueuedKind::DownloadFile || kind == QueuedKind::UploadFile; }

bool queuedKindIsFolder(QueuedKind kind) {
    return kind == QueuedKind::DownloadFolder || kind == QueuedKind::UploadFolder;
}

ucstring queuedListLine(const QueuedTransfer& t) {
    const ucstring& local = t.localFile;
    const ucstring& remote = t.remoteFile;
    switch (t.kind) {
        case QueuedKind::DownloadFile: return queuedKindName(t.kind) + u": " + (local.empty() ? remote : local);
        case QueuedKind::UploadFile: return queuedKindName(t.kind) + u": " + (remote.empty() ? local : remote);
        case QueuedKind::DownloadText:
        case QueuedKind::UploadText: return queuedKindName(t.kind) + u": " + remote;
        case QueuedKind::DownloadFolder:
        case QueuedKind::UploadFolder: break;
    }
    return u"";
}

OrbVariable queuedRecord(const QueuedTransfer& t) {
    OrbVariableArray entries;
    ucstring error;
    entries.addStringVariable(error, u"Type", queuedKindName(t.kind));
    const auto addRemote = [&] {
        entries.addStringVariableAsIs(error, u"RemotePath", t.remotePath);
        entries.addStringVariableAsIs(error, u"RemoteFile", t.remoteFile);
    };
    const auto addLocal = [&] {
        entries.addStringVariableAsIs(error, u"LocalPath", t.localPath);
        entries.addStringVariableAsIs(error, u"LocalFile", t.localFile);
    };
    const auto addFileFlags = [&] {
        entries.addBooleanVariable(error, u"AppendToFile", t.append);
        entries.addBooleanVariable(error, u"UseASCIIMode", t.asciiMode);
    };
    // A file's record names its source first.
    switch (t.kind) {
        case QueuedKind::DownloadFile:
            addRemote();
            addLocal();
            addFileFlags();
            break;
        case QueuedKind::UploadFile:
            addLocal();
            addRemote();
            addFileFlags();
            break;
        case QueuedKind::DownloadText: addRemote(); break;
        case QueuedKind::UploadText:
            entries.addListVariable(error, u"Text", t.lines);
            addRemote();
            entries.addBooleanVariable(error, u"AppendToFile", t.append);
            entries.addIntegerVariable(error, u"LineEndingType", t.lineEnding);
            entries.addIntegerVariable(error, u"CharSet", t.charSet);
            entries.addBooleanVariable(error, u"IncludeUnicodeBOM", t.includeBOM);
            break;
        case QueuedKind::DownloadFolder: entries.addStringVariableAsIs(error, u"RemoteDir", t.dir); break;
        case QueuedKind::UploadFolder: entries.addStringVariableAsIs(error, u"LocalDir", t.dir); break;
    }
    entries.addStringVariable(error, u"CompletedScript", t.completedScript);
    entries.addStringVariable(error, u"CSParameter", t.parameter);
    if (t.folder != 0) {
        entries.addStringVariable(error, u"Folder", ucstringFromUTF8String(std::to_string(t.folder)));
        if (queuedKindIsFile(t.kind)) entries.addIntegerVariable(error, u"FilesBefore", t.filesBefore);
    }
    OrbVariable record(t.id);
    record.setArrayValue(entries);
    return record;
}

ucstring dirTransferWithCount(const ucstring& error, uint32_t filesDone, bool queued) {
    const std::string count = std::to_string(filesDone);
    return error + u" (" + ucstringFromString(count) + (filesDone == 1 ? u" file " : u" files ") +
           (queued ? u"queued" : u"transferred") + u" before it.)";
}

ucstring dirTransferFileError(bool upload, const ucstring& path, const ucstring& error) {
    return (upload ? u"Error uploading '" : u"Error downloading '") + path + u"': " + error;
}

ucstring dirTransferFailure(bool upload, const ucstring& error, uint32_t filesDone) {
    return (upload ? u"Error uploading directory contents: " : u"Error downloading directory contents: ") +
           dirTransferWithCount(error, filesDone, false);
}
