// Volan_CopyLocalFile
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(CopyLocalFile) {
    (void)functionId;
    return runFunction("CopyLocalFile", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
