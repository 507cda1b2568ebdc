#include "Function__Transfers.h"

#include "Function__Common.h"
#include "Function__Local.h"
#include "Function__Session.h"
#include "Orb_Debug.h"
#include "Plugin_Config.h"
#include "Plugin_Status.h"
#include "Support/FTPAccount.h"
#include "Support/QueueThread.h"
#include "_Common/CoreCode/Orb_DateTime.h"
#include "_Common/FMPlugin/Plugin_Prefs.h"
#include "_Common/FMPlugin/Plugin_Scripts.h"
#include "_Common/FileAndStream/Orb_FileStream.h"
#include "_Common/FileAndStream/Orb_StringListStream.h"
#include "_Common/Strings/Orb_StringList.h"
#include "_CommonEx/FMPlugin/Plugin_Container.h"

#include <platform/Files.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// libcurl's own buffers: larger ones cut the calls per byte on fast links.
constexpr long kReceiveBufferSize = 512 * 1024;
constexpr long kSendBufferSize = 512 * 1024;

ucstring fileNamePart(const std::string& remotePath) {
    const size_t slash = remotePath.rfind('/');
    return ucstringFromUTF8String(slash == std::string::npos ? remotePath : remotePath.substr(slash + 1));
}

// Points the session's data callbacks at `stream` (kind 1) or at the received lines (kind 0)
// and undoes it when the transfer is over.
class StreamBinding {
public:
    StreamBinding(PluginVariables& session, OrbStream* stream) : mSession(session) {
        session.serverResponse.clear();
        session.transferStreamKind = stream ? 1 : 0;
        session.transferStream = stream;
        if (!stream) session.receivedLines.clear();
    }
    ~StreamBinding() {
        mSession.transferStreamKind = 0;
        mSession.transferStream = nullptr;
    }
    StreamBinding(const StreamBinding&) = delete;
    StreamBinding& operator=(const StreamBinding&) = delete;

private:
    PluginVariables& mSession;
};

// ASCII mode is FTP's: the wire carries CR LF line ends, which libcurl makes from and back into
// this system's LF, and the server stores in its own form. SFTP has no such mode; the bytes go
// as they are.
void setTextMode(PluginVariables& session, bool asciiMode) {
    curl_easy_setopt(session.curl, CURLOPT_TRANSFERTEXT, asciiMode && !sessionIsSFTP(session) ? 1L : 0L);
}

// Runs the prepared transfer with the status window's text; the error text of a failure.
ucstring perform(PluginVariables& session, const std::string& remotePath, bool upload) {
    // Every transfer passes here, also those of folders and of the queue: nothing with a line
    // break or NUL goes on the wire.
    if (const ucstring refused = sessionCheckSendable(remotePath); !refused.empty()) return refused;
    updateStatusText((upload ? u"Uploading '" : u"Downloading '") + fileNamePart(remotePath) + u"'...");
    curl_easy_setopt(session.curl, CURLOPT_URL, sessionURL(session, remotePath).c_str());
    const CURLcode code = sessionPerform(session);
    updateStatus(u"Idle.", 0);
    if (code == CURLE_OK) return u"";
    if (code == CURLE_ABORTED_BY_CALLBACK) return u"User cancelled.";
    if (const ucstring stopped = sessionStoppedText(session, code); !stopped.empty()) return stopped;
    if (debugMode()) debugOutput(__FILE__, __LINE__, "cURL error code: " + std::to_string(static_cast<int>(code)));
    return ucstring(upload ? u"Error uploading file; Server response: "
                           : u"Error downloading file; Server response: ") +
           ucstringFromUTF8String(sessionResponseText(session));
}

ucstring uploadStream(PluginVariables& session, OrbStream& stream, int64_t size, const std::string& remotePath,
                      bool append, bool asciiMode) {
    if (!session.curl) return u"Not connected.";
    const StreamBinding binding(session, &stream);
    cancelPreviousCURLMulti(session);
    curl_easy_setopt(session.curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(session.curl, CURLOPT_APPEND, append ? 1L : 0L);
    curl_easy_setopt(session.curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size));
    setTextMode(session, asciiMode);
    curl_easy_setopt(session.curl, CURLOPT_UPLOAD_BUFFERSIZE, kSendBufferSize);
    const ucstring error = perform(session, remotePath, true);
    curl_easy_setopt(session.curl, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(session.curl, CURLOPT_APPEND, 0L);
    curl_easy_setopt(session.curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(0));
    return error;
}

}  // namespace

