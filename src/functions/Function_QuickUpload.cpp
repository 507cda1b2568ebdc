// Volan_QuickUpload
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(QuickUpload) {
    (void)functionId;
    return runFunction("QuickUpload", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
