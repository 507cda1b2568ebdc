// Volan_GetRemoteListItem ( Which {; Wildcard {; FieldSeparator {; RowSeparator }}} ): one item of
// the current remote directory (FIRST, NEXT or a number) or all of them as rows.
#include "Function__Common.h"
#include "Function__Remote.h"
#include "Function__RemoteList.h"
#include "Function__Session.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(GetRemoteListItem) {
    (void)functionId;
    return runFunction("GetRemoteListItem", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"Which", u"Wildcard", u"FieldSeparator", u"RowSeparator"});
        const ListItemRequest request{
            ucstring(u"Remote"), argumentString(call.arguments, u"Which"), argumentString(call.arguments, u"Wildcard"),
            argumentString(call.arguments, u"FieldSeparator"), argumentString(call.arguments, u"RowSeparator")};
        ucstring error = listValidateWhich(request.which);
        if (!error.empty()) return error;
        PluginVariables& session = call.variables;
        if (const ucstring unusable = sessionCheckUsable(session); !unusable.empty()) return unusable;
        error = maybeGetRemoteFileList(session);
        if (!error.empty()) return error;
        ucstring text;
        error = listGetItem(session.remoteList, request, session.remoteListPosition, text);
        if (!error.empty()) return error;
        call.result.setStringValue(text);
        return {};
    });
}
