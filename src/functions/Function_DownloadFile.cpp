// Volan_DownloadFile
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(DownloadFile) {
    (void)functionId;
    return runFunction("DownloadFile", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
