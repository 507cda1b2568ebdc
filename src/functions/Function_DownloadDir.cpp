// Volan_DownloadDir
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(DownloadDir) {
    (void)functionId;
    return runFunction("DownloadDir", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
