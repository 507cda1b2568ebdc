// Volan_MakeRemoteDir ( Dir ): makes a remote directory.
#include "Function__Common.h"
#include "Function__Remote.h"
#include "Function__Session.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(MakeRemoteDir) {
    (void)functionId;
    return runFunction("MakeRemoteDir", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"Dir"});
        const ucstring path = argumentString(call.arguments, u"Dir");
        if (path.empty()) return u"You must specify the directory to make ('Dir' parameter).";
        PluginVariables& session = call.variables;
        remoteInvalidateList(session, true);
        if (const ucstring unusable = sessionCheckUsable(session); !unusable.empty()) return unusable;
        ucstring resolved;
        std::string wire;
        ucstring error = remotePathArgument(session, path, resolved, wire);
        if (!error.empty()) return error;
        error = sendMKDCommand(session, wire);
        if (!error.empty()) return error;
        call.result.setStringValue(u"Created: " + resolved);
        return {};
    });
}
