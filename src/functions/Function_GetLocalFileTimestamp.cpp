// Volan_GetLocalFileTimestamp ( File ; CreationTimestamp )
#include "Function__Local.h"
#include "Functions.h"
#include "_Common/Strings/Orb_String.h"
#include "_CommonEx/FMPlugin/Plugin_FileMain.h"

VOLAN_FUNCTION_CALLBACK(GetLocalFileTimestamp) {
    (void)functionId;
    return runFunction("GetLocalFileTimestamp", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"File", u"CreationTimestamp"});
        const ucstring file = argumentString(call.arguments, u"File");
        const ucstring creationTimestamp = argumentString(call.arguments, u"CreationTimestamp");
        if (file.empty()) return u"You must specify the file to get the timestamp of ('File' parameter).";
        return localRunOperation(call, File_TimestampCallback,
                                 {localPath(u"File", file), {u"CreationTimestamp", creationTimestamp}});
    });
}
