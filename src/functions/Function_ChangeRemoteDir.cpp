// Volan_ChangeRemoteDir ( Dir ): changes the current remote directory to one that exists.
#include "Function__Common.h"
#include "Function__Remote.h"
#include "Function__Session.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(ChangeRemoteDir) {
    (void)functionId;
    return runFunction("ChangeRemoteDir", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"Dir"});
        const ucstring dir = argumentString(call.arguments, u"Dir");
        if (dir.empty()) return u"You must specify the directory to change to ('Dir' parameter).";
        PluginVariables& session = call.variables;
        remoteInvalidateList(session, true);
        if (const ucstring unusable = sessionCheckUsable(session); !unusable.empty()) return unusable;
        ucstring resolved;
        std::string wire;
        ucstring error = remotePathArgument(session, dir, resolved, wire);
        if (!error.empty()) return error;
        if (dir != u"/") {
            bool exists = false;
            error = remoteDirExists(session, wire, exists);
            if (!error.empty()) return u"There was an error checking for the remote directory: " + error;
            if (!exists) return u"The specified remote directory does not exist: " + resolved;
        }
        session.currentRemoteDir = resolved;
        call.result.setStringValue(u"Remote directory set to: " + resolved);
        return {};
    });
}
