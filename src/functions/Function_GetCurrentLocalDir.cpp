// Volan_GetCurrentLocalDir
#include "Function__Local.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(GetCurrentLocalDir) {
    (void)functionId;
    return runFunction("GetCurrentLocalDir", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        const OrbFileRef& folder = localCurrentFolder(call.variables);
        if (!folder.defined()) return u"Local directory is not valid, use ChangeLocalDir to set a valid directory.";
        call.result.setStringValue(folder.pathAsString(kPathStyleWindows));
        return {};
    });
}