ucstring uploadFile(PluginVariables& session, const OrbFileRef& localFile, const std::string& remotePath, bool append,
                    bool asciiMode) {
    OrbFileRef file(localFile);
    if (!file.fileExists()) return u"Local file does not exist: " + file.errorString();
    auto stream = std::make_unique<OrbFileStream>(OrbFileStream::kDefaultBufferSize);
    if (!stream->attachToFile(file, kFileStreamRead))
        return u"Could not open file for reading: " + stream->errorString();
    int64_t size = 0;
    if (!stream->fileSize(size)) return u"Could not open file for reading: " + stream->errorString();
    return uploadStream(session, *stream, size, remotePath, append, asciiMode);
}

ucstring downloadFile(PluginVariables& session, const std::string& remotePath, const OrbFileRef& localFile, bool append,
                      bool asciiMode) {
    OrbFileRef target(localFile);
    bool isDir = false, isFile = false;
    if (!target.isValid(isDir, isFile)) return u"Local path is invalid: " + target.errorString();
    if (!session.curl) return u"Not connected.";

    // A replacing download goes to a file beside the target (".NAME.part") and takes its place
    // only when complete, so a failed or cancelled download never costs the user the old file,
    // and the replaced file keeps what the user set on it. An appending one is cut back to the
    // old size when it fails.
    platform::FileReplacement replacement;
    std::string systemError;
    if (!append && !replacement.begin(target.pathAsString(), ".part", systemError))
        return u"Could not open file for writing: " + ucstringFromUTF8String(systemError);
    auto stream = std::make_unique<OrbFileStream>(OrbFileStream::kDefaultBufferSize);
    if (append ? !stream->attachToFile(target, kFileStreamReadWrite)
               : !stream->attachToHandle(replacement.contents(), kFileStreamWrite))
        return u"Could not open file for writing: " + stream->errorString();
    int64_t originalSize = 0;
    if (append) {
        stream->fileSize(originalSize);
        stream->reposition(originalSize);
    } else {
        stream->resize(0);
    }
    ucstring error;
    {
        const StreamBinding binding(session, stream.get());
        cancelPreviousCURLMulti(session);
        setTextMode(session, asciiMode);
        curl_easy_setopt(session.curl, CURLOPT_BUFFERSIZE, kReceiveBufferSize);
        error = perform(session, remotePath, false);
    }
    // When the local side failed (a full disk, say), that is the news, not the server's replies.
    if (!error.empty() && error != u"User cancelled." && !stream->errorString().empty())
        error = u"Error downloading file; Could not write the local file: " + stream->errorString();
    if (!stream->detachFromFile() && error.empty()) error = u"Could not write file: " + stream->errorString();
    stream.reset();

    if (append) {
        if (!error.empty()) {
            OrbFileStream restore(0);
            if (restore.attachToFile(target, kFileStreamReadWrite)) restore.resize(originalSize);
        }
        return error;
    }
    if (!error.empty()) return error;  // the replacement is dropped: the old file stays
    if (!replacement.commit(systemError)) return u"Could not write file: " + ucstringFromUTF8String(systemError);
    return u"";
}

ucstring uploadText(PluginVariables& session, const ucstringlist& lines, const std::string& remotePath, bool append,
                    int32_t lineEnding, int16_t charSet, bool includeBOM) {
    auto stream = std::make_unique<OrbMemoryStream>();
    ucstring error;
    // "ASCII" leaves the line ends to the server: lines go in this system's form (LF), which FTP's
    // ASCII mode sends as CR LF and the server stores as its own. Joining them with nothing
    // would run the lines together.
    const int ending = lineEnding == kLineEndingNone ? kLineEndingLF : lineEnding;
    if (!stringlistSaveToStream(error, &lines, stream.get(), ending, charSet, includeBOM)) return error;
    const int64_t size = stream->size();
    stream->setPosition(0);
    return uploadStream(session, *stream, size, remotePath, append, true);
}

ucstring downloadText(PluginVariables& session, const std::string& remotePath, ucstringlist& lines) {
    if (!session.curl) return u"Not connected.";
    ucstring error;
    {
        const StreamBinding binding(session, nullptr);
        cancelPreviousCURLMulti(session);
        setTextMode(session, true);
        error = perform(session, remotePath, false);
    }
    if (error.empty()) lines = ucstringlistFromStringlist(session.receivedLines);
    return error;
}

ucstring generateTransferID() {
    OrbDateTime now;
    now.setToCurrent();
    OrbDateTimeComponents c;
    now.decodeDateTime(c);
    char text[64];
    std::snprintf(text, sizeof text, "%04u_%02u_%02u-%02u_%02u_%02u-%6.6u", unsigned{c.year}, unsigned{c.month},
                  unsigned{c.day}, unsigned{c.hour}, unsigned{c.minute}, unsigned{c.second},
                  static_cast<unsigned>(std::rand()));
    return ucstringFromUTF8String(text);
}

