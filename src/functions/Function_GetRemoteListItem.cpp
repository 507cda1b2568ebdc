// Volan_GetRemoteListItem
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(GetRemoteListItem) {
    (void)functionId;
    return runFunction("GetRemoteListItem", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
