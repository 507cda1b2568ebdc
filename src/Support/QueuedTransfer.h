// One transfer in a session's queue: what it moves, where to, and what runs when it is done. The
// queue works with these; they become texts and variants only where they leave it: the lines of
// Volan_GetQueueList and the last-transfer record that Volan_GetLastResult reads.
#pragma once

#include "_Common/CoreCode/Orb_Variable.h"
#include "_Common/Strings/Orb_StringTypes.h"

#include <cstdint>

// A folder entry stands for a whole folder transfer: it follows the folder's files in the queue
// and carries the folder's completed script.
enum class QueuedKind { DownloadFile, DownloadText, UploadFile, UploadText, DownloadFolder, UploadFolder };

struct QueuedTransfer {
    QueuedKind kind = QueuedKind::DownloadFile;
    ucstring id;  // the transfer ID of files and texts (transferNewID); folder entries have none
    // Files and texts: the remote folder (ending in "/") and the remote name.
    ucstring remotePath;
    ucstring remoteFile;
    // Files: the local folder and the local name.
    ucstring localPath;
    ucstring localFile;
    ucstring dir;  // folder entries: the remote folder (download) or the local one (upload)
    bool append = false;
    bool asciiMode = false;
    // Uploaded texts: the lines and how they are written.
    ucstringlist lines;
    int32_t lineEnding = 0;
    int16_t charSet = 1;
    bool includeBOM = false;
    // "Database::Script" to run after success, and its parameter; both trimmed.
    ucstring completedScript;
    ucstring parameter;
    // The folder transfer this entry belongs to (see queueTieFolder); 0 when none. Its files
    // count the folder's files queued before them.
    uint64_t folder = 0;
    int64_t filesBefore = 0;
};

// The word the queue list, the last-transfer record and error texts name a kind by: "DownloadFile",
// "DownloadText", "UploadFile", "UploadText", "DownloadDir", "UploadDir".
ucstring queuedKindName(QueuedKind kind);
bool queuedKindIsFile(QueuedKind kind);
bool queuedKindIsFolder(QueuedKind kind);
// The entry's line in Volan_GetQueueList ("UploadFile: name"); empty for folder entries, which
// are not listed.
ucstring queuedListLine(const QueuedTransfer& transfer);
// The last-transfer record of the entry: an array named by its ID, "Type" first, then the
// entry's own values in the kind's order, the completion, and the folder tie when there is one.
OrbVariable queuedRecord(const QueuedTransfer& transfer);

// The texts a folder transfer fails with, at once or queued. `error` followed by how many files
// went before the failure ("(3 files transferred before it.)", or queued).
ucstring dirTransferWithCount(const ucstring& error, uint32_t filesDone, bool queued);
// What a file that failed in a folder transfer makes of it: the file's own error (`path` is the
// local file of an upload, the remote one of a download), then the folder's, with how many files
// were transferred before it.
ucstring dirTransferFileError(bool upload, const ucstring& path, const ucstring& error);
ucstring dirTransferFailure(bool upload, const ucstring& error, uint32_t filesDone);
