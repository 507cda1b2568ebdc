// Volan_MakeLocalDir ( Dir )
#include "Function__Local.h"
#include "Functions.h"
#include "_Common/Strings/Orb_String.h"
#include "_CommonEx/FMPlugin/Plugin_FileMain.h"

VOLAN_FUNCTION_CALLBACK(MakeLocalDir) {
    (void)functionId;
    return runFunction("MakeLocalDir", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"Dir"});
        const ucstring dir = argumentString(call.arguments, u"Dir");
        if (dir.empty()) return u"You must specify the directory to make ('Dir' parameter).";
        localResetList(call.variables, false);
        return localRunOperation(call, Folder_CreateCallback, {localPath(u"Folder", dir)});
    });
}
