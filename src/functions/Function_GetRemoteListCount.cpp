// Volan_GetRemoteListCount {( Wildcard )}: the number of items in the current remote directory
// (with "." and ".."), or of those whose name matches the wildcard.
#include "Function__Common.h"
#include "Function__Remote.h"
#include "Function__RemoteList.h"
#include "Function__Session.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(GetRemoteListCount) {
    (void)functionId;
    return runFunction("GetRemoteListCount", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"Wildcard"});
        PluginVariables& session = call.variables;
        if (const ucstring unusable = sessionCheckUsable(session); !unusable.empty()) return unusable;
        ucstring error = maybeGetRemoteFileList(session);
        if (!error.empty()) return error;
        int64_t count = 0;
        error = listItemCount(session.remoteList, argumentString(call.arguments, u"Wildcard"), count);
        if (!error.empty()) return error;
        call.result.setIntegerValue(count);
        return {};
    });
}
