// Volan_VersionAutoUpdate: the version as eight digits, two each for major, minor, patch and build.
#include "Function__Common.h"
#include "Functions.h"
#include "Plugin_Version.h"
#include "_Common/Strings/Orb_String.h"

ucstring pluginVersionAutoUpdate() {
    ucstring digits;
    for (int part : {PLUGIN_VERSION_MAJOR, PLUGIN_VERSION_MINOR, PLUGIN_VERSION_PATCH, PLUGIN_VERSION_BUILD}) {
        ucstring text;
        stringFromInteger(text, part);
        digits += stringRight(u"00" + text, 2);
    }
    return digits;
}

VOLAN_FUNCTION_CALLBACK(VersionAutoUpdate) {
    (void)functionId;
    return runFunction("VersionAutoUpdate", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        call.result.setStringValue(pluginVersionAutoUpdate());
        return {};
    });
}
