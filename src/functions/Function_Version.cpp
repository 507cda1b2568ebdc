// Volan_Version ( {Option} ): the version text, or the Configure operation for some options.
#include "Function__Common.h"
#include "Functions.h"
#include "Plugin_CfgDlg.h"
#include "Plugin_Version.h"
#include "_Common/FMPlugin/Plugin_Prefs.h"
#include "_Common/Strings/Orb_String.h"

ucstring pluginVersionText() { return u"Volan Pro v." PLUGIN_VERSION " (Orb Core v." ORB_CORE_VERSION ")"; }

VOLAN_FUNCTION_CALLBACK(Version) {
    (void)functionId;
    return runFunction("Version", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"Option"});
        const ucstring option = stringNormalize(argumentString(call.arguments, u"Option"));
        ucstring error;
        if (option == u"ABOUT") {
            OrbVariableArray options;
            options.addStringVariable(error, u"Option", u"ABOUT");
            return pluginConfigure(options, call.result);
        }
        if (option == u"CONFIGURE") return pluginConfigure(OrbVariableArray(), call.result);
        if (option == u"SET" || option == u"GET") {
            OrbVariableArray options = call.arguments;
            options.setNameOfVariableAtIndex(error, u"PrefName", 1, false);
            options.setNameOfVariableAtIndex(error, u"PrefValue", 2, false);
            return pluginConfigure(options, call.result);
        }
        if (option == u"AUTO UPDATE" || option == u"AUTOUPDATE") {
            call.result.setStringValue(pluginVersionAutoUpdate());
            return {};
        }
        call.result.setStringValue(pluginVersionText());
        return {};
    });
}
