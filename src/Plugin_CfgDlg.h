// The plug-in's configuration dialog: the "AddHelp" preference (Basics), the product and its
// maker (About) and the debug log switches (Debug, shown when asked for or when Shift and Control
// are held while it opens).
#pragma once

#include "_Common/CoreCode/Orb_Variable.h"
#include "_CommonEx/GUI/DW_Window.h"

class ConfigurationDialog : public DWEvents {
public:
    ConfigurationDialog() = default;
    ConfigurationDialog(const ConfigurationDialog&) = delete;
    ConfigurationDialog& operator=(const ConfigurationDialog&) = delete;

    void buttonClick(DynamicWindow& window, int32_t objectID) override;
    void checkBoxChange(DynamicWindow& window, int32_t objectID, bool checked) override;
    ~ConfigurationDialog() override;

    virtual void setConfigAccepted(bool accepted) { mConfigAccepted = accepted; }
    virtual bool configAccepted() const { return mConfigAccepted; }
    virtual DWLayout& mutableLayout() { return mLayout; }
    virtual const DWLayout& layout() const { return mLayout; }
    virtual void setConfigDialog(DynamicWindow* dialog);  // takes ownership
    virtual DynamicWindow* configDialog() const { return mConfigDialog; }

    // Shows the dialog modally, opened to the tab named "BASICS", "ABOUT" or "DEBUG" (any case;
    // the first tab otherwise), and saves the preferences when it is closed with OK.
    void show(const ucstring& tab);
    bool createDialog(const ucstring& tab);
    void saveThePrefs();

private:
    bool mConfigAccepted = false;
    DWLayout mLayout;
    DynamicWindow* mConfigDialog = nullptr;
};

// Object IDs of the configuration dialog.
enum : int32_t {
    kConfigRoot = 700,
    kConfigTabs = 701,
    kConfigBasicsTab = 702,
    kConfigBasicsHeading = 703,
    kConfigAddHelp = 203,
    kConfigAboutTab = 704,
    kConfigProductName = 709,
    kConfigProductVersion = 710,
    kConfigLogo = 713,
    kConfigVisitRow = 715,
    kConfigVisitLabel = 716,
    kConfigVisitLink = 717,
    kConfigDebugTab = 719,
    kConfigDebugMode = 204,
    kConfigExtraInfo = 205,
    kConfigLogFolder = 206,
    kConfigOK = 100,
    kConfigCancel = 101,
};

// What the host's Configure button runs: shows the configuration dialog opened to a tab.
// Returns an error text, empty on success.
[[nodiscard]] ucstring pluginAppPrefs(const ucstring& initialTab);

// The Configure operation behind Volan_Configure, the Version options and the Configure script
// steps: options "Option", "PrefName", "PrefValue". Sets the result or returns an error text.
[[nodiscard]] ucstring pluginConfigure(const OrbVariableArray& options, OrbVariable& result);
// Registers the functions again, when a change of "AddHelp" asks for it; set at init.
void setFunctionsReregister(void (*reregister)());
