// Volan_QuickDownload
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(QuickDownload) {
    (void)functionId;
    return runFunction("QuickDownload", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
