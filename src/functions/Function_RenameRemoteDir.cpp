// Volan_RenameRemoteDir
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(RenameRemoteDir) {
    (void)functionId;
    return runFunction("RenameRemoteDir", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
