#include "Plugin_Prefs.h"

#include "Orb_Debug.h"
#include "Orb_DebugFiles.h"
#include "Plugin_Version.h"
#include "_Common/CoreCode/Orb_Clock.h"
#include "_Common/FMPlugin/Plugin_HostFacts.h"
#include "_Common/FileAndStream/Orb_FolderLock.h"
#include "_Common/FileAndStream/Orb_StringListStream.h"
#include "_Common/Strings/Orb_CharSets.h"
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"

#include <platform/Files.h>

namespace {

const char16_t* const kLoggingNames[] = {u"DebugMode", u"ExtraDebugInfo", u"UseSystemLog"};

}  // namespace

bool loggingState(int i) { return i == 0 ? debugMode() : i == 1 ? extraDebugInfo() : useSystemLog(); }

void setLoggingState(int i, bool on) {
    if (loggingState(i) == on) return;
    if (i == 0)
        setDebugMode(on, u"" PLUGIN_NAME, u"" PLUGIN_VERSION, u"" ORB_CORE_VERSION);
    else if (i == 1)
        setExtraDebugInfo(on);
    else
        setUseSystemLog(on);
}

namespace {

// A folder below `parent`, made (for its owner only) when missing and `create` is set.
bool subFolder(OrbFileRef& folder, const ucstring& name, bool create) {
    folder.addItem(OrbFileRef::encodeSlashes(name));
    if (folder.dirExists()) return true;
    // Another process starting at the same moment may make it first.
    if (!create || (!folder.createDir() && !folder.dirExists())) return false;
    std::string ignored;
    platform::fileMakePrivate(folder.pathAsString(), ignored);
    return true;
}

}  // namespace

bool productFolder(OrbFileRef& folder, const ucstring& version, bool create) {
    if (!folder.setToSystemFolder(kSystemFolderLocalAppData)) return false;
    if (!subFolder(folder, u"Orb", create)) return false;
    // "Volan Pro" if it exists, else "Volan_Pro" if that exists, else "Volan Pro" is made.
    OrbFileRef underscore(folder);
    underscore.addItem(u"Volan_Pro");
    OrbFileRef blank(folder);
    blank.addItem(u"Volan Pro");
    if (!blank.dirExists() && underscore.dirExists()) {
        folder = underscore;
    } else if (!subFolder(folder, u"Volan Pro", create)) {
        return false;
    }
    return version.empty() || subFolder(folder, version, create);
}

bool PluginPrefs::getSystemPrefsPath(OrbFileRef& folder) {
    if (!mSystemPath.empty()) {
        OrbFileRef explicitFolder(mSystemPath);
        if (explicitFolder.defined() && explicitFolder.dirExists()) {
            folder = explicitFolder;
            mSystemPathRef = folder;
            return true;
        }
    }
    if (!productFolder(folder, u"3.0", true)) return false;
    mSystemPathRef = folder;
    return true;
}

bool PluginPrefs::findPrefsFile(const OrbFileRef& folder, OrbFileRef& file) {
    file = folder;
    file.addItem(u"Volan Pro Prefs");
    if (file.fileExists()) return true;
    OrbFileRef underscore(folder);
    underscore.addItem(u"Volan_Pro Prefs");
    if (underscore.fileExists()) {
        file = underscore;
        return true;
    }
    return false;  // `file` names the standard one, for a first save
}

bool PluginPrefs::needToLoad(bool force) {
    if (force) return true;
    const int64_t now = orbClockSeconds();
    if (now - mLastCheckTime < 60) {
        DEBUG_OUT("PluginPrefs::needToLoad: no (< 60)");
        return false;
    }
    mLastCheckTime = now;
    OrbFileRef folder, file;
    OrbDateTime modified;
    if (getSystemPrefsPath(folder) && findPrefsFile(folder, file) && file.modificationDate(modified) &&
        modified == mLoadTime) {
        DEBUG_OUT("PluginPrefs::needToLoad: no (unchanged)");
        return false;
    }
    return true;
}

namespace {

// One line of a preferences file: its variables, and the name it sets when it sets exactly one
// (the line a save replaces). A line that cannot be parsed sets nothing and is kept as it is.
struct PrefsLine {
    OrbVariableArray variables;
    ucstring name;  // normalised; empty for none
    ucstring error;
};

PrefsLine parsePrefsLine(const ucstring& text) {
    PrefsLine line;
    if (!line.variables.parseVariables(line.error, text, true, false, true)) {
        line.variables.clear();
        return line;
    }
    const OrbVariable* v = nullptr;
    if (line.variables.size() == 1 && line.variables.variableAtIndex(0, v)) line.name = stringNormalize(v->name());
    return line;
}

// The variables of the lines, a later line's value winning; each failure is logged.
OrbVariableArray parsePrefsLines(const ucstringlist& lines, const char* who) {
    OrbVariableArray all;
    for (const ucstring& text : lines) {
        const PrefsLine line = parsePrefsLine(text);
        if (!line.error.empty() && debugMode())
            debugOutput(__FILE__, __LINE__,
                        std::string(who) + "::load: Error Parsing Prefs: " + ucstringToUTF8String(line.error));
        for (const OrbVariable& v : line.variables) {
            OrbVariable* existing = nullptr;
            ucstring error;
            if (!v.name().empty() && all.mutableVariableWithName(v.name(), existing))
                *existing = v;
            else
                all.addVariable(error, v, true);
        }
    }
    return all;
}

// The file's lines with the named variables as `current` has them: a line that set one is replaced
// (or dropped when `current` no longer has it), and one not in the file yet is added at the end.
ucstringlist mergePrefsLines(const ucstringlist& fileLines, const OrbVariableArray& current,
                             const std::set<ucstring>& names) {
    auto lineFor = [&](const ucstring& name, ucstringlist& out) {
        const OrbVariable* v = nullptr;
        if (!current.variableWithName(name, v)) return;
        OrbVariableArray one;
        ucstring error;
        one.addVariable(error, *v, true);
        ucstringlist lines;
        one.copyVariablesToList(lines, true, false);
        out.insert(out.end(), lines.begin(), lines.end());
    };
    ucstringlist merged;
    std::set<ucstring> written;
    for (const ucstring& text : fileLines) {
        const ucstring name = parsePrefsLine(text).name;
        if (name.empty() || !names.count(name)) {
            merged.push_back(text);
        } else if (written.insert(name).second) {
            lineFor(name, merged);
        }
    }
    for (const ucstring& name : names)
        if (!written.count(name)) lineFor(name, merged);
    return merged;
}

}  // namespace

