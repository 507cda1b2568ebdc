// Volan_Connect
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(Connect) {
    (void)functionId;
    return runFunction("Connect", environment, arguments, result, [](FunctionCall&) { return functionNotAvailable(); });
}