// ---- What the transfer functions share ---------------------------------------------------------

ucstring transferCompletedScript(const FunctionCall& call, const ucstring& given, ucstring& resolved) {
    resolved.clear();
    if (given.empty()) return u"";
    ucstring database, script;
    // The script is started in the file the check found it in ("Invoices" for "Invoices.fp7").
    ucstring checked;
    if (given.find(u"::") != ucstring::npos) {
        fmpScriptSplit(given, database, script);
        const ucstring error = checkFMPScriptExists(database, script, &checked);
        if (!error.empty()) return u"Completed script parameter is invalid: " + error;
    } else {
        const ucstring error = envEvaluate(call.environment, u"Get(FileName)", &database);
        if (!error.empty()) return u"Could not get current database for completed script: " + error;
        script = given;
        const ucstring checkError = checkFMPScriptExists(database, script, &checked);
        if (!checkError.empty()) return u"Completed script parameter is invalid(2): " + checkError;
    }
    resolved = checked + u"::" + script;
    return u"";
}

ucstring transferRemotePath(const PluginVariables& variables, const ucstring& remoteFile, ucstring& remoteDir,
                            ucstring& remoteName) {
    if (const ucstring refused = sessionCheckSendable(remoteFile); !refused.empty()) return refused;
    ucstring path = remoteFile;
    if (path.empty() || (path[0] != u'/' && path[0] != u'\\')) {
        const ucstring& current = variables.currentRemoteDir;
        path = current + (!current.empty() && current.back() == u'/' ? u"" : u"/") + path;
    }
    const size_t slash = path.rfind(u'/');
    remoteDir = slash == ucstring::npos ? ucstring() : path.substr(0, slash + 1);
    remoteName = slash == ucstring::npos ? path : path.substr(slash + 1);
    return {};
}

ucstring transferCheckConnection(const PluginVariables& variables, bool queued) {
    if (!queued) return sessionCheckUsable(variables);
    return sessionIsConnected(variables) ? ucstring() : u"Not connected.";
}

ucstring transferRunNow(PluginVariables& variables, const std::function<ucstring()>& worker) {
    PluginConfigLock lock(10000);
    if (!lock.held()) return u"Could not get Plugin Config Lock: " + lock.error();
    StatusWindow* status = nullptr;
    const ucstring statusError = getPluginConfigObject(u"PluginStatus", status);
    if (!statusError.empty())
        DEBUG_OUT(u"Could not get PluginStatus Config Var: " + statusError);
    else if (!status)
        DEBUG_OUT("PluginStatus Config Var is NULL.");
    const bool window = status && status->isOpen();
    FTPAccounts* accounts = nullptr;
    const ucstring accountsError = getPluginConfigObject(u"FTPAccounts", accounts);
    if (!accountsError.empty()) return u"Could not get FTPAccounts Config Var: " + accountsError;
    if (!accounts) return u"FTPAccounts Config Var is NULL.";
    const FTPAccount* account = accounts->findAccount(variables.currentAccountName);
    if (!account) return u"Could not find current account.";
    setDataConnSettings(variables, account->passive(), account->dataPortRangeStart(), account->dataPortRangeEnd());
    if (window) status->enableCancelButton();
    const ucstring error = worker();
    if (window) status->disableCancelButton(true);
    return error;
}

ucstring transferNewID(const PluginVariables& variables) {
    for (;;) {
        const ucstring id = generateTransferID();
        if (!queueUsesTransferID(variables, id)) return id;
    }
}

OrbVariable transferRecord(const ucstring& type, const ucstring& remoteDir, const ucstring& remoteName,
                           const ucstring* localPath, const ucstring* localName) {
    OrbVariableArray record;
    ucstring error;
    record.addStringVariable(error, u"Type", type);
    record.addStringVariableAsIs(error, u"RemotePath", remoteDir);
    record.addStringVariableAsIs(error, u"RemoteFile", remoteName);
    if (localPath) record.addStringVariableAsIs(error, u"LocalPath", *localPath);
    if (localName) record.addStringVariableAsIs(error, u"LocalFile", *localName);
    OrbVariable result;
    result.setArrayValue(record);
    return result;
}

bool transferLocalNameIsSafe(const ucstring& name) {
    if (name.empty() || name == u"." || name == u"..") return false;
    return name.find_first_of(ucstring(u"/\\\r\n\0", 5)) == ucstring::npos;
}

