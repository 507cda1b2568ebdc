// Volan_RenameLocalDir ( Dir ; NewName )
#include "Function__Local.h"
#include "Functions.h"
#include "_Common/Strings/Orb_String.h"
#include "_CommonEx/FMPlugin/Plugin_FileMain.h"

VOLAN_FUNCTION_CALLBACK(RenameLocalDir) {
    (void)functionId;
    return runFunction("RenameLocalDir", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"Dir", u"NewName"});
        const ucstring dir = argumentString(call.arguments, u"Dir");
        const ucstring newName = argumentString(call.arguments, u"NewName");
        if (dir.empty()) return u"You must specify the existing directory ('Dir' parameter).";
        localResetList(call.variables, false);
        return localRunOperation(call, Folder_RenameCallback, {localPath(u"Folder", dir), {u"NewName", newName}});
    });
}
