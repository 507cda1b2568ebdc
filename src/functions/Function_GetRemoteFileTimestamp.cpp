// Volan_GetRemoteFileTimestamp
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(GetRemoteFileTimestamp) {
    (void)functionId;
    return runFunction("GetRemoteFileTimestamp", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
