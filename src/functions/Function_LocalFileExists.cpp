// Volan_LocalFileExists ( File )
#include "Function__Local.h"
#include "Functions.h"
#include "_Common/Strings/Orb_String.h"
#include "_CommonEx/FMPlugin/Plugin_FileMain.h"

VOLAN_FUNCTION_CALLBACK(LocalFileExists) {
    (void)functionId;
    return runFunction("LocalFileExists", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"File"});
        const ucstring file = stringTrim(argumentString(call.arguments, u"File"));
        if (file.empty()) return u"You must specify the file to check for ('File' parameter).";
        return localRunOperation(call, File_ExistsCallback, {localPath(u"File", file)});
    });
}
