// Volan_RemoveRemoteDir
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(RemoveRemoteDir) {
    (void)functionId;
    return runFunction("RemoveRemoteDir", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
