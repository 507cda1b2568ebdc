// Volan_GetRemoteFileTimestamp ( File ): the modification time of a remote file.
#include "Function__Common.h"
#include "Function__Remote.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(GetRemoteFileTimestamp) {
    (void)functionId;
    return runFunction("GetRemoteFileTimestamp", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"File"});
        const ucstring path = argumentString(call.arguments, u"File");
        if (path.empty()) return u"You must specify the file to get the timestamp of ('File' parameter).";
        RemoteItem info;
        const ucstring error = remoteExistingFileInfo(call.variables, path, info);
        if (!error.empty()) return error;
        call.result.setTimestampValue(info.modDate);
        return {};
    });
}
