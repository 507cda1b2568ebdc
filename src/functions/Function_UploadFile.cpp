// Volan_UploadFile
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(UploadFile) {
    (void)functionId;
    return runFunction("UploadFile", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
