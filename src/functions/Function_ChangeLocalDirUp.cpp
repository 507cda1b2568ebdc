// Volan_ChangeLocalDirUp
#include "Function__Local.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(ChangeLocalDirUp) {
    (void)functionId;
    return runFunction("ChangeLocalDirUp", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        localResetList(call.variables, true);
        OrbFileRef& folder = localCurrentFolder(call.variables);
        if (!folder.defined()) return u"Local directory is not valid, use ChangeLocalDir to set a valid directory.";
        folder.removeLastItem();
        call.result.setStringValue(u"Local directory set to: " + folder.pathAsString(kPathStyleWindows));
        return {};
    });
}
