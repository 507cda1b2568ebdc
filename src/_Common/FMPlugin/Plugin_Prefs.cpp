#include "Plugin_Prefs.h"

// Until the preferences file is kept, there is nothing to read and every preference has its default.
bool PluginPrefs::load(bool) { return false; }

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

ucstring pluginAppPrefs(const ucstring&) { return u"The configuration dialog is not available yet."; }

ucstring pluginConfigure(const OrbVariableArray&, OrbVariable&) { return u"Preferences are not available yet."; }
