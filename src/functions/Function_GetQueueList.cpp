// Volan_GetQueueList: the session's queued transfers, one "Type: name" line each.
#include "Function__Common.h"
#include "Functions.h"
#include "Support/QueueThread.h"

VOLAN_FUNCTION_CALLBACK(GetQueueList) {
    (void)functionId;
    return runFunction("GetQueueList", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        const ucstringlist lines = queueList(call.variables);
        if (lines.empty())
            call.result.setStringValue(u"");
        else
            call.result.setListValue(lines);
        return {};
    });
}
