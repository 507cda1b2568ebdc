// Volan_WriteLocalFile
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(WriteLocalFile) {
    (void)functionId;
    return runFunction("WriteLocalFile", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
