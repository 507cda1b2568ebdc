// Volan_GetLocalFileSize
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(GetLocalFileSize) {
    (void)functionId;
    return runFunction("GetLocalFileSize", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
