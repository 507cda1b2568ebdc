// The plug-in's preferences: named values kept in one file per user.
#pragma once

#include "_Common/CoreCode/Orb_Variable.h"
#include "_Common/FileAndStream/Orb_FileRef.h"

#include <set>

// The preferences file lives in the user's local application data folder, under "Orb", the
// product folder and "3.0". Values are variables; a boolean is kept as 1 or 0.
//
// Several processes may hold the preferences at once. Each remembers which names it changed since
// it last read or wrote the file; a save takes the folder's lock, reads the file again and writes
// back what it found with only those names changed, so the others' changes stay.
class PluginPrefs {
public:
    PluginPrefs() = default;
    virtual OrbVariableArray& mutableLocalPrefs() { return mLocalPrefs; }
    virtual const OrbVariableArray& localPrefs() const { return mLocalPrefs; }
    virtual OrbVariableArray& mutableSystemPrefs() { return mSystemPrefs; }
    virtual const OrbVariableArray& systemPrefs() const { return mSystemPrefs; }
    virtual ucstring& mutableLocalPath() { return mLocalPath; }
    virtual const ucstring& localPath() const { return mLocalPath; }
    // An explicit folder for the preferences; empty for the standard one.
    virtual ucstring& mutableSystemPath() { return mSystemPath; }
    virtual const ucstring& systemPath() const { return mSystemPath; }
    virtual OrbFileRef& mutableLocalPathRef() { return mLocalPathRef; }
    virtual const OrbFileRef& localPathRef() const { return mLocalPathRef; }
    virtual OrbFileRef& mutableSystemPathRef() { return mSystemPathRef; }
    virtual const OrbFileRef& systemPathRef() const { return mSystemPathRef; }
    virtual void setLoadTime(const OrbDateTime& time) { mLoadTime = time; }
    virtual const OrbDateTime& loadTime() const { return mLoadTime; }
    virtual void setLastCheckTime(int64_t seconds) { mLastCheckTime = seconds; }
    virtual int64_t lastCheckTime() const { return mLastCheckTime; }
    virtual void setFoundLocalPrefsLastTime(bool found) { mFoundLocalPrefsLastTime = found; }
    virtual bool foundLocalPrefsLastTime() const { return mFoundLocalPrefsLastTime; }
    virtual void setFoundSystemPrefsLastTime(bool found) { mFoundSystemPrefsLastTime = found; }
    virtual bool foundSystemPrefsLastTime() const { return mFoundSystemPrefsLastTime; }
    virtual ~PluginPrefs() = default;
    // Reads the preferences file when it is due and changed (always when forced); true when read.
    virtual bool load(bool force);
    // Writes this process's changes into the file (or removes the file when no preference is left),
    // then holds what the file holds; "Could not Save Prefs: " + why when that failed.
    [[nodiscard]] virtual ucstring save();

    // The preferences folder, made when missing; false when it cannot be had.
    bool getSystemPrefsPath(OrbFileRef& folder);
    // False when less than a minute has passed since the last check or the file is unchanged.
    bool needToLoad(bool force);
    // Whether this file exists in a folder, by its product name ("Volan Pro" or "Volan_Pro").
    static bool findPrefsFile(const OrbFileRef& folder, OrbFileRef& file);

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
    // Reads a preferences file into the system set, line by line: a line that cannot be parsed is
    // only logged, and the others are read.
    bool readFile(const OrbFileRef& file, const char* who);
    void applyLoggingPrefs();
    // The next save writes this name's value (or its absence) into the file.
    void noteChanged(const ucstring& name);

private:
    [[nodiscard]] ucstring saveChanges();
    // Records the three logging switches as the file now has them.
    void rememberSavedLogging();

    std::set<ucstring> mChanged;  // normalised names
    bool mSavedLogging[3] = {false, false, false};
    OrbVariableArray mLocalPrefs;
    OrbVariableArray mSystemPrefs;
    ucstring mLocalPath;
    ucstring mSystemPath;
    OrbFileRef mLocalPathRef;
    OrbFileRef mSystemPathRef;
    OrbDateTime mLoadTime;
    int64_t mLastCheckTime = 0;
    bool mFoundLocalPrefsLastTime = false;
    bool mFoundSystemPrefsLastTime = false;
};

// Adds password values kept scrambled, and the import of preferences from an older version.
class PluginPrefsEx : public PluginPrefs {
public:
    bool load(bool force) override;
    [[nodiscard]] ucstring save() override;
    virtual ucstring& mutableImportedVersion() { return mImportedVersion; }
    // The older version folder whose preferences (and accounts) were taken over; empty when none.
    virtual const ucstring& importedVersion() const { return mImportedVersion; }

    void setPasswordPref(const ucstring& name, const ucstring& value);
    ucstring passwordPref(const ucstring& name) const;

private:
    bool importOlderVersion();
    ucstring mImportedVersion;
};

// The product's folder below the local application data folder ("Orb", then "Volan Pro" or an
// existing "Volan_Pro"), then `version` when given; missing folders are made when `create` is set.
bool productFolder(OrbFileRef& folder, const ucstring& version, bool create);

// The three logging switches (0 debug mode, 1 extra debug info, 2 the system log), as the
// preferences "DebugMode", "ExtraDebugInfo" and "UseSystemLog" set them.
bool loggingState(int i);
void setLoggingState(int i, bool on);
