// Volan_RemoteDirExists
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(RemoteDirExists) {
    (void)functionId;
    return runFunction("RemoteDirExists", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
