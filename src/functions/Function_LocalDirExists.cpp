// Volan_LocalDirExists
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(LocalDirExists) {
    (void)functionId;
    return runFunction("LocalDirExists", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
