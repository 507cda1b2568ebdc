// Volan_RemoveLocalDir
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(RemoveLocalDir) {
    (void)functionId;
    return runFunction("RemoveLocalDir", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
