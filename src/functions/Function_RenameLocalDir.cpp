// Volan_RenameLocalDir
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(RenameLocalDir) {
    (void)functionId;
    return runFunction("RenameLocalDir", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
