// Volan_IsConnected
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(IsConnected) {
    (void)functionId;
    return runFunction("IsConnected", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
