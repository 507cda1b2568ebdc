// Volan_ChangeRemoteDirUp: the parent of the current remote directory ("/" stays "/").
#include "Function__Common.h"
#include "Function__Remote.h"
#include "Function__Session.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(ChangeRemoteDirUp) {
    (void)functionId;
    return runFunction("ChangeRemoteDirUp", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        PluginVariables& session = call.variables;
        remoteInvalidateList(session, true);
        if (const ucstring unusable = sessionCheckUsable(session); !unusable.empty()) return unusable;
        ucstring dir = session.currentRemoteDir;
        if (!dir.empty() && dir.back() == u'/') dir.pop_back();
        const size_t slash = dir.rfind(u'/');
        dir = slash == ucstring::npos || slash == 0 ? ucstring(u"/") : dir.substr(0, slash);
        session.currentRemoteDir = dir;
        call.result.setStringValue(u"Remote directory set to: " + dir);
        return {};
    });
}
