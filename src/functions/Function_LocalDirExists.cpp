// Volan_LocalDirExists ( Dir )
#include "Function__Local.h"
#include "Functions.h"
#include "_Common/Strings/Orb_String.h"
#include "_CommonEx/FMPlugin/Plugin_FileMain.h"

VOLAN_FUNCTION_CALLBACK(LocalDirExists) {
    (void)functionId;
    return runFunction("LocalDirExists", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"Dir"});
        const ucstring dir = argumentString(call.arguments, u"Dir");
        if (dir.empty()) return u"You must specify the directory to check for ('Dir' parameter).";
        return localRunOperation(call, Folder_ExistsCallback, {localPath(u"Folder", dir)});
    });
}
