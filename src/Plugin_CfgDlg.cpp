#include "Plugin_CfgDlg.h"

#include "Orb_Debug.h"
#include "Plugin_Config.h"
#include "Plugin_Version.h"
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
        const ucstring error = getPluginConfigObject(u"PluginPrefs", prefs);
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
    const ucstring error = getPluginConfigObject(u"PluginPrefs", prefs);
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
