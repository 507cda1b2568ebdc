// Volan_ConfigureAccount ( {AccountName} )
#include "Function__Common.h"
#include "Functions.h"
#include "Plugin_Config.h"
#include "Support/FTPAccount.h"
#include "_Common/Strings/Orb_String.h"

VOLAN_FUNCTION_CALLBACK(ConfigureAccount) {
    (void)functionId;
    return runFunction("ConfigureAccount", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"AccountName"});
        const ucstring name = stringTrim(argumentString(call.arguments, u"AccountName"));
        // The dialog is modal and works on the list itself, so the lock is held while it is open.
        PluginConfigLock lock(10000);
        if (!lock.held()) return u"Could not get Plugin Config Lock: " + lock.error();
        FTPAccounts* accounts = nullptr;
        const ucstring error = lock.get(accounts);
        if (!error.empty()) return error;
        accounts->loadAccounts();
        if (!name.empty() && !accounts->findAccount(name)) return u"Could not find account named '" + name + u"'.";
        const ucstring dialogError = accounts->showAccountDialog(name);
        if (!dialogError.empty()) return u"There was an error showing the account configuration dialog: " + dialogError;
        // The dialog saved each account as it was changed and told the user of any failure then.
        (void)accounts->saveAccounts();
        call.result.setStringValue(name.empty() ? ucstring(u"FTP accounts configured.") : name + u" configured.");
        return {};
    });
}
