// The four transfer workers on the session's connection (remote/Transfers.h). They are shared by
// the transfer functions, the directory transfers and the queue thread, and return an error text
// (empty on success).
#pragma once

#include "_Common/CoreCode/Orb_Variable.h"
#include "_Common/FileAndStream/Orb_FileRef.h"
#include "_Common/Strings/Orb_String.h"

#include <functional>
#include <string>

class PluginVariables;

// `remotePath` is UTF-8 and relative to the connection's base URL.
[[nodiscard]] ucstring uploadFile(PluginVariables& variables, const OrbFileRef& localFile,
                                  const std::string& remotePath, bool append, bool asciiMode);
[[nodiscard]] ucstring downloadFile(PluginVariables& variables, const std::string& remotePath,
                                    const OrbFileRef& localFile, bool append, bool asciiMode, int64_t listedSize = -1);
[[nodiscard]] ucstring uploadText(PluginVariables& variables, const ucstringlist& lines, const std::string& remotePath,
                                  bool append, int32_t lineEnding, int16_t charSet, bool includeBOM);
[[nodiscard]] ucstring downloadText(PluginVariables& variables, const std::string& remotePath, ucstringlist& lines);

// The name a queued transfer is known by: date, time and a random number.
ucstring generateTransferID();

// ---- What the transfer functions share ---------------------------------------------------------

struct FunctionCall;

// Resolves a CompletedScript argument: empty stays empty; "Database::Script" is checked in that
// database, a bare script name in the calling one. `resolved` gets "Database::Script".
[[nodiscard]] ucstring transferCompletedScript(const FunctionCall& call, const ucstring& given, ucstring& resolved);
// A RemoteFile argument against the current remote folder, split into the folder (with its
// trailing "/") and the name (empty when the path ends in "/"); the error of a path that cannot
// be sent.
[[nodiscard]] ucstring transferRemotePath(const PluginVariables& variables, const ucstring& remoteFile,
                                          ucstring& remoteDir, ucstring& remoteName);
// The connection check of a transfer function. At once, a transfer needs the connection free of
// the session's queued transfers; queued, it is only added to the queue, while one of them may run.
[[nodiscard]] ucstring transferCheckConnection(const PluginVariables& variables, bool queued);
// Runs a transfer at once on the calling thread: under the configuration lock, with the status
// window's Cancel enabled and the account's data connection settings applied.
[[nodiscard]] ucstring transferRunNow(PluginVariables& variables, const std::function<ucstring()>& worker);
// A transfer ID the session's queue does not use yet (nor its transfer in flight).
ucstring transferNewID(const PluginVariables& variables);
// The last-result record of a finished transfer: "Type", "RemotePath", "RemoteFile", then
// "LocalPath" and "LocalFile" when a local file took part.
OrbVariable transferRecord(const ucstring& type, const ucstring& remoteDir, const ucstring& remoteName,
                           const ucstring* localPath = nullptr, const ucstring* localName = nullptr);
// The local file behind an upload's FileOrContainer argument (the first): a path, a referenced
// file, or an embedded file exported to the temporary folder (removed with the session).
// `storedName` gets the container's own name when the export had to choose another;
// `missingText` starts the error for a file that does not exist.
[[nodiscard]] ucstring transferUploadSource(FunctionCall& call, OrbFileRef& file, ucstring& storedName,
                                            const ucstring& missingText);
// False for a remote name that cannot be written as one item inside a local folder: empty, "."
// or "..", or holding a path separator, a line break or a NUL. The names come from the server
// or from a remote path; none may lead out of the folder the user chose.
bool transferLocalNameIsSafe(const ucstring& name);
// The local file a download goes to: `localFile` completed against the current folder (the current
// folder itself when it is empty); into a folder, under the remote name, which must then be one
// item. `invalidText` starts the error of a path that names nothing usable.
[[nodiscard]] ucstring transferDownloadTarget(PluginVariables& variables, const ucstring& localFile,
                                              const ucstring& remoteName, const ucstring& invalidText,
                                              OrbFileRef& target);
// Removes the file an upload's container was exported to (a temporary file of the session) when
// the call is over, whatever its outcome, unless the upload was queued: the queue sends it later,
// and the session's end removes it.
class TransferExportedFile {
public:
    TransferExportedFile(PluginVariables& variables, const OrbFileRef& file) : mVariables(variables), mFile(file) {}
    ~TransferExportedFile();
    TransferExportedFile(const TransferExportedFile&) = delete;
    TransferExportedFile& operator=(const TransferExportedFile&) = delete;
    void keepForTheQueue() { mKept = true; }

private:
    PluginVariables& mVariables;
    OrbFileRef mFile;
    bool mKept = false;
};
// "'first'" or "'first' (originally 'second')".
ucstring transferNames(const ucstring& first, const ucstring& second);
