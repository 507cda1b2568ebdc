// Volan_RemoveAccount ( AccountName )
#include "Function__Common.h"
#include "Functions.h"
#include "Plugin_Config.h"
#include "Support/FTPAccount.h"
#include "_Common/Strings/Orb_String.h"

VOLAN_FUNCTION_CALLBACK(RemoveAccount) {
    (void)functionId;
    return runFunction("RemoveAccount", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"AccountName"});
        const ucstring name = stringTrim(argumentString(call.arguments, u"AccountName"));
        if (name.empty()) return u"You must specify the account to remove ('AccountName' parameter).";
        PluginConfigLock lock(10000);
        if (!lock.held()) return u"Could not get Plugin Config Lock: " + lock.error();
        FTPAccounts* accounts = nullptr;
        ucstring error = lock.get(accounts);
        if (!error.empty()) return error;
        if (!accounts->findAccount(name)) return u"No account named '" + name + u"' found.";
        error = accounts->removeAccount(name);
        if (!error.empty()) return error;
        call.result.setStringValue(u"Account '" + name + u"' removed.");
        return {};
    });
}
