// Volan_SendRemoteCommand ( Command ): sends a command as given; the server's reply lines.
#include "Function__Common.h"
#include "Function__Remote.h"
#include "Function__Session.h"
#include "Functions.h"
#include "_Common/Strings/Orb_String.h"

VOLAN_FUNCTION_CALLBACK(SendRemoteCommand) {
    (void)functionId;
    return runFunction("SendRemoteCommand", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"Command"});
        const ucstring command = argumentString(call.arguments, u"Command");
        if (command.empty()) return u"You must specify the command to send ('Command' parameter).";
        PluginVariables& session = call.variables;
        if (const ucstring unusable = sessionCheckUsable(session); !unusable.empty()) return unusable;
        ucstring error = remoteCheckSendable(command);
        if (!error.empty()) return error;
        if (session.currentRemoteDir.empty()) session.currentRemoteDir.push_back(u'/');
        stringlist lines;
        error = sendQUOTECommand(session, sessionWirePath(session, session.currentRemoteDir),
                                 ucstringToUTF8String(command), &lines);
        if (!error.empty()) return error;
        call.result.setListValue(ucstringlistFromStringlist(lines));
        return {};
    });
}
