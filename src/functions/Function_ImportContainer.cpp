// Volan_ImportContainer
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(ImportContainer) {
    (void)functionId;
    return runFunction("ImportContainer", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
