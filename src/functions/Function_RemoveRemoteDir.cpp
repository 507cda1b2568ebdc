// Volan_RemoveRemoteDir ( Dir ): removes an empty remote directory.
#include "Function__Common.h"
#include "Function__Remote.h"
#include "Function__Session.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(RemoveRemoteDir) {
    (void)functionId;
    return runFunction("RemoveRemoteDir", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"Dir"});
        const ucstring path = argumentString(call.arguments, u"Dir");
        if (path.empty()) return u"You must specify the directory to remove ('Dir' parameter.).";
        PluginVariables& session = call.variables;
        remoteInvalidateList(session, false);
        if (const ucstring unusable = sessionCheckUsable(session); !unusable.empty()) return unusable;
        ucstring resolved;
        std::string wire;
        ucstring error = remotePathArgument(session, path, resolved, wire);
        if (!error.empty()) return error;
        error = sendRMDCommand(session, wire);
        if (!error.empty()) return error;
        call.result.setStringValue(u"Removed: " + resolved);
        return {};
    });
}
