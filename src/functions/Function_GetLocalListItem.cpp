// Volan_GetLocalListItem ( Which {; Wildcard {; FieldSeparator {; RowSeparator}}} )
#include "Function__Local.h"
#include "Function__RemoteList.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(GetLocalListItem) {
    (void)functionId;
    return runFunction("GetLocalListItem", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"Which", u"Wildcard", u"FieldSeparator", u"RowSeparator"});
        ListItemRequest request;
        request.location.assign(u"Local", 5);  // (a plain assignment trips a false GCC overread warning)
        request.which = argumentString(call.arguments, u"Which");
        request.wildcard = argumentString(call.arguments, u"Wildcard");
        request.fieldSeparator = argumentString(call.arguments, u"FieldSeparator");
        request.rowSeparator = argumentString(call.arguments, u"RowSeparator");
        ucstring error = listValidateWhich(request.which);
        if (!error.empty()) return error;
        error = maybeGetLocalFileList(call.variables);
        if (!error.empty()) return error;
        ucstring text;
        error = listGetItem(call.variables.localList, request, call.variables.localListPosition, text);
        if (!error.empty()) return error;
        call.result.setStringValue(text);
        return {};
    });
}
