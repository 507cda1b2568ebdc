// Volan_RenameRemoteFile ( File ; NewName ): renames an existing remote file.
#include "Function__Common.h"
#include "Function__Remote.h"
#include "Function__Session.h"
#include "Functions.h"
#include "_Common/Strings/Orb_String.h"

VOLAN_FUNCTION_CALLBACK(RenameRemoteFile) {
    (void)functionId;
    return runFunction("RenameRemoteFile", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"File", u"NewName"});
        const ucstring path = argumentString(call.arguments, u"File");
        if (path.empty()) return u"You must specify the existing file ('File' parameter).";
        const ucstring newName = argumentString(call.arguments, u"NewName");
        if (newName.empty()) return u"You must specify the new file name ('NewName' parameter).";
        if (ucstring refused = remoteCheckSendable(newName); !refused.empty()) return refused;
        PluginVariables& session = call.variables;
        remoteInvalidateList(session, false);
        if (const ucstring unusable = sessionCheckUsable(session); !unusable.empty()) return unusable;
        ucstring resolved;
        std::string wire;
        ucstring error = remotePathArgument(session, path, resolved, wire);
        if (!error.empty()) return error;
        bool exists = false;
        error = remoteFileExists(session, wire, exists);
        if (!error.empty()) return u"There was an error checking for the old file: " + error;
        if (!exists) return u"The specified old file does not exist: " + resolved;
        error = sendRNCommand(session, wire, sessionWirePath(session, newName));
        if (!error.empty()) return error;
        call.result.setStringValue(u"Renamed: " + resolved + u" to: " + newName);
        return {};
    });
}
