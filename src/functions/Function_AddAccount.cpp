// Volan_AddAccount
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(AddAccount) {
    (void)functionId;
    return runFunction("AddAccount", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
