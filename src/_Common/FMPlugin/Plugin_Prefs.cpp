#include "Plugin_Prefs.h"

#include "_Common/Strings/Orb_StringList.h"

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

ucstring pluginAppPrefs(const ucstring&) { return u"The configuration dialog is not available yet."; }

ucstring pluginConfigure(const OrbVariableArray&, OrbVariable&) { return u"Preferences are not available yet."; }
