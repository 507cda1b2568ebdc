// Volan_Configure {( Option {; PrefName {; PrefValue }} )}: preferences by name, or the dialog.
#include "Function__Common.h"
#include "Functions.h"
#include "Plugin_CfgDlg.h"
#include "_Common/FMPlugin/Plugin_Prefs.h"
#include "_Common/Strings/Orb_String.h"

VOLAN_FUNCTION_CALLBACK(Configure) {
    (void)functionId;
    return runFunction("Configure", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"Option", u"PrefName", u"PrefValue"});
        // A password preference is read back in clear (and kept scrambled).
        call.resultIsSecret =
            stringNormalize(argumentString(call.arguments, u"PrefName")).find(u"PASSWORD") != ucstring::npos;
        return pluginConfigure(call.arguments, call.result);
    });
}
