// Volan_GetCurrentRemoteDir
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(GetCurrentRemoteDir) {
    (void)functionId;
    return runFunction("GetCurrentRemoteDir", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
