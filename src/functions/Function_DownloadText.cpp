// Volan_DownloadText
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(DownloadText) {
    (void)functionId;
    return runFunction("DownloadText", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
