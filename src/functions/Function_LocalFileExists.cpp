// Volan_LocalFileExists
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(LocalFileExists) {
    (void)functionId;
    return runFunction("LocalFileExists", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
