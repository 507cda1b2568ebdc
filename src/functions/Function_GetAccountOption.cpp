// Volan_GetAccountOption
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(GetAccountOption) {
    (void)functionId;
    return runFunction("GetAccountOption", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
