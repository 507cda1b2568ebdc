// Volan_RenameLocalFile
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(RenameLocalFile) {
    (void)functionId;
    return runFunction("RenameLocalFile", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
