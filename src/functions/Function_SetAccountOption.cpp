// Volan_SetAccountOption
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(SetAccountOption) {
    (void)functionId;
    return runFunction("SetAccountOption", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
