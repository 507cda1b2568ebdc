// Volan_ConfigureAccount
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(ConfigureAccount) {
    (void)functionId;
    return runFunction("ConfigureAccount", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
