#include "Plugin_CfgDlg.h"

#include "Orb_Debug.h"
#include "Orb_DebugFiles.h"
#include "Plugin_Config.h"
#include "Plugin_Version.h"
#include "_Common/FMPlugin/Plugin_HostFacts.h"
#include "_Common/FMPlugin/Plugin_Prefs.h"
#include "_Common/Strings/Orb_String.h"
#include "_CommonEx/GUI/DW_Dialogs.h"

#include <new>

namespace {

// Boxes, fills and spaces that only arrange the pages.
enum : int32_t {
    kAboutTopFill = 705,
    kAboutRow = 706,
    kAboutLeftFill = 707,
    kAboutTextColumn = 708,
    kAboutRightFill = 711,
    kAboutBottomFill = 712,
    kAboutTextFill = 714,
    kDebugRowSpace = 720,
    kDebugExtraRow = 721,
    kDebugIndent = 722,
    kButtonRow = 730,
    kButtonFill = 731,
};

void setHint(DWLayoutObject* object, const ucstring& hint) {
    if (object) object->mutableHint() = hint;
}

}  // namespace

ConfigurationDialog::~ConfigurationDialog() { setConfigDialog(nullptr); }

void ConfigurationDialog::setConfigDialog(DynamicWindow* dialog) {
    if (mConfigDialog == dialog) return;
    delete mConfigDialog;
    mConfigDialog = dialog;
}

void ConfigurationDialog::show(const ucstring& tab) {
    DEBUG_SCOPE("ConfigurationDialog::show");
    if (constFMProduct() > 2) {
        DEBUG_OUT("Er.. we are running under server or wpe or something..");
        return;
    }
    if (!createDialog(tab)) {
        DEBUG_OUT("createDialog failed.");
        return;
    }
    setConfigAccepted(false);
    configDialog()->dwShow(true);
    if (configAccepted()) saveThePrefs();
    setConfigDialog(nullptr);
}

bool ConfigurationDialog::createDialog(const ucstring& tab) {
    bool addHelp;
    {
        PluginConfigLock lock(10000);
        if (!lock.held()) {
            DEBUG_OUT(u"Could not get Plugin Config Lock: " + lock.error());
            return false;
        }
        PluginPrefsEx* prefs = nullptr;
        const ucstring error = lock.get(prefs);
        if (!error.empty()) {
            DEBUG_OUT(error);
            return false;
        }
        addHelp = prefs->booleanPref(u"AddHelp", true);
    }
    const ucstring wanted = stringNormalize(tab);
    const bool withDebug = wanted == u"DEBUG" || dwModifierKeysDown();

    DWLayout& l = mutableLayout();
    setupLayout(l, kConfigRoot, true);
    l.mutableTitle() = u"Volan Pro - A FileMaker Pro Plug-in";
    DWLayoutObject* tabs = addTabControl(l, kConfigRoot, kConfigTabs);

    addTab(l, kConfigTabs, kConfigBasicsTab, u"Basics");
    addLabel(l, kConfigBasicsTab, kConfigBasicsHeading, u"Default Settings", kDWLabelBold);
    setHint(addCheckBox(l, kConfigBasicsTab, kConfigAddHelp, u"Add Help Comments to External Functions", addHelp),
            u"If Checked, Function specific Help will be added to Calculations when inserting the Plug-in's "
            u"Functions.");

    addTab(l, kConfigTabs, kConfigAboutTab, u"About");
    addFill(l, kConfigAboutTab, kAboutTopFill);
    addHBox(l, kConfigAboutTab, kAboutRow);
    addFill(l, kAboutRow, kAboutLeftFill);
    addPicture(l, kAboutRow, kConfigLogo, u"Plugin_Logo");
    if (DWLayoutObject* column = addVBox(l, kAboutRow, kAboutTextColumn)) column->setExpandableRight(false);
    addLabel(l, kAboutTextColumn, kConfigProductName, u"Volan Pro - An FTP Plug-in for FileMaker Pro.", 10, 0, 225);
    addLabel(l, kAboutTextColumn, kConfigProductVersion, u"Version " PLUGIN_VERSION, 10);
    addFill(l, kAboutTextColumn, kAboutTextFill);
    if (DWLayoutObject* row = addHBox(l, kAboutTextColumn, kConfigVisitRow)) row->setSkipExpand(true);
    addLabel(l, kConfigVisitRow, kConfigVisitLabel, u"Visit us at:");
    setHint(addLabel(l, kConfigVisitRow, kConfigVisitLink, u"" PLUGIN_MAKER_SITE, kDWLabelLink),
            u"Click to open in your Web Browser.");
    addFill(l, kAboutRow, kAboutRightFill);
    addFill(l, kConfigAboutTab, kAboutBottomFill);

    int64_t selected = wanted == u"ABOUT" ? 1 : 0;
    if (withDebug) {
        addTab(l, kConfigTabs, kConfigDebugTab, u"Debug");
        addCheckBox(l, kConfigDebugTab, kConfigDebugMode, u"Enable Debug Mode", debugMode());
        addSpace(l, kConfigDebugTab, kDebugRowSpace, 0, 4);
        addHBox(l, kConfigDebugTab, kDebugExtraRow);
        addSpace(l, kDebugExtraRow, kDebugIndent, 15, 0);
        if (DWLayoutObject* extra =
                addCheckBox(l, kDebugExtraRow, kConfigExtraInfo, u"Include Extra Information", extraDebugInfo()))
            extra->setEnabled(debugMode());
        setHint(addEdit(l, kConfigDebugTab, kConfigLogFolder, debugLogFolderName(), kDWEditReadOnly, 300),
                u"This is the location of the Debug Log Text File on your Hard Drive.");
        if (wanted == u"DEBUG") selected = 2;
    }
    if (tabs) tabs->setValue(selected);

    addHBox(l, kConfigRoot, kButtonRow);
    addFill(l, kButtonRow, kButtonFill);
    addButton(l, kButtonRow, kConfigOK, u"OK", 5, 80);
    addButton(l, kButtonRow, kConfigCancel, u"Cancel", 6, 80);

    auto* dialog = new (std::nothrow) DynamicWindow();
    if (!dialog) {
        DEBUG_OUT("Could not create configuration dialog.");
        return false;
    }
    if (!dialog->buildWindow(l, this)) {
        DEBUG_OUT("Could not build configuration dialog.");
        delete dialog;
        return false;
    }
    setConfigDialog(dialog);
    return true;
}

