// Volan_ChangeLocalDir
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(ChangeLocalDir) {
    (void)functionId;
    return runFunction("ChangeLocalDir", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
