// Volan_UploadDir
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(UploadDir) {
    (void)functionId;
    return runFunction("UploadDir", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
