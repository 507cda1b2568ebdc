// Volan_GetLocalListCount
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(GetLocalListCount) {
    (void)functionId;
    return runFunction("GetLocalListCount", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
