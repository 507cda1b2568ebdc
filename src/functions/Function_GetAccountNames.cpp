// Volan_GetAccountNames: the account names, one per line.
#include "Function__Common.h"
#include "Functions.h"
#include "Plugin_Config.h"
#include "Support/FTPAccount.h"

VOLAN_FUNCTION_CALLBACK(GetAccountNames) {
    (void)functionId;
    return runFunction("GetAccountNames", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        PluginConfigLock lock(10000);
        if (!lock.held()) return u"Could not get Plugin Config Lock: " + lock.error();
        FTPAccounts* accounts = nullptr;
        const ucstring error = lock.get(accounts);
        if (!error.empty()) return error;
        ucstringlist names;
        accounts->copyAccountNames(names);
        call.result.setListValue(names);
        return {};
    });
}
