// Volan_GetLocalListCount ( {Wildcard} )
#include "Function__Local.h"
#include "Function__RemoteList.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(GetLocalListCount) {
    (void)functionId;
    return runFunction("GetLocalListCount", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"Wildcard"});
        ucstring error = maybeGetLocalFileList(call.variables);
        if (!error.empty()) return error;
        int64_t count = 0;
        error = listItemCount(call.variables.localList, argumentString(call.arguments, u"Wildcard"), count);
        if (!error.empty()) return error;
        call.result.setIntegerValue(count);
        return {};
    });
}
