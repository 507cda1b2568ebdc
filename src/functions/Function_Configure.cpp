// Volan_Configure
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(Configure) {
    (void)functionId;
    return runFunction("Configure", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
