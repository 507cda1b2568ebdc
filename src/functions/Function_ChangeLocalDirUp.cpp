// Volan_ChangeLocalDirUp
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(ChangeLocalDirUp) {
    (void)functionId;
    return runFunction("ChangeLocalDirUp", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
