// Volan_GetRemoteListCount
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(GetRemoteListCount) {
    (void)functionId;
    return runFunction("GetRemoteListCount", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
