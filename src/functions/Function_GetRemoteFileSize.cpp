// Volan_GetRemoteFileSize ( File ): the size of a remote file in bytes.
#include "Function__Common.h"
#include "Function__Remote.h"
#include "Function__Session.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(GetRemoteFileSize) {
    (void)functionId;
    return runFunction("GetRemoteFileSize", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"File"});
        const ucstring path = argumentString(call.arguments, u"File");
        if (path.empty()) return u"You must specify the file to get the size of ('File' parameter).";
        PluginVariables& session = call.variables;
        if (const ucstring unusable = sessionCheckUsable(session); !unusable.empty()) return unusable;
        ucstring resolved;
        std::string wire;
        ucstring error = remotePathArgument(session, path, resolved, wire);
        if (!error.empty()) return error;
        OrbVariableArray info;
        error = getRemoteItemInfo(session, wire, info);
        if (!error.empty()) return u"Could not get file info: " + error;
        const OrbVariable* size = nullptr;
        const OrbVariable* type = nullptr;
        if ((info.variableWithName(u"Size", size) && size->integerValue() == -1) ||
            (info.variableWithName(u"Type", type) && type->stringValue() != u"file"))
            return u"The specified remote file does not exist: " + resolved;
        const OrbVariable* value = nullptr;
        if (!info.variableWithName(u"Size", value)) return u"Returned item info didn't contain a size.";
        call.result.setIntegerValue(value->integerValue());
        return {};
    });
}
