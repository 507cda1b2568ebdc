// The plug-in's own script steps: set and get a configuration option, show the configuration
// dialog, and the version.
#include "Orb_Debug.h"
#include "Plugin_CfgDlg.h"
#include "Plugin_Config.h"
#include "Plugin_Main.h"
#include "Plugin_Version.h"
#include "_Common/FMPlugin/Plugin_Prefs.h"
#include "_Common/FMPlugin/Plugin_ScriptStepXML.h"
#include "_Common/FMPlugin/Plugin_Utilities.h"
#include "_Common/Strings/Orb_String.h"
#include "_CommonEx/FMPlugin/Plugin_FileSteps.h"
#include "functions/Function__Common.h"
#include "functions/Functions.h"

namespace {

// The choices of the steps' lists, ids 0, 1, ...
const std::vector<std::string> kPreferenceChoices = {"Add Function Help"};
const std::vector<std::string> kTabChoices = {"Basics", "About"};

// The Configure options of the preference list's choices (0 = Add Function Help).
const char16_t* preferenceForIndex(int64_t index) { return index == 0 ? u"AddHelp" : nullptr; }

OrbVariableArray configureOptions(const char16_t* option, const char16_t* prefName = nullptr,
                                  const OrbVariable* prefValue = nullptr) {
    OrbVariableArray options;
    ucstring error;
    options.addStringVariable(error, u"Option", option);
    if (prefName) options.addStringVariable(error, u"PrefName", prefName);
    if (prefValue) {
        OrbVariable value = *prefValue;
        value.setName(u"PrefValue");
        options.addVariable(error, value, true);
    }
    return options;
}

// The choice a list parameter names, by id or by its shown text, as the file steps read theirs.
int64_t listIndex(const OrbVariableArray& parameters, size_t position, const std::vector<std::string>& choices) {
    const OrbVariable* v = nullptr;
    if (!parameters.variableAtIndex(position, v)) return 0;
    const int choice = scriptStepListChoice(*v, choices);
    return choice >= 0 ? choice : v->variableAsInteger();
}

fmx::errcode SetConfigureOptionScriptStepCallback(short, const fmx::ExprEnv& env, const fmx::DataVect& parameters,
                                                  fmx::Data& result) {
    return runScriptStep(
        "SetConfigureOption", u"Volan Pro Set Configure Option: ", env, parameters, result,
        [](FunctionCall& call) -> ucstring {
            const OrbVariable* value = nullptr;
            call.arguments.variableAtIndex(1, value);
            OrbVariable empty;
            return pluginConfigure(
                configureOptions(u"Set", preferenceForIndex(listIndex(call.arguments, 0, kPreferenceChoices)),
                                 value ? value : &empty),
                call.result);
        });
}

fmx::errcode GetConfigureOptionScriptStepCallback(short, const fmx::ExprEnv& env, const fmx::DataVect& parameters,
                                                  fmx::Data& result) {
    return runScriptStep(
        "GetConfigureOption", u"Volan Pro Get Configure Option: ", env, parameters, result,
        [](FunctionCall& call) -> ucstring {
            return pluginConfigure(
                configureOptions(u"Get", preferenceForIndex(listIndex(call.arguments, 0, kPreferenceChoices))),
                call.result);
        });
}

fmx::errcode ShowConfigureDialogScriptStepCallback(short, const fmx::ExprEnv& env, const fmx::DataVect& parameters,
                                                   fmx::Data& result) {
    return runScriptStep("ShowConfigureDialog", u"Volan Pro Show Configure Dialog: ", env, parameters, result,
                         [](FunctionCall& call) -> ucstring {
                             const bool about = listIndex(call.arguments, 0, kTabChoices) == 1;
                             return pluginConfigure(configureOptions(about ? u"About" : u"Basics"), call.result);
                         });
}

fmx::errcode VersionScriptStepCallback(short, const fmx::ExprEnv& env, const fmx::DataVect& parameters,
                                       fmx::Data& result) {
    return runScriptStep(
        "Version", u"Volan Pro Version: ", env, parameters, result, [](FunctionCall& call) -> ucstring {
            const OrbVariable* numberOnly = nullptr;
            const bool digits = call.arguments.variableAtIndex(0, numberOnly) && numberOnly->variableAsBoolean();
            call.result.setStringValue(digits ? pluginVersionAutoUpdate() : pluginVersionText());
            return {};
        });
}

struct PluginStep {
    fmx::int16 id;
    const char* name;
    const char* logName;  // for the debug line "Adding <logName> Script Step"
    std::vector<ScriptStepParameter> parameters;
    const char* description;
    fmx::ExtPluginType callback;
};

const ScriptStepParameter kTextTarget{-1, "Target", "target", "text", "", true, {}};

const std::vector<PluginStep>& pluginSteps() {
    static const std::vector<PluginStep> steps = {
        {6010,
         "Volan Set Configure Option",
         "SetConfigureOption",
         {{0, "Name", "list", "", "0", true, kPreferenceChoices}, {1, "Value", "calc", "text", "", false, {}}},
         "Set Configure Option Preferences sco Volan Volan Pro|Sets the plug-in's default preferences, which are "
         "normally set through the configuration dialog.",
         SetConfigureOptionScriptStepCallback},
        {6020,
         "Volan Get Configure Option",
         "GetConfigureOption",
         {kTextTarget, {0, "Name", "list", "", "0", true, kPreferenceChoices}},
         "Get Configure Option Preferences gco Volan Volan Pro|Gets one of the plug-in's default preferences, which "
         "are normally seen in the configuration dialog.",
         GetConfigureOptionScriptStepCallback},
        {6030,
         "Volan Show Configure Dialog",
         "ShowConfigureDialog",
         {{0, "Tab", "list", "", "0", true, kTabChoices}},
         "Show Configure Dialog Preferences scd Volan Volan Pro|Shows the plug-in's configuration dialog.",
         ShowConfigureDialogScriptStepCallback},
        // "kParam_Unhecked" is spelled as the host has always been given it.
        {6050,
         "Volan Version",
         "Version",
         {kTextTarget, {0, "Number Only", "bool", "", "kParam_Unhecked", false, {}}},
         "Version Volan Volan Pro|Returns the version of the plug-in.",
         VersionScriptStepCallback},
    };
    return steps;
}

void assignText(fmx::Text& text, const std::string& utf8) {
    const ucstring wide = ucstringFromUTF8String(utf8);
    text.AssignUnicodeWithLength(wide.data(), static_cast<fmx::uint32>(wide.size()));
}

}  // namespace

