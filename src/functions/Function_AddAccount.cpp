// Volan_AddAccount ( AccountName )
#include "Function__Common.h"
#include "Functions.h"
#include "Plugin_Config.h"
#include "Support/FTPAccount.h"
#include "_Common/Strings/Orb_String.h"

VOLAN_FUNCTION_CALLBACK(AddAccount) {
    (void)functionId;
    return runFunction("AddAccount", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"AccountName"});
        const ucstring name = stringTrim(argumentString(call.arguments, u"AccountName"));
        if (name.empty()) return u"You must specify a name for the account ('AccountName' parameter).";
        PluginConfigLock lock(10000);
        if (!lock.held()) return u"Could not get Plugin Config Lock: " + lock.error();
        FTPAccounts* accounts = nullptr;
        ucstring error = lock.get(accounts);
        if (!error.empty()) return error;
        accounts->reloadAccounts();  // another process may have added it a moment ago
        if (accounts->findAccount(name)) return u"There is already an account with the name '" + name + u"'.";
        if (!accounts->addAccount(error, name)) return error;  // also writes its file
        call.result.setStringValue(u"Account '" + name + u"' added.");
        return {};
    });
}
