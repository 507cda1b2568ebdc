// Volan_GetRemoteFileSize ( File ): the size of a remote file in bytes.
#include "Function__Common.h"
#include "Function__Remote.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(GetRemoteFileSize) {
    (void)functionId;
    return runFunction("GetRemoteFileSize", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"File"});
        const ucstring path = argumentString(call.arguments, u"File");
        if (path.empty()) return u"You must specify the file to get the size of ('File' parameter).";
        RemoteItem info;
        const ucstring error = remoteExistingFileInfo(call.variables, path, info);
        if (!error.empty()) return error;
        call.result.setIntegerValue(info.size);
        return {};
    });
}
