// Volan_GetAccountNames
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(GetAccountNames) {
    (void)functionId;
    return runFunction("GetAccountNames", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
