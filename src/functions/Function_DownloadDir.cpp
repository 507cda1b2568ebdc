// Volan_DownloadDir ( RemoteDir {; Recursive {; Wildcard {; CompletedScript {; UseASCIIMode {;
// CSParameter }}}}} ): a remote directory's files (and with Recursive its subdirectories) into the
// current local folder, at once or queued.
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

VOLAN_FUNCTION_CALLBACK(DownloadDir) {
    (void)functionId;
    return runFunction("DownloadDir", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        PluginVariables& v = call.variables;
        nameArguments(call.arguments,
                      {u"RemoteDir", u"Recursive", u"Wildcard", u"CompletedScript", u"UseASCIIMode", u"CSParameter"});
        const ucstring given = argumentString(call.arguments, u"RemoteDir");
        if (given.empty()) return u"You must specify the remote directory to download ('RemoteDir' parameter).";
        if (const ucstring refused = remoteCheckSendable(given); !refused.empty()) return refused;
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

        const ucstring remoteDir = remoteResolvePath(v, given);
        bool exists = false;
        error = remoteDirExists(v, sessionWirePath(v, remoteDir), exists);
        if (!error.empty()) return u"Error checking for remote dir: " + error;
        if (!exists) return u"Remote dir '" + remoteDir + u"' does not exist.";
        OrbFileRef local = localCurrentFolder(v);
        if (!local.defined() || !local.dirExists()) return u"Local dir is invalid.";
        localResetList(v, false);

        context.subPath = remoteDir;
        context.localDirectory = local;
        context.wildcardExpression = &matcher;
        context.maxDepth = recursive ? 0 : 1;
        context.queue = !script.empty();
        context.completedScript = script;
        context.completedScriptParameter = parameter;
        ListRemoteHelperContext listing;
        listing.directory = remoteDir;
        listing.maxDepth = recursive ? 0 : 1;
        bool listed = false;
        const size_t firstQueued = v.queue.size();
        error = transferRunNow(v, [&] {
            listRemoteHelper(v, listing);
            if (!listing.error.empty()) return listing.error;
            listed = true;
            context.remoteItems = &listing.items;
            dirTransferRun(v, context, false);
            return context.error;
        });
        if (!error.empty() && !listed && listing.error.empty()) return error;
        if (!listed) return u"Error getting remote directory contents: " + listing.error;
        if (!context.error.empty())
            return context.queue
                       ? u"Error queueing directory contents for download: " + dirTransferErrorWithCount(context, true)
                       : dirTransferFailure(false, context.error, context.filesDone);
        if (context.queue) queueTieFolder(v, firstQueued);
        call.result.setStringValue(
            (context.queue ? u"'" + remoteDir + u"' queued for download." : u"Downloaded '" + remoteDir + u"'.") +
            dirTransferSkippedText(context));
        return {};
    });
}
