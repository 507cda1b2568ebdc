// Preferences with scrambled password values and the import from an older version's folder.
#include "Orb_Debug.h"
#include "_Common/FMPlugin/Plugin_Prefs.h"
#include "_Common/Strings/Orb_Scramble.h"
#include "_Common/Strings/Orb_String.h"
#include "_CommonEx/FileAndStream/Orb_FileRefEx.h"

bool PluginPrefsEx::load(bool force) {
    if (!needToLoad(force)) return false;
    const bool read = PluginPrefs::load(true);
    if (!read) {
        OrbFileRef folder, file;
        if (getSystemPrefsPath(folder) && !findPrefsFile(folder, file)) importOlderVersion();
    }
    return read;
}

ucstring PluginPrefsEx::save() { return PluginPrefs::save(); }

void PluginPrefsEx::setPasswordPref(const ucstring& name, const ucstring& value) {
    setStringPref(name, encryptPasswordText(ucstringToUTF8String(value)));
}

ucstring PluginPrefsEx::passwordPref(const ucstring& name) const {
    return ucstringFromUTF8String(decryptPasswordText(pref(name)));
}

// Among the sibling folders of "3.0" whose names are numbers, the greatest below 3.0 that holds a
// preferences file is read and saved into the current folder.
bool PluginPrefsEx::importOlderVersion() {
    OrbFileRefEx product;
    if (!productFolder(product, u"", false)) return false;
    ucstringlist names;
    if (!product.listItems(&names, kPathStyleWindows)) return false;
    double best = -1;
    ucstring bestName;
    for (const ucstring& name : names) {
        if (!stringIsNumeric(name)) continue;
        const double version = stringToDouble(name);
        if (version >= 3.0 || version <= best) continue;
        OrbFileRef folder(product), file;
        folder.addItem(OrbFileRef::encodeSlashes(name));
        if (!folder.dirExists() || !findPrefsFile(folder, file)) continue;
        best = version;
        bestName = name;
    }
    if (bestName.empty()) return false;
    OrbFileRef folder(product), file;
    folder.addItem(OrbFileRef::encodeSlashes(bestName));
    findPrefsFile(folder, file);
    if (!readFile(file, "PluginPrefsEx")) return false;
    mutableImportedVersion() = bestName;
    for (const OrbVariable& v : systemPrefs()) noteChanged(v.name());
    DEBUG_OUT(u"PluginPrefsEx::load: imported preferences of version " + bestName);
    save();
    applyLoggingPrefs();
    return true;
}
