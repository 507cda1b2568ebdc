// Volan_GetLocalNamedPath
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(GetLocalNamedPath) {
    (void)functionId;
    return runFunction("GetLocalNamedPath", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
