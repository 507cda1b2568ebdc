// Volan_SelectLocalFileWithDialog ( {StartDir {; Prompt {; DialogType {; FileTypes}}}} )
#include "Function__Local.h"
#include "Functions.h"
#include "_Common/Strings/Orb_String.h"
#include "_CommonEx/FMPlugin/Plugin_FileMain.h"

VOLAN_FUNCTION_CALLBACK(SelectLocalFileWithDialog) {
    (void)functionId;
    return runFunction("SelectLocalFileWithDialog", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"StartDir", u"Prompt", u"DialogType", u"FileTypes"});
        ucstring start = stringTrim(argumentString(call.arguments, u"StartDir"));
        const OrbFileRef& folder = localCurrentFolder(call.variables);
        if (start.empty() && folder.defined()) folder.pathAsString(start, kPathStyleSlash);
        return localRunOperation(call, File_SelectWithDialogCallback,
                                 {localPath(u"StartPath", start),
                                  {u"Prompt", argumentString(call.arguments, u"Prompt")},
                                  {u"DialogType", argumentString(call.arguments, u"DialogType")},
                                  {u"FileTypes", argumentString(call.arguments, u"FileTypes")}});
    });
}
