// Volan_GetRemoteFileSize
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(GetRemoteFileSize) {
    (void)functionId;
    return runFunction("GetRemoteFileSize", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
