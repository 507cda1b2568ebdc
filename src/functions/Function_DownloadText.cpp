// Volan_DownloadText ( RemoteFile {; CompletedScript {; CSParameter }} ): a remote file's text as
// lines, at once or queued.
#include "Function__Common.h"
#include "Function__Session.h"
#include "Function__Transfers.h"
#include "Functions.h"
#include "Support/QueueThread.h"

VOLAN_FUNCTION_CALLBACK(DownloadText) {
    (void)functionId;
    return runFunction("DownloadText", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        PluginVariables& v = call.variables;
        v.lastTransfer.clear(true);
        nameArguments(call.arguments, {u"RemoteFile", u"CompletedScript", u"CSParameter"});
        const ucstring remoteFile = argumentString(call.arguments, u"RemoteFile");
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

        if (!script.empty()) {
            queueAddDownloadText(v, transferNewID(v), remoteDir, remoteName, script, parameter);
            call.result.setStringValue(u"'" + remoteName + u"' queued for download.");
            return {};
        }
        ucstringlist lines;
        error = transferRunNow(v, [&] { return downloadText(v, sessionWirePath(v, remoteDir + remoteName), lines); });
        if (!error.empty()) return error;
        v.lastTransfer = transferRecord(u"DownloadText", remoteDir, remoteName);
        v.lastTransfer.mutableArrayValue().addListVariable(error, u"Text", lines);
        call.result.setListValue(lines);
        return {};
    });
}
