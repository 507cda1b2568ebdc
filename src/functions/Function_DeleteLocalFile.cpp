// Volan_DeleteLocalFile
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(DeleteLocalFile) {
    (void)functionId;
    return runFunction("DeleteLocalFile", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
