// Volan_GetCurrentLocalDir
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(GetCurrentLocalDir) {
    (void)functionId;
    return runFunction("GetCurrentLocalDir", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
