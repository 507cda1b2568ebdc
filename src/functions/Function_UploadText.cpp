// Volan_UploadText
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(UploadText) {
    (void)functionId;
    return runFunction("UploadText", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
