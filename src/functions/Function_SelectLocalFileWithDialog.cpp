// Volan_SelectLocalFileWithDialog
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(SelectLocalFileWithDialog) {
    (void)functionId;
    return runFunction("SelectLocalFileWithDialog", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
