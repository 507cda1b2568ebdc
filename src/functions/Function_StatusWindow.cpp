// Volan_StatusWindow
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(StatusWindow) {
    (void)functionId;
    return runFunction("StatusWindow", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
