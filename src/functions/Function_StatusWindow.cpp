// Volan_StatusWindow ( Action {; Left {; Top {; WindowTitle {; WindowText }}}} ): shows, hides,
// moves and reports the status window.
#include "Function__Common.h"
#include "Functions.h"
#include "Orb_Debug.h"
#include "Plugin_Config.h"
#include "Plugin_Status.h"
#include "_Common/FMPlugin/Plugin_Prefs.h"
#include "_Common/Strings/Orb_String.h"

namespace {

ucstring number(int64_t value) {
    ucstring text;
    return stringFromInteger(text, value);
}

int32_t integerArgument(const OrbVariableArray& arguments, const ucstring& name) {
    const OrbVariable* v = argument(arguments, name);
    return v && v->type() != OrbVariable::kEmpty ? static_cast<int32_t>(v->variableAsInteger()) : 0;
}

}  // namespace

VOLAN_FUNCTION_CALLBACK(StatusWindow) {
    (void)functionId;
    return runFunction("StatusWindow", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"Action", u"Left", u"Top", u"WindowTitle", u"WindowText"});
        const ucstring action = stringNormalize(argumentString(call.arguments, u"Action"));
        int32_t left = integerArgument(call.arguments, u"Left");
        int32_t top = integerArgument(call.arguments, u"Top");
        const ucstring title = stringTrim(argumentString(call.arguments, u"WindowTitle"));
        const ucstring text = stringTrim(argumentString(call.arguments, u"WindowText"));

        PluginConfigLock lock(10000);
        if (!lock.held()) return u"Could not get Plugin Config Lock: " + lock.error();
        PluginPrefsEx* prefs = nullptr;
        ucstring error = lock.get(prefs);
        if (!error.empty()) return error;
        StatusWindow* status = nullptr;
        error = lock.get(status);
        if (!error.empty()) return error;

        // 0 means "where it was last"; with nothing stored, -1 centres it.
        if (left == 0) left = static_cast<int32_t>(prefs->integerPref(u"LastStatusLeft", -1));
        if (top == 0) top = static_cast<int32_t>(prefs->integerPref(u"LastStatusTop", -1));

        const ucstring cr = u"\r";
        int32_t x = 0, y = 0;
        if (action == u"SHOW") {
            const bool wasOpen = status->isOpen();
            if (!wasOpen) status->show();
            status->setCustomTitle(title);
            status->setCustomLabel(text);
            if (!wasOpen) status->move(left, top);
            status->getCoords(x, y);
            call.result.setStringValue(u"Status shown." + cr + number(x) + cr + number(y));
        } else if (action == u"HIDE") {
            if (!status->isOpen()) return u"Could not hide the status window because it is not open.";
            status->getCoords(x, y);
            prefs->setIntegerPref(u"LastStatusLeft", x);
            prefs->setIntegerPref(u"LastStatusTop", y);
            const ucstring saveError = prefs->save();
            if (!saveError.empty()) DEBUG_OUT(saveError);
            status->hide();
            call.result.setStringValue(u"Status hidden." + cr + number(x) + cr + number(y));
        } else if (action == u"MOVE") {
            int32_t oldX = 0, oldY = 0;
            status->getCoords(oldX, oldY);
            status->move(left, top);
            status->getCoords(x, y);
            call.result.setStringValue(u"Status moved." + cr + number(oldX) + cr + number(oldY) + cr + number(x) + cr +
                                       number(y));
        } else if (action == u"STATE") {
            if (status->isOpen()) {
                status->getCoords(x, y);
                call.result.setStringValue(u"Status shown." + cr + number(x) + cr + number(y));
            } else {
                call.result.setStringValue(u"Status hidden." + cr + cr);
            }
        } else {
            return u"Unknown action: " + action + u"; Valid actions are \"Show\", \"Hide\", \"Move\", or \"State\".";
        }
        return {};
    });
}
