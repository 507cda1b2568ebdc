// Volan_GetLocalFileSize ( File )
#include "Function__Local.h"
#include "Functions.h"
#include "_Common/Strings/Orb_String.h"
#include "_CommonEx/FMPlugin/Plugin_FileMain.h"

VOLAN_FUNCTION_CALLBACK(GetLocalFileSize) {
    (void)functionId;
    return runFunction("GetLocalFileSize", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"File"});
        const ucstring file = stringTrim(argumentString(call.arguments, u"File"));
        if (file.empty()) return u"You must specify the file to get the size of ('File' parameter).";
        return localRunOperation(call, File_SizeCallback, {localPath(u"File", file)});
    });
}
