// Volan_SendRemoteCommand
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(SendRemoteCommand) {
    (void)functionId;
    return runFunction("SendRemoteCommand", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
