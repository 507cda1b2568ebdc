#include "Plugin_Prefs.h"

#include "Orb_Debug.h"
#include "Plugin_CfgDlg.h"
#include "Plugin_Config.h"
#include "Plugin_Main.h"
#include "_Common/Strings/Orb_StringList.h"

// Until the preferences file is kept, there is nothing to read and every preference has its default,
// and values set during the run live in memory only.
bool PluginPrefs::load(bool) { return false; }
ucstring PluginPrefs::save() { return {}; }

const OrbVariable* PluginPrefs::find(const ucstring& name) const {
    const OrbVariable* v = nullptr;
    if (mLocalPrefs.variableWithName(name, v)) return v;
    if (mSystemPrefs.variableWithName(name, v)) return v;
    return nullptr;
}

bool PluginPrefs::prefExists(const ucstring& name) const { return find(name) != nullptr; }

ucstring PluginPrefs::pref(const ucstring& name) const {
    const OrbVariable* v = find(name);
    return v ? v->variableAsString(1) : ucstring();
}

bool PluginPrefs::booleanPref(const ucstring& name, bool defaultValue) const {
    const OrbVariable* v = find(name);
    return v ? v->variableAsBoolean() : defaultValue;
}

int64_t PluginPrefs::integerPref(const ucstring& name, int64_t defaultValue) const {
    const OrbVariable* v = find(name);
    return v ? v->variableAsInteger() : defaultValue;
}

void PluginPrefs::setBooleanPref(const ucstring& name, bool value) { setIntegerPref(name, value ? 1 : 0); }

void PluginPrefs::setIntegerPref(const ucstring& name, int64_t value) {
    ucstring error;
    mSystemPrefs.setIntegerVariable(error, name, value);
}

void PluginPrefs::setStringPref(const ucstring& name, const ucstring& value) {
    OrbVariable* v = nullptr;
    if (mSystemPrefs.mutableVariableWithName(name, v)) {
        v->setStringValue(value);  // as given: setStringVariable would strip quotes
        return;
    }
    OrbVariable added(name);
    added.setStringValue(value);
    ucstring error;
    mSystemPrefs.addVariable(error, added, true);
}

void PluginPrefs::setListPref(const ucstring& name, const ucstring& value) {
    ucstringlist lines;
    stringlistAppendLines(lines, value);
    ucstring error;
    mSystemPrefs.setListVariable(error, name, lines);
}

namespace {

// The "AddHelp" preference under the configuration lock; `suffix` tells the two readings apart in
// the error texts.
ucstring readAddHelp(bool& addHelp, bool load, const char16_t* suffix) {
    PluginConfigLock lock(10000);
    if (!lock.held()) return ucstring(u"Could not get Plugin Config Lock") + suffix + u": " + lock.error();
    const OrbVariable* v = nullptr;
    const ucstring error = getPluginConfigVar(u"PluginPrefs", v);
    if (!error.empty()) return ucstring(u"Could not get PluginPrefs Config Var") + suffix + u": " + error;
    auto* prefs = static_cast<PluginPrefsEx*>(v->pointerValue());
    if (!prefs) return ucstring(u"PluginPrefs Config Var is NULL") + suffix + u".";
    if (load) {
        DEBUG_OUT("Load Prefs");
        prefs->load(false);
    }
    addHelp = prefs->booleanPref(u"AddHelp", true);
    return {};
}

}  // namespace

ucstring pluginAppPrefs(const ucstring& initialTab) {
    DEBUG_SCOPE("pluginAppPrefs");
    if (constFMProduct() > 2)
        return u"You cannot open the Configuration Dialog with this FileMaker Product (Server, Web Publishing Engine).";
    bool addHelpBefore = true, addHelpAfter = true;
    ucstring error = readAddHelp(addHelpBefore, true, u"");
    if (!error.empty()) return error;
    {
        // Shown without the lock: other threads go on while the user makes up their mind.
        ConfigurationDialog dialog;
        dialog.show(initialTab);
    }
    error = readAddHelp(addHelpAfter, false, u"(2)");
    if (!error.empty()) return error;
    if (addHelpAfter != addHelpBefore) {
        DEBUG_OUT("User changed the 'Add Help' setting; unregistering and reregistering functions");
        pluginUnregisterFunctions();
        pluginRegisterFunctions();
    }
    return {};
}

ucstring pluginConfigure(const OrbVariableArray&, OrbVariable&) { return u"Preferences are not available yet."; }
