// Volan_RemoveLocalDir ( Dir ; DeleteContents )
#include "Function__Local.h"
#include "Functions.h"
#include "_Common/Strings/Orb_String.h"
#include "_CommonEx/FMPlugin/Plugin_FileMain.h"

VOLAN_FUNCTION_CALLBACK(RemoveLocalDir) {
    (void)functionId;
    return runFunction("RemoveLocalDir", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"Dir", u"DeleteContents"});
        const ucstring dir = argumentString(call.arguments, u"Dir");
        const ucstring deleteContents = argumentString(call.arguments, u"DeleteContents");
        if (dir.empty()) return u"You must specify the directory to remove ('Dir' parameter).";
        localResetList(call.variables, false);
        return localRunOperation(call, Folder_DeleteCallback,
                                 {localPath(u"Folder", dir), {u"DeleteContents", deleteContents}});
    });
}
