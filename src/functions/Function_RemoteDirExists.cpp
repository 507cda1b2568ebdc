// Volan_RemoteDirExists ( Dir ): 1 when a remote directory of that path exists, else 0.
#include "Function__Common.h"
#include "Function__Remote.h"
#include "Function__Session.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(RemoteDirExists) {
    (void)functionId;
    return runFunction("RemoteDirExists", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"Dir"});
        const ucstring path = argumentString(call.arguments, u"Dir");
        if (path.empty()) return u"You must specify the directory to check for ('Dir' parameter).";
        PluginVariables& session = call.variables;
        if (const ucstring unusable = sessionCheckUsable(session); !unusable.empty()) return unusable;
        ucstring resolved;
        std::string wire;
        ucstring error = remotePathArgument(session, path, resolved, wire);
        if (!error.empty()) return error;
        bool exists = false;
        error = remoteDirExists(session, wire, exists);
        if (!error.empty()) return u"There was an error checking for the remote directory: " + error;
        call.result.setIntegerValue(exists ? 1 : 0);
        return {};
    });
}
