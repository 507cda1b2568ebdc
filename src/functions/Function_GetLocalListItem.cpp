// Volan_GetLocalListItem
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(GetLocalListItem) {
    (void)functionId;
    return runFunction("GetLocalListItem", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
