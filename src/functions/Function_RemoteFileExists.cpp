// Volan_RemoteFileExists
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(RemoteFileExists) {
    (void)functionId;
    return runFunction("RemoteFileExists", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
