// Volan_UploadFile ( FileOrContainer {; CompletedScript {; RemoteFile {; AppendToFile {; UseASCIIMode {;
// CSParameter }}}}} ): a local file or a container's file to the server, at once or queued.
#include "Function__Common.h"
#include "Function__Local.h"
#include "Function__Session.h"
#include "Function__Transfers.h"
#include "Functions.h"
#include "Support/QueueThread.h"
#include "_CommonEx/FMPlugin/Plugin_Container.h"

namespace {

ucstring withBackslash(ucstring path) {
    if (path.empty() || path.back() != u'\\') path += u'\\';
    return path;
}

// The local file behind the first argument: a path, a referenced file, or an embedded file
// exported to the temporary folder (remembered for removal with the session). `storedName` gets
// the container's own name when the export had to choose another.
ucstring uploadSource(FunctionCall& call, OrbFileRef& file, ucstring& storedName) {
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
        OrbFileRef folder(withBackslash(temp.pathAsString(kPathStyleWindows)) + u"Volan Temp\\");
        if (!folder.dirExists() && !folder.createDir())
            return u"Could not create Volan Temp folder for container file.";
        const ucstring wanted = fileName.empty() ? ucstring(u"Untitled") : fileName;
        ucstring used = wanted;
        ucstring error;
        if (!exportContainer(error, *data, folder, used, true))
            return u"There was a problem exporting the container: " + error;
        if (used != wanted) storedName = wanted;
        localPath = withBackslash(folder.pathAsString(kPathStyleWindows)) + used;
        v.temporaryFiles.push_back(localPath);
    }
    file = OrbFileRef(localCompletePath(v, localPath));
    if (!file.fileExists()) return u"File does not exist: " + file.errorString();
    return u"";
}

}  // namespace

VOLAN_FUNCTION_CALLBACK(UploadFile) {
    (void)functionId;
    return runFunction("UploadFile", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        PluginVariables& v = call.variables;
        v.lastTransfer.clear(true);
        nameArguments(call.arguments, {u"FileOrContainer", u"CompletedScript", u"RemoteFile", u"AppendToFile",
                                       u"UseASCIIMode", u"CSParameter"});
        const OrbVariable* source = argument(call.arguments, u"FileOrContainer");
        const ucstring remoteFile = argumentString(call.arguments, u"RemoteFile");
        const bool append = argumentBoolean(call.arguments, u"AppendToFile", false);
        const bool ascii = argumentBoolean(call.arguments, u"UseASCIIMode", false);
        const ucstring parameter = argumentString(call.arguments, u"CSParameter");
        if (!source || source->type() == OrbVariable::kEmpty)
            return u"You must specify the file to upload ('FileOrContainer' parameter).";
        ucstring script;
        ucstring error = transferCompletedScript(call, argumentString(call.arguments, u"CompletedScript"), script);
        if (!error.empty()) return error;
        OrbFileRef file;
        ucstring storedName;
        error = uploadSource(call, file, storedName);
        if (!error.empty()) return error;
        error = sessionCheckUsable(v);
        if (!error.empty()) return error;
        ucstring remoteDir, remoteName;
        transferRemotePath(v, remoteFile, remoteDir, remoteName);
        const ucstring localName = file.getLastItem();
        if (remoteName.empty()) remoteName = storedName.empty() ? localName : storedName;
        const ucstring localPath = file.pathAsString(kPathStyleWindows, false);
        v.remoteListCurrent = false;

        if (!script.empty()) {
            queueAddUploadFile(v, transferNewID(v), localPath, localName, remoteDir, remoteName, append, ascii, script,
                               parameter);
            call.result.setStringValue(transferNames(remoteName, localName) + u" queued for upload.");
            return {};
        }
        error = transferRunNow(
            v, [&] { return uploadFile(v, file, ucstringToUTF8String(remoteDir + remoteName), append, ascii); });
        if (!error.empty()) return error;
        v.lastTransfer = transferRecord(u"UploadFile", remoteDir, remoteName, &localPath, &localName);
        call.result.setStringValue(u"Uploaded " + transferNames(remoteName, localName) + u".");
        return {};
    });
}
