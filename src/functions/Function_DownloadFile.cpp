// Volan_DownloadFile ( RemoteFile {; CompletedScript {; LocalFile {; AppendToFile {; UseASCIIMode {;
// CSParameter }}}}} ): a remote file into a local one, at once or queued.
#include "Function__Common.h"
#include "Function__Local.h"
#include "Function__Session.h"
#include "Function__Transfers.h"
#include "Functions.h"
#include "Support/QueueThread.h"

VOLAN_FUNCTION_CALLBACK(DownloadFile) {
    (void)functionId;
    return runFunction("DownloadFile", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        PluginVariables& v = call.variables;
        v.lastTransfer.clear(true);
        nameArguments(call.arguments, {u"RemoteFile", u"CompletedScript", u"LocalFile", u"AppendToFile",
                                       u"UseASCIIMode", u"CSParameter"});
        const ucstring remoteFile = argumentString(call.arguments, u"RemoteFile");
        const ucstring localFile = argumentString(call.arguments, u"LocalFile");
        const bool append = argumentBoolean(call.arguments, u"AppendToFile", false);
        const bool ascii = argumentBoolean(call.arguments, u"UseASCIIMode", false);
        const ucstring parameter = argumentString(call.arguments, u"CSParameter");
        if (remoteFile.empty()) return u"You must specify the remote file to download ('RemoteFile' parameter).";
        ucstring script;
        ucstring error = transferCompletedScript(call, argumentString(call.arguments, u"CompletedScript"), script);
        if (!error.empty()) return error;
        error = transferCheckConnection(v, !script.empty());
        if (!error.empty()) return error;
        ucstring remoteDir, remoteName;
        error = transferRemotePath(v, remoteFile, remoteDir, remoteName);
        if (!error.empty()) return error;

        OrbFileRef target;
        error = transferDownloadTarget(v, localFile, remoteName, u"The local file/path is invalid: ", target);
        if (!error.empty()) return error;
        const ucstring localName = target.getLastItem();
        const ucstring localPath = target.pathAsString(kPathStyleWindows, false);
        localResetList(v, false);

        if (!script.empty()) {
            queueAddDownloadFile(v, transferNewID(v), remoteDir, remoteName, localPath, localName, append, ascii,
                                 script, parameter);
            call.result.setStringValue(transferNames(localName, remoteName) + u" queued for download.");
            return {};
        }
        error = transferRunNow(
            v, [&] { return downloadFile(v, sessionWirePath(v, remoteDir + remoteName), target, append, ascii); });
        if (!error.empty()) return error;
        v.lastTransfer = transferRecord(u"DownloadFile", remoteDir, remoteName, &localPath, &localName);
        call.result.setStringValue(u"Downloaded " + transferNames(localName, remoteName) + u".");
        return {};
    });
}
