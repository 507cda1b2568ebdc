// Volan_DeleteRemoteFile ( File ): deletes an existing remote file.
#include "Function__Common.h"
#include "Function__Remote.h"
#include "Function__Session.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(DeleteRemoteFile) {
    (void)functionId;
    return runFunction("DeleteRemoteFile", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"File"});
        const ucstring path = argumentString(call.arguments, u"File");
        if (path.empty()) return u"You must specify the file to delete ('File' parameter).";
        PluginVariables& session = call.variables;
        remoteInvalidateList(session, false);
        if (const ucstring unusable = sessionCheckUsable(session); !unusable.empty()) return unusable;
        ucstring resolved;
        std::string wire;
        ucstring error = remotePathArgument(session, path, resolved, wire);
        if (!error.empty()) return error;
        bool exists = false;
        // A link goes as itself, whatever it leads to.
        error = remoteFileOrLinkExists(session, wire, exists);
        if (!error.empty()) return u"There was an error checking for the remote file: " + error;
        if (!exists) return u"The specified remote file does not exist: " + resolved;
        error = sendDELECommand(session, wire);
        if (!error.empty()) return error;
        call.result.setStringValue(u"Deleted: " + resolved);
        return {};
    });
}
