// Volan_DeleteLocalFile ( File )
#include "Function__Local.h"
#include "Functions.h"
#include "_Common/Strings/Orb_String.h"
#include "_CommonEx/FMPlugin/Plugin_FileMain.h"

VOLAN_FUNCTION_CALLBACK(DeleteLocalFile) {
    (void)functionId;
    return runFunction("DeleteLocalFile", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"File"});
        const ucstring file = stringTrim(argumentString(call.arguments, u"File"));
        if (file.empty()) return u"You must specify the file to delete ('File' parameter).";
        localResetList(call.variables, false);
        return localRunOperation(call, File_DeleteCallback, {localPath(u"File", file)});
    });
}
