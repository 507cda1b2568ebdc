// Volan_MakeLocalDir
#include "Function__Common.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(MakeLocalDir) {
    (void)functionId;
    return runFunction("MakeLocalDir", environment, arguments, result,
                       [](FunctionCall&) { return functionNotAvailable(); });
}
