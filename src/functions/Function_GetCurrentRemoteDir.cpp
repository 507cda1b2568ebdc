// Volan_GetCurrentRemoteDir: the base of relative remote paths.
#include "Function__Common.h"
#include "Function__Remote.h"
#include "Function__Session.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(GetCurrentRemoteDir) {
    (void)functionId;
    return runFunction("GetCurrentRemoteDir", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        if (!sessionIsConnected(call.variables)) return u"Not connected.";
        call.result.setStringValue(call.variables.currentRemoteDir);
        return {};
    });
}
