// Volan_GetAccountOption ( AccountName ; OptionName )
#include "Function__Common.h"
#include "Functions.h"
#include "Plugin_Config.h"
#include "Support/FTPAccount.h"
#include "_Common/Strings/Orb_String.h"

VOLAN_FUNCTION_CALLBACK(GetAccountOption) {
    (void)functionId;
    return runFunction("GetAccountOption", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"AccountName", u"OptionName"});
        const ucstring name = stringTrim(argumentString(call.arguments, u"AccountName"));
        const std::string option = ucstringToUTF8String(stringNormalize(argumentString(call.arguments, u"OptionName")));
        if (name.empty())
            return u"You must specify the account from which to get the option ('AccountName' parameter).";
        if (option.empty()) return u"You must specify the option to get ('OptionName' parameter).";
        PluginConfigLock lock(10000);
        if (!lock.held()) return u"Could not get Plugin Config Lock: " + lock.error();
        FTPAccounts* accounts = nullptr;
        ucstring error = lock.get(accounts);
        if (!error.empty()) return error;
        const FTPAccount* account = accounts->findAccount(name);
        if (!account) return u"Could not find account named '" + name + u"'.";
        account->getOption(option, call.result, error);
        call.resultIsSecret = option.find("PASS") != std::string::npos;  // "PASSWORD", "PASS WORD"
        return error;
    });
}
