// Volan_Connect ( AccountName ): opens the session's connection to an account.
#include "Function__Common.h"
#include "Function__Remote.h"
#include "Function__Session.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(Connect) {
    (void)functionId;
    return runFunction("Connect", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"AccountName"});
        ucstring text;
        const ucstring error = sessionConnect(call.variables, argumentString(call.arguments, u"AccountName"), text);
        if (error.empty()) call.result.setStringValue(text);
        return error;
    });
}
