// Volan_IsConnected: 1 while the session has a connection, else 0.
#include "Function__Common.h"
#include "Function__Remote.h"
#include "Function__Session.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(IsConnected) {
    (void)functionId;
    return runFunction("IsConnected", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        call.result.setIntegerValue(sessionIsConnected(call.variables) ? 1 : 0);
        return {};
    });
}
