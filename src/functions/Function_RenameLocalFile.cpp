// Volan_RenameLocalFile ( File ; NewName )
#include "Function__Local.h"
#include "Functions.h"
#include "_Common/Strings/Orb_String.h"
#include "_CommonEx/FMPlugin/Plugin_FileMain.h"

VOLAN_FUNCTION_CALLBACK(RenameLocalFile) {
    (void)functionId;
    return runFunction("RenameLocalFile", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"File", u"NewName"});
        const ucstring file = argumentString(call.arguments, u"File");
        const ucstring newName = argumentString(call.arguments, u"NewName");
        if (file.empty()) return u"You must specify the existing file ('File' parameter).";
        localResetList(call.variables, false);
        return localRunOperation(call, File_RenameCallback, {localPath(u"File", file), {u"NewName", newName}});
    });
}
