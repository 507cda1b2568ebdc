// Volan_RenameRemoteFile
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(RenameRemoteFile) {
    (void)functionId;
    return runFunction("RenameRemoteFile", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
