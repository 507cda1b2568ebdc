// Volan_Disconnect: closes the session's connection, if any.
#include "Function__Common.h"
#include "Function__Remote.h"
#include "Function__Session.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(Disconnect) {
    (void)functionId;
    return runFunction("Disconnect", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        ucstring text;
        const ucstring error = sessionDisconnect(call.variables, text);
        if (error.empty()) call.result.setStringValue(text);
        return error;
    });
}
