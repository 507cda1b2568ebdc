// Volan_DeleteRemoteFile
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(DeleteRemoteFile) {
    (void)functionId;
    return runFunction("DeleteRemoteFile", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
