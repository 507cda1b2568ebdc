// Volan_RemoveAccount
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(RemoveAccount) {
    (void)functionId;
    return runFunction("RemoveAccount", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