ucstring transferDownloadTarget(PluginVariables& variables, const ucstring& localFile, const ucstring& remoteName,
                                const ucstring& invalidText, OrbFileRef& target) {
    if (const ucstring error = localPathOrCurrentFolder(variables, localFile, target); !error.empty()) return error;
    // An existing folder gets the remote name, an existing file is replaced, any other given path
    // names the new file.
    bool isDir = false, isFile = false;
    if (!target.defined() || !target.isValid(isDir, isFile)) return invalidText + target.errorString();
    if (!localFile.empty() && !isDir) return {};
    if (!transferLocalNameIsSafe(remoteName))
        return u"The remote name '" + remoteName + u"' cannot be a local file name; give the local file.";
    target.addItem(remoteName);
    return {};
}

TransferExportedFile::~TransferExportedFile() {
    if (mKept) return;
    auto& files = mVariables.temporaryFiles;
    const ucstring path = mFile.pathAsString(kPathStyleWindows);
    const auto it = std::find_if(files.begin(), files.end(), [&](const ucstring& p) {
        return OrbFileRef(p).pathAsString(kPathStyleWindows) == path;
    });
    if (it == files.end()) return;
    std::string ignored;
    platform::fileRemove(*it, ignored);
    files.erase(it);
}

ucstring transferNames(const ucstring& first, const ucstring& second) {
    return first == second ? u"'" + first + u"'" : u"'" + first + u"' (originally '" + second + u"')";
}

namespace {

ucstring withBackslash(ucstring path) {
    if (path.empty() || path.back() != u'\\') path += u'\\';
    return path;
}

}  // namespace

// The local file behind the first argument: a path, a referenced file, or an embedded file
// exported to the temporary folder (remembered for removal with the session). `storedName` gets
// the container's own name when the export had to choose another.
ucstring transferUploadSource(FunctionCall& call, OrbFileRef& file, ucstring& storedName, const ucstring& missingText) {
    PluginVariables& v = call.variables;
    const fmx::Data* data = call.hostArguments && call.hostArguments->Size() > 0 ? &call.hostArguments->At(0) : nullptr;
    ucstring protocol, path, fileName;
    const ucstring info = data ? getContainerFileInfo(*data, protocol, path, fileName) : ucstring(u"No Path Found.");
    ucstring localPath;
    if (info == u"No Path Found.") {
        const OrbVariable* arg = argument(call.arguments, u"FileOrContainer");
        if (!arg || arg->type() != OrbVariable::kString) return u"'FileOrContainer' parameter is invalid.";
        localPath = arg->stringValue();
    } else if (!info.empty()) {
        return u"Could not get container file info: " + info;
    } else if (!(data->GetNativeType() == fmx::kDTBinary && data->GetBinaryData().GetCount() > 0)) {
        // A reference: the file it names, where it is.
        localPath = OrbFileRef::addEndingPathDelimiter(path) + fileName;
    } else {
        OrbFileRef temp;
        if (!temp.setToSystemFolder(kSystemFolderTemporary)) return u"Could not get temp folder for container file.";
        // The exported file is the user's data: in a folder of the user's own, which in a shared
        // temporary folder another user could have made first; then in the plug-in's own folder.
        OrbFileRef folder(withBackslash(temp.pathAsString(kPathStyleWindows)) + u"Volan Temp\\");
        std::string why;
        if (!platform::fileMakePrivateFolder(folder.pathAsString(kPathStyleWindows), why)) {
            if (!productFolder(folder, u"3.0", true)) return u"Could not create Volan Temp folder for container file.";
            folder.addItem(u"Volan Temp");
            if (!platform::fileMakePrivateFolder(folder.pathAsString(kPathStyleWindows), why))
                return u"Could not create Volan Temp folder for container file.";
        }
        const ucstring wanted = fileName.empty() ? ucstring(u"Untitled") : fileName;
        ucstring used = wanted;
        ucstring error;
        if (!exportContainer(error, *data, folder, used, true))
            return u"There was a problem exporting the container: " + error;
        if (used != wanted) storedName = wanted;
        localPath = withBackslash(folder.pathAsString(kPathStyleWindows)) + used;
        platform::fileMakePrivate(localPath, why);
        v.temporaryFiles.push_back(localPath);
    }
    ucstring pathError;
    const ucstring completed = localCompletePath(v, localPath, pathError);
    if (!pathError.empty()) return pathError;
    file = OrbFileRef(completed);
    if (file.fileExists()) return u"";
    // The reference's own text of a missing file says "File does not exist" as well.
    const bool missing = file.defined() && platform::fileKind(file.pathAsString()) == platform::FileKind::None;
    return missingText + (missing ? file.pathAsString() : file.errorString());
}