std::string pluginScriptStepDefinition(int id) {
    for (const PluginStep& s : pluginSteps())
        if (s.id == id) return scriptStepDefinition(s.parameters);
    return {};
}

fmx::errcode pluginRegisterScriptSteps() {
    DEBUG_SCOPE("pluginRegisterScriptSteps");
    PluginConfigLock lock(10000);
    if (!lock.held()) {
        pluginNoteRegistrationFailure("Could not get Plugin Config Lock: " + ucstringToUTF8String(lock.error()));
        return kPluginSetupFailed;
    }
    PluginPrefsEx* prefs = nullptr;
    const ucstring error = lock.get(prefs);
    if (!error.empty()) {
        pluginNoteRegistrationFailure(ucstringToUTF8String(error));
        return kPluginSetupFailed;
    }
    if (prefs->integerPref(u"PluginInterface", 0) == 0) {
        DEBUG_OUT("Plugin Script Steps are disabled.");
        return 0;
    }
    DEBUG_OUT("Adding File Script Steps");
    fileChooseScriptSteps(0xFFFFFFFFu);
    fileRegisterScriptSteps();

    DEBUG_OUT("Adding Plugin ScriptSteps");
    fmx::QuadCharUniquePtr pluginId(PLUGIN_ID[0], PLUGIN_ID[1], PLUGIN_ID[2], PLUGIN_ID[3]);
    fmx::TextUniquePtr name, definition, description;
    fmx::errcode result = 0;
    for (const PluginStep& s : pluginSteps()) {
        if (debugMode()) debugOutput(__FILE__, __LINE__, std::string("Adding ") + s.logName + " Script Step");
        assignText(*name, s.name);
        assignText(*definition, scriptStepDefinition(s.parameters));
        assignText(*description, s.description);
        result = fmx::ExprEnv::RegisterScriptStep(*pluginId, s.id, *name, *definition, *description,
                                                  kPluginScriptStepFlags, s.callback);
        if (result != 0) {
            pluginNoteRegistrationFailure(std::string("the host refused the script step ") + s.name + " (error " +
                                          std::to_string(result) + ")");
            break;
        }
    }
    return result;
}

void pluginUnregisterScriptSteps() {
    DEBUG_OUT("Removing Plugin Script Steps");
    fmx::QuadCharUniquePtr pluginId(PLUGIN_ID[0], PLUGIN_ID[1], PLUGIN_ID[2], PLUGIN_ID[3]);
    for (const PluginStep& s : pluginSteps()) {
        try {
            fmx::ExprEnv::UnRegisterScriptStep(*pluginId, s.id);
        } catch (...) {
        }
    }
}
