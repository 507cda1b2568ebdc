// Volan_GetLocalNamedPath ( Name )
#include "Function__Local.h"
#include "Functions.h"
#include "_Common/Strings/Orb_String.h"
#include "_CommonEx/FMPlugin/Plugin_FileMain.h"

VOLAN_FUNCTION_CALLBACK(GetLocalNamedPath) {
    (void)functionId;
    return runFunction("GetLocalNamedPath", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"Name"});
        const ucstring name = argumentString(call.arguments, u"Name");
        return localRunOperation(call, Folder_GetPathCallback, {{u"Type", name}});
    });
}
