// Volan_UploadFile ( FileOrContainer {; CompletedScript {; RemoteFile {; AppendToFile {; UseASCIIMode {;
// CSParameter }}}}} ): a local file or a container's file to the server, at once or queued.
#include "Function__Common.h"
#include "Function__Local.h"
#include "Function__Session.h"
#include "Function__Transfers.h"
#include "Functions.h"
#include "Support/QueueThread.h"

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
        // An empty text, or an empty container, names no file either.
        if (!source || source->variableAsString(1).empty())
            return u"You must specify the file to upload ('FileOrContainer' parameter).";
        ucstring script;
        ucstring error = transferCompletedScript(call, argumentString(call.arguments, u"CompletedScript"), script);
        if (!error.empty()) return error;
        OrbFileRef file;
        ucstring storedName;
        error = transferUploadSource(call, file, storedName, u"File does not exist: ");
        if (!error.empty()) return error;
        TransferExportedFile exported(v, file);
        error = transferCheckConnection(v, !script.empty());
        if (!error.empty()) return error;
        ucstring remoteDir, remoteName;
        error = transferRemotePath(v, remoteFile, remoteDir, remoteName);
        if (!error.empty()) return error;
        const ucstring localName = file.getLastItem();
        if (remoteName.empty()) remoteName = storedName.empty() ? localName : storedName;
        error = remoteCheckSendable(remoteName);  // a local name may hold what the wire cannot
        if (!error.empty()) return error;
        const ucstring localPath = file.pathAsString(kPathStyleWindows, false);
        v.remoteListCurrent = false;

        if (!script.empty()) {
            queueAddUploadFile(v, transferNewID(v), localPath, localName, remoteDir, remoteName, append, ascii, script,
                               parameter);
            exported.keepForTheQueue();
            call.result.setStringValue(transferNames(remoteName, localName) + u" queued for upload.");
            return {};
        }
        error = transferRunNow(
            v, [&] { return uploadFile(v, file, sessionWirePath(v, remoteDir + remoteName), append, ascii); });
        if (!error.empty()) return error;
        v.lastTransfer = transferRecord(u"UploadFile", remoteDir, remoteName, &localPath, &localName);
        call.result.setStringValue(u"Uploaded " + transferNames(remoteName, localName) + u".");
        return {};
    });
}
