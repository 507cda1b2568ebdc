// Volan_SelectLocalDirWithDialog ( {StartDir {; Prompt}} )
#include "Function__Local.h"
#include "Functions.h"
#include "_CommonEx/FMPlugin/Plugin_FileMain.h"

VOLAN_FUNCTION_CALLBACK(SelectLocalDirWithDialog) {
    (void)functionId;
    return runFunction("SelectLocalDirWithDialog", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"StartDir", u"Prompt"});
        ucstring start = argumentString(call.arguments, u"StartDir");
        const OrbFileRef& folder = localCurrentFolder(call.variables);
        if (start.empty() && folder.defined()) folder.pathAsString(start, kPathStyleSlash);
        return localRunOperation(
            call, Folder_SelectWithDialogCallback,
            {localPath(u"StartPath", start), {u"Prompt", argumentString(call.arguments, u"Prompt")}});
    });
}
