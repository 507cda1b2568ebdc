// The plug-in's preferences: named values kept in one file per user.
#pragma once

#include "_Common/CoreCode/Orb_Variable.h"

class PluginPrefs {
public:
    PluginPrefs() = default;
    virtual ~PluginPrefs() = default;
    // Reads the preferences file when it is due and changed (always when forced); true when read.
    virtual bool load(bool force);
    // Writes the preferences; an error text, empty on success.
    virtual ucstring save();

    bool prefExists(const ucstring& name) const;
    // The stored value as text; empty when there is none.
    ucstring pref(const ucstring& name) const;
    bool booleanPref(const ucstring& name, bool defaultValue) const;
    int64_t integerPref(const ucstring& name, int64_t defaultValue) const;
    // Booleans are kept as the integers 1 and 0; a list text is split into lines.
    void setBooleanPref(const ucstring& name, bool value);
    void setIntegerPref(const ucstring& name, int64_t value);
    void setStringPref(const ucstring& name, const ucstring& value);
    void setListPref(const ucstring& name, const ucstring& value);

protected:
    const OrbVariable* find(const ucstring& name) const;

    OrbVariableArray mLocalPrefs;
    OrbVariableArray mSystemPrefs;
};

class PluginPrefsEx : public PluginPrefs {};

// What the host's Configure button runs: shows the configuration dialog opened to a tab.
// Returns an error text, empty on success.
ucstring pluginAppPrefs(const ucstring& initialTab);

// The Configure operation behind Volan_Configure, the Version options and the Configure script
// steps: options "Option", "PrefName", "PrefValue". Sets the result or returns an error text.
ucstring pluginConfigure(const OrbVariableArray& options, OrbVariable& result);
