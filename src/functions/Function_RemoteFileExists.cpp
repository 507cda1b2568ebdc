// Volan_RemoteFileExists ( File ): 1 when a remote file of that path exists, else 0.
#include "Function__Common.h"
#include "Function__Remote.h"
#include "Function__Session.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(RemoteFileExists) {
    (void)functionId;
    return runFunction("RemoteFileExists", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"File"});
        const ucstring path = argumentString(call.arguments, u"File");
        if (path.empty()) return u"You must specify the file to check for ('File' parameter).";
        PluginVariables& session = call.variables;
        if (const ucstring unusable = sessionCheckUsable(session); !unusable.empty()) return unusable;
        ucstring resolved;
        std::string wire;
        ucstring error = remotePathArgument(session, path, resolved, wire);
        if (!error.empty()) return error;
        bool exists = false;
        error = remoteFileExists(session, wire, exists);
        if (!error.empty()) return u"There was an error checking for the remote file: " + error;
        call.result.setIntegerValue(exists ? 1 : 0);
        return {};
    });
}
