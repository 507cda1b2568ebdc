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
#include "_Common/Strings/Orb_StringList.h"
#include "_CommonEx/FMPlugin/Plugin_Container.h"
#include "remote/Transfers.h"

#include <platform/Files.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

ucstring uploadFile(PluginVariables& variables, const OrbFileRef& localFile, const std::string& remotePath, bool append,
                    bool asciiMode) {
    return uploadFile(variables.connection, localFile, remotePath, append, asciiMode);
}

ucstring downloadFile(PluginVariables& variables, const std::string& remotePath, const OrbFileRef& localFile,
                      bool append, bool asciiMode, int64_t listedSize) {
    return downloadFile(variables.connection, remotePath, localFile, append, asciiMode, listedSize);
}

ucstring uploadText(PluginVariables& variables, const ucstringlist& lines, const std::string& remotePath, bool append,
                    int32_t lineEnding, int16_t charSet, bool includeBOM) {
    return uploadText(variables.connection, lines, remotePath, append, lineEnding, charSet, includeBOM);
}

ucstring downloadText(PluginVariables& variables, const std::string& remotePath, ucstringlist& lines) {
    return downloadText(variables.connection, remotePath, lines);
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
    if (const ucstring refused = remoteCheckSendable(remoteFile); !refused.empty()) return refused;
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
    const ucstring statusError = lock.get(status);
    if (!statusError.empty())
        DEBUG_OUT(u"Could not get PluginStatus Config Var: " + statusError);
    else if (!status)
        DEBUG_OUT("PluginStatus Config Var is NULL.");
    const bool window = status && status->isOpen();
    FTPAccounts* accounts = nullptr;
    const ucstring accountsError = lock.get(accounts);
    if (!accountsError.empty()) return u"Could not get FTPAccounts Config Var: " + accountsError;
    if (!accounts) return u"FTPAccounts Config Var is NULL.";
    const FTPAccount* account = accounts->findAccount(variables.currentAccountName);
    if (!account) return u"Could not find current account.";
    variables.connection.setDataConnection(account->passive(), account->dataPortRangeStart(),
                                           account->dataPortRangeEnd());
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
    bool noPath = !data;
    const ucstring info = data ? getContainerFileInfo(*data, protocol, path, fileName, &noPath) : ucstring();
    ucstring localPath;
    if (noPath) {
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
