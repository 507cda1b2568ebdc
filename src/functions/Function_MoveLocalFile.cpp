// Volan_MoveLocalFile
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(MoveLocalFile) {
    (void)functionId;
    return runFunction("MoveLocalFile", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