void ConfigurationDialog::buttonClick(DynamicWindow&, int32_t objectID) {
    // Both buttons close the dialog by their features; OK also accepts it.
    if (objectID == kConfigOK) setConfigAccepted(true);
}

void ConfigurationDialog::checkBoxChange(DynamicWindow& window, int32_t objectID, bool checked) {
    if (objectID == kConfigDebugMode) {
        setDebugMode(checked, u"" PLUGIN_NAME, u"" PLUGIN_VERSION, u"" ORB_CORE_VERSION);
        if (checked)
            window.enableLayoutObject(kConfigExtraInfo);
        else
            window.disableLayoutObject(kConfigExtraInfo);
        window.updateEditText(kConfigLogFolder, debugLogFolderName());
    } else if (objectID == kConfigExtraInfo) {
        setExtraDebugInfo(checked);
    }
}

void ConfigurationDialog::saveThePrefs() {
    PluginConfigLock lock(10000);
    if (!lock.held()) {
        DEBUG_OUT(u"Could not get Plugin Config Lock: " + lock.error());
        return;
    }
    PluginPrefsEx* prefs = nullptr;
    const ucstring error = lock.get(prefs);
    if (!error.empty()) {
        DEBUG_OUT(error);
        return;
    }
    DEBUG_OUT("Grabbing 'Basics' Tab Settings");
    int64_t addHelp = 0;
    if (configDialog() && configDialog()->getLayoutObjectValue(kConfigAddHelp, addHelp))
        prefs->setBooleanPref(u"AddHelp", addHelp != 0);
    DEBUG_OUT("Saving Prefs to HD");
    const ucstring saveError = prefs->save();
    if (saveError.empty()) return;
    DEBUG_OUT(saveError);
    messageDialog(saveError, 0);  // the user is told the settings were not kept
}

namespace {

void (*gReregisterFunctions)() = nullptr;

// The "AddHelp" preference under the configuration lock; `suffix` tells the two readings apart in
// the error texts.
ucstring readAddHelp(bool& addHelp, bool load, const char16_t* suffix) {
    PluginConfigLock lock(10000);
    if (!lock.held()) return ucstring(u"Could not get Plugin Config Lock") + suffix + u": " + lock.error();
    if (!lock.state())
        return ucstring(u"Could not get PluginPrefs Config Var") + suffix + u": Plugin Config Variables are NULL.";
    PluginPrefsEx* prefs = lock.state()->prefs.get();
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
        if (gReregisterFunctions) gReregisterFunctions();
    }
    return {};
}

