// Volan_Disconnect
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(Disconnect) {
    (void)functionId;
    return runFunction("Disconnect", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
