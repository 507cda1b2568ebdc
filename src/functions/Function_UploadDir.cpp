// Volan_UploadDir ( {LocalDir {; Recursive {; Wildcard {; CompletedScript {; UseASCIIMode {;
// CSParameter }}}}}} ): a local folder's files (and with Recursive its subfolders) into the
// current remote directory, at once or queued.
#include "Function__Common.h"
#include "Function__DirTransfers.h"
#include "Function__Local.h"
#include "Function__Remote.h"
#include "Function__RemoteList.h"
#include "Function__Session.h"
#include "Function__Transfers.h"
#include "Functions.h"
#include "Support/QueueThread.h"
#include "Support/QueuedTransfer.h"
#include "_CommonEx/FileAndStream/Orb_FileRefEx.h"

VOLAN_FUNCTION_CALLBACK(UploadDir) {
    (void)functionId;
    return runFunction("UploadDir", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        PluginVariables& v = call.variables;
        nameArguments(call.arguments,
                      {u"LocalDir", u"Recursive", u"Wildcard", u"CompletedScript", u"UseASCIIMode", u"CSParameter"});
        const ucstring given = argumentString(call.arguments, u"LocalDir");
        OrbFileRef folder;
        if (const ucstring pathError = localPathOrCurrentFolder(v, given, folder); !pathError.empty()) return pathError;
        OrbFileRefEx directory(folder);
        if (!directory.defined() || !directory.dirExists())
            return u"Directory does not exist: " + directory.pathAsString(kPathStyleWindows);
        const bool recursive = argumentBoolean(call.arguments, u"Recursive", false);
        ucStringRegEx matcher;
        DirHelperContext context;
        ucstring error = listCompileWildcard(argumentString(call.arguments, u"Wildcard"), matcher, context.useWildcard);
        if (!error.empty()) return error;
        ucstring script;
        error = transferCompletedScript(call, argumentString(call.arguments, u"CompletedScript"), script);
        if (!error.empty()) return error;
        context.asciiMode = argumentBoolean(call.arguments, u"UseASCIIMode", false);
        const ucstring parameter = argumentString(call.arguments, u"CSParameter");
        error = transferCheckConnection(v, !script.empty());
        if (!error.empty()) return error;
        // The walk uses the connection (listings, new remote folders) also when it queues the files:
        // a queued transfer of the session that is running ends first.
        if (!script.empty()) queueWaitForSession(v);

        OrbVariableArray items;
        if (!directory.listItems(&items, kListItemsAllAttributes | (recursive ? kListItemsRecursive : 0)))
            return u"Could not list '" + directory.pathAsString(kPathStyleWindows) + u"': " + directory.errorString();
        remoteInvalidateList(v, false);

        context.items = &items;
        context.localDirectory = directory;
        context.wildcardExpression = &matcher;
        context.maxDepth = recursive ? 0 : 1;
        const ucstring path = directory.pathAsString(kPathStyleWindows);
        if (script.empty()) {
            error = transferRunNow(v, [&] {
                dirTransferRun(v, context, true);
                return context.error;
            });
            if (!error.empty())
                return context.error.empty() ? u"Error uploading directory contents: " + error
                                             : dirTransferFailure(true, context.error, context.filesDone);
            call.result.setStringValue(u"Uploaded '" + path + u"'.");
            return {};
        }
        context.queue = true;
        context.completedScript = script;
        context.completedScriptParameter = parameter;
        const size_t firstQueued = v.queue.size();
        uploadDirHelper(v, context);
        if (!context.error.empty())
            return u"Error queueing directory contents for upload: " + dirTransferErrorWithCount(context, true);
        queueTieFolder(v, firstQueued);
        call.result.setStringValue(u"'" + path + u"' queued for upload.");
        return {};
    });
}
