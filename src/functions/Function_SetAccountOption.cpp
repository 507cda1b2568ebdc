// Volan_SetAccountOption ( AccountName ; OptionName ; OptionValue )
#include "Function__Common.h"
#include "Functions.h"
#include "Plugin_Config.h"
#include "Support/FTPAccount.h"
#include "_Common/Strings/Orb_String.h"

VOLAN_FUNCTION_CALLBACK(SetAccountOption) {
    (void)functionId;
    return runFunction("SetAccountOption", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"AccountName", u"OptionName", u"OptionValue"});
        const ucstring name = stringTrim(argumentString(call.arguments, u"AccountName"));
        const std::string option = ucstringToUTF8String(stringNormalize(argumentString(call.arguments, u"OptionName")));
        const ucstring value = argumentString(call.arguments, u"OptionValue");
        if (name.empty()) return u"You must specify the account in which to set the option ('AccountName' parameter).";
        if (option.empty()) return u"You must specify the option to set ('OptionName' parameter).";
        PluginConfigLock lock(10000);
        if (!lock.held()) return u"Could not get Plugin Config Lock: " + lock.error();
        FTPAccounts* accounts = nullptr;
        ucstring error = lock.get(accounts);
        if (!error.empty()) return error;
        FTPAccount* account = accounts->findAccount(name);
        if (!account) return u"Could not find account named '" + name + u"'.";
        // A failed set changes nothing: work on a copy.
        FTPAccount changed(*account);
        ucstring confirmation;
        if (!changed.setOption(option, value, confirmation, error)) return error;
        const FTPAccount before(*account);
        *account = changed;
        error = accounts->saveAccounts(account->name());
        if (!error.empty()) {
            if (FTPAccount* again = accounts->findAccount(before.name())) *again = before;
            return error;
        }
        call.result.setStringValue(confirmation);
        return {};
    });
}
