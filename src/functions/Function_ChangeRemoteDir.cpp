// Volan_ChangeRemoteDir
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(ChangeRemoteDir) {
    (void)functionId;
    return runFunction("ChangeRemoteDir", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
