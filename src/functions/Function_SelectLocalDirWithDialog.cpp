// Volan_SelectLocalDirWithDialog
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(SelectLocalDirWithDialog) {
    (void)functionId;
    return runFunction("SelectLocalDirWithDialog", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
