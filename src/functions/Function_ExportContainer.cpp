// Volan_ExportContainer
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(ExportContainer) {
    (void)functionId;
    return runFunction("ExportContainer", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
