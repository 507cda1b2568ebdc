// Volan_ChangeRemoteDirUp
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(ChangeRemoteDirUp) {
    (void)functionId;
    return runFunction("ChangeRemoteDirUp", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