namespace {

ucstring optionText(const OrbVariableArray& options, const char16_t* name, bool* given = nullptr) {
    const OrbVariable* v = nullptr;
    const bool found = options.variableWithName(name, v);
    if (given) *given = found;
    return found ? v->variableAsString(1) : ucstring();
}

bool isOneOf(const ucstring& value, std::initializer_list<const char16_t*> spellings) {
    for (const char16_t* s : spellings)
        if (value == s) return true;
    return false;
}

ucstring setPreference(PluginPrefsEx& prefs, const ucstring& name, const ucstring& value) {
    const bool on = stringParseBoolean(value);
    if (isOneOf(name, {u"DEBUGMODE", u"DEBUG MODE"})) {
        setLoggingState(0, on);
        return ucstring(on ? u"Debugging turned on; file location=" : u"Debugging turned off; file location=") +
               debugLogFolderName();
    }
    if (isOneOf(name, {u"EXTRADEBUGINFO", u"EXTRA DEBUG INFO"})) {
        setLoggingState(1, on);
        return on ? u"Extra debugging turned on." : u"Extra debugging turned off.";
    }
    if (isOneOf(name, {u"USESYSTEMLOG", u"USE SYSTEM LOG"})) {
        setLoggingState(2, on);
        return on ? u"Now also logging to the system log." : u"No longer logging to the system log.";
    }
    if (name.find(u"PASSWORD") != ucstring::npos)
        prefs.setPasswordPref(name, value);
    else if (value.find(u'\r') != ucstring::npos)
        prefs.setListPref(name, value);
    else
        prefs.setStringPref(name, value);
    return u"Preference set.";
}

ucstring getPreference(PluginPrefsEx& prefs, const ucstring& name, const OrbVariableArray& options,
                       OrbVariable& result) {
    if (isOneOf(name, {u"DEBUGMODE", u"DEBUG MODE"})) {
        result.setStringValue(debugMode() ? u"Debugging is on." : u"Debugging is off.");
    } else if (isOneOf(name, {u"EXTRADEBUGINFO", u"EXTRA DEBUG INFO"})) {
        result.setStringValue(extraDebugInfo() ? u"Extra debugging is on." : u"Extra debugging is off.");
    } else if (isOneOf(name, {u"USESYSTEMLOG", u"USE SYSTEM LOG"})) {
        result.setStringValue(useSystemLog() ? u"Logging to the system log." : u"Not logging to the system log.");
    } else if (name.find(u"PASSWORD") != ucstring::npos && prefs.prefExists(name)) {
        result.setStringValue(prefs.passwordPref(name));
    } else if (prefs.prefExists(name)) {
        const OrbVariable* v = nullptr;
        prefs.systemPrefs().variableWithName(name, v) || prefs.localPrefs().variableWithName(name, v);
        if (v->type() == OrbVariable::kList)
            result.setListValue(v->listValue());
        else
            result.setStringValue(v->variableAsString(1));
    } else {
        bool given = false;
        const ucstring fallback = optionText(options, u"PrefValue", &given);
        if (!given) return u"Could not get preference: Unknown preference name: " + name;
        // "<BLANK>" asks for an empty answer (a host calculation cannot pass an empty fallback).
        result.setStringValue(stringNormalize(fallback) == u"<BLANK>" ? ucstring() : fallback);
    }
    return {};
}

}  // namespace

ucstring pluginConfigure(const OrbVariableArray& options, OrbVariable& result) {
    const ucstring option = stringNormalize(optionText(options, u"Option"));
    const ucstring name = stringNormalize(optionText(options, u"PrefName"));
    if (option == u"SET" || option == u"GET") {
        PluginConfigLock lock(10000);
        if (!lock.held()) return u"Could not get Plugin Config Lock: " + lock.error();
        PluginPrefsEx* prefs = nullptr;
        const ucstring error = lock.get(prefs);
        if (!error.empty()) return error;
        if (option == u"GET") return getPreference(*prefs, name, options, result);

        if (name.empty()) return u"Variable Name was blank.";
        if (name.find_first_of(u"\r\n") != ucstring::npos)
            return u"Invalid Variable Name: " + name + u"; Variable Names cannot contain line breaks.";
        const bool addHelpBefore = prefs->booleanPref(u"AddHelp", true);
        // A set that cannot be saved is taken back whole, the logging switches with it.
        const PluginPrefsEx before = *prefs;
        bool loggingBefore[3];
        for (int i = 0; i < 3; ++i) loggingBefore[i] = loggingState(i);
        const ucstring confirmation = setPreference(*prefs, name, optionText(options, u"PrefValue"));
        const ucstring saveError = prefs->save();
        if (!saveError.empty()) {
            *prefs = before;
            for (int i = 0; i < 3; ++i) setLoggingState(i, loggingBefore[i]);
            return saveError;
        }
        result.setStringValue(confirmation);
        if (prefs->booleanPref(u"AddHelp", true) != addHelpBefore) {
            DEBUG_OUT("User changed the 'Add Help' setting; unregistering and reregistering functions");
            if (gReregisterFunctions) gReregisterFunctions();
        }
        return {};
    }
    // Any other option opens the configuration dialog, on the tab it names.
    const bool namedTab = isOneOf(option, {u"BASICS", u"DEBUG", u"ABOUT"});
    const ucstring error = pluginAppPrefs(namedTab ? option : ucstring(u"BASICS"));
    if (!error.empty()) return error;
    result.setStringValue(namedTab ? u"Configuration dialog shown. (Initial tab: " + option + u")"
                                   : u"Configuration dialog shown.");
    return {};
}

void setFunctionsReregister(void (*reregister)()) { gReregisterFunctions = reregister; }
