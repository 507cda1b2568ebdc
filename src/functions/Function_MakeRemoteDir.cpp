// Volan_MakeRemoteDir
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(MakeRemoteDir) {
    (void)functionId;
    return runFunction("MakeRemoteDir", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
