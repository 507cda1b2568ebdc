// Volan_ReadLocalFile
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(ReadLocalFile) {
    (void)functionId;
    return runFunction("ReadLocalFile", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
