// Volan_GetQueueList
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(GetQueueList) {
    (void)functionId;
    return runFunction("GetQueueList", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
