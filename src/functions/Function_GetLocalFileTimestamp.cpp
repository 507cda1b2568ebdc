// Volan_GetLocalFileTimestamp
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(GetLocalFileTimestamp) {
    (void)functionId;
    return runFunction("GetLocalFileTimestamp", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