bool PluginPrefs::readFile(const OrbFileRef& file, const char* who) {
    ucstringlist lines;
    ucstring error;
    if (!stringlistLoadFromFile(error, &lines, file, kCharSetUTF8)) return false;
    mSystemPrefs = parsePrefsLines(lines, who);
    return true;
}

void PluginPrefs::noteChanged(const ucstring& name) { mChanged.insert(stringNormalize(name)); }

void PluginPrefs::rememberSavedLogging() {
    for (int i = 0; i < 3; ++i) mSavedLogging[i] = loggingState(i);
}

void PluginPrefs::applyLoggingPrefs() {
    for (int i = 0; i < 3; ++i) {
        const OrbVariable* v = nullptr;
        const bool present =
            mLocalPrefs.variableWithName(kLoggingNames[i], v) || mSystemPrefs.variableWithName(kLoggingNames[i], v);
        setLoggingState(i, present && v->variableAsBoolean());
    }
}

bool PluginPrefs::load(bool force) {
    if (!needToLoad(force)) return false;
    mLastCheckTime = orbClockSeconds();
    bool read = false;
    OrbFileRef folder, file;
    if (getSystemPrefsPath(folder) && findPrefsFile(folder, file)) {
        // The time first: a version written while this one is read then shows as a change.
        OrbDateTime modified;
        const bool dated = file.modificationDate(modified);
        read = readFile(file, "PluginPrefs");
        if (read && dated) mLoadTime = modified;
    } else {
        mSystemPrefs.clear();  // the file is gone: every preference has its default again
    }
    mFoundSystemPrefsLastTime = read;
    mChanged.clear();  // the file is what holds now
    applyLoggingPrefs();
    rememberSavedLogging();
    return read;
}

ucstring PluginPrefs::save() {
    // The logging switches are kept as they are now: "On" where the name already is, else in the
    // system set; switched off, they leave both sets. The file learns of those this process
    // switched.
    for (int i = 0; i < 3; ++i) {
        const ucstring name = kLoggingNames[i];
        OrbVariable* v = nullptr;
        if (loggingState(i)) {
            const bool local = mLocalPrefs.mutableVariableWithName(name, v);
            if (local || mSystemPrefs.mutableVariableWithName(name, v))
                v->setStringValue(u"On");
            else
                setStringPref(name, u"On");
        } else {
            mLocalPrefs.removeVariable(name);
            mSystemPrefs.removeVariable(name);
        }
        if (loggingState(i) != mSavedLogging[i]) noteChanged(name);
    }
    const ucstring error = saveChanges();
    return error.empty() ? error : u"Could not Save Prefs: " + error;
}

ucstring PluginPrefs::saveChanges() {
    OrbFileRef folder, file;
    if (!getSystemPrefsPath(folder)) return u"Neither the System nor Local Prefs Paths are valid.";
    const OrbFolderLock lock(folder);
    if (!lock.held()) return lock.error();
    // What other processes wrote meanwhile stays; only this process's changes are applied to it.
    const bool exists = findPrefsFile(folder, file);
    ucstringlist lines;
    ucstring error;
    if (exists && !stringlistLoadFromFile(error, &lines, file, kCharSetUTF8)) return error;
    lines = mergePrefsLines(lines, mSystemPrefs, mChanged);
    if (stringlistIsBlank(lines)) {
        if (exists && !file.removeFile()) return file.errorString();
        mLoadTime = OrbDateTime();
    } else {
        if (!stringlistReplaceFile(error, lines, file, kLineEndingCRLF, kCharSetUTF8, false, true)) return error;
        OrbDateTime modified;
        if (file.modificationDate(modified)) mLoadTime = modified;
    }
    mSystemPrefs = parsePrefsLines(lines, "PluginPrefs");
    mChanged.clear();
    mLastCheckTime = orbClockSeconds();
    mFoundSystemPrefsLastTime = !stringlistIsBlank(lines);
    applyLoggingPrefs();
    rememberSavedLogging();
    return {};
}

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
    if (mSystemPrefs.setIntegerVariable(error, name, value)) noteChanged(name);
}

void PluginPrefs::setStringPref(const ucstring& name, const ucstring& value) {
    if (stringTrim(name).empty()) return;
    noteChanged(name);
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
    if (mSystemPrefs.setListVariable(error, name, lines)) noteChanged(name);
}
