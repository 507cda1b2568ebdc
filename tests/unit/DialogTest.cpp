// The message and input dialogs and the configuration dialog, on the headless backend: their
// windows are read back while they are open (through the modal hook) and answered by script.
#include "Orb_Debug.h"
#include "Orb_DebugFiles.h"
#include "Plugin_CfgDlg.h"
#include "Plugin_Config.h"
#include "Plugin_Main.h"
#include "Plugin_Thread.h"
#include "_Common/FMPlugin/Plugin_FMXExtensions.h"
#include "_Common/FMPlugin/Plugin_Prefs.h"
#include "_CommonEx/GUI/DW_Dialogs.h"

#include <dirent.h>
#include <fmhost/Host.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace {

struct Shown {
    std::vector<std::pair<int32_t, uint16_t>> row;  // the button row: IDs (fills too) and features
    DWLayoutObject message;
    DWLayout layout;
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        dwSetBackend(DWBackendKind::Headless);
        dwClearAnswers();
    }
    void TearDown() override {
        dwSetModalHook({});
        dwClearAnswers();
    }
    // Reads the dialog back while it is open; the dialog then goes on with the scripted answers.
    void watch(Shown& shown) {
        dwSetModalHook([&shown](DynamicWindow& w) {
            shown.layout = w.layoutState();
            shown.row.clear();
            if (const DWLayoutObject* row = shown.layout.findObject(kDialogButtonRowID))
                for (const DWLayoutObject& c : row->children()) shown.row.emplace_back(c.objectID(), c.features());
            w.objectState(kDialogMessageID, shown.message);
        });
    }
};

using Row = std::vector<std::pair<int32_t, uint16_t>>;

}  // namespace

TEST_F(DialogTest, MessageDialogButtonSets) {
    // Buttons left to right with their features; 103 and 104 are the fills.
    const Row expected[8] = {
        {{103, 0}, {1, 5}, {104, 0}},       {{103, 0}, {2, 7}, {104, 0}},       {{103, 0}, {1, 5}, {2, 6}},
        {{103, 0}, {1, 4}, {2, 7}},         {{103, 0}, {3, 5}, {4, 6}},         {{103, 0}, {3, 4}, {4, 7}},
        {{3, 5}, {4, 4}, {103, 0}, {2, 6}}, {{3, 4}, {4, 5}, {103, 0}, {2, 6}},
    };
    // Unanswered, each is cancelled: Escape presses the button with feature 2, or the close box.
    const int32_t cancelled[8] = {0, 2, 2, 2, 4, 4, 2, 2};
    Shown shown;
    watch(shown);
    for (int32_t type = 0; type < 8; ++type) {
        EXPECT_EQ(messageDialog(u"Proceed?", type), cancelled[type]) << "type " << type;
        EXPECT_EQ(shown.row, expected[type]) << "type " << type;
    }
    EXPECT_EQ(messageDialog(u"Odd type", 12), 0);
    EXPECT_EQ(shown.row, expected[0]);
}

TEST_F(DialogTest, MessageDialogAnswersByButton) {
    Shown shown;
    watch(shown);
    const struct {
        int32_t type;
        const char16_t* answer;
        int32_t result;
    } cases[] = {{0, u"OK", 1}, {2, u"cancel", 2}, {4, u"Yes", 3}, {5, u"no", 4}, {7, u"Cancel", 2}, {6, u"3", 3}};
    for (const auto& c : cases) {
        dwQueueAnswer({c.answer, u"", false});
        EXPECT_EQ(messageDialog(u"Question", c.type, u"Title"), c.result) << c.type;
        EXPECT_EQ(shown.layout.title(), u"Title");
    }
    // Type 1's single Cancel answers both Enter and Escape.
    for (auto key : {DWUserAction::kAcceptKey, DWUserAction::kCancelKey}) {
        dwSetModalHook([key](DynamicWindow& w) { w.postAction({key, 0, 0, {}, false}); });
        EXPECT_EQ(messageDialog(u"Stop", 1), 2);
    }
    // Enter on type 7 is No; on type 6 it is Yes.
    dwSetModalHook([](DynamicWindow& w) { w.postAction({DWUserAction::kAcceptKey, 0, 0, {}, false}); });
    EXPECT_EQ(messageDialog(u"Save?", 7), 4);
    EXPECT_EQ(messageDialog(u"Save?", 6), 3);
}

TEST_F(DialogTest, MessageWidthRule) {
    Shown shown;
    watch(shown);
    messageDialog(u"One line only", 0);
    EXPECT_EQ(shown.message.maxWidth(), 400);
    EXPECT_EQ(shown.message.text(), u"One line only");
    messageDialog(u"Two\rlines", 0);
    EXPECT_EQ(shown.message.maxWidth(), 0);
    messageDialog(u"One line", 0, u"", nullptr, u"", 250);
    EXPECT_EQ(shown.message.maxWidth(), 250);
    simpleMessageDialog(u"Two\rlines", 300, 2);
    EXPECT_EQ(shown.message.maxWidth(), 300);
    EXPECT_EQ(shown.row, (Row{{103, 0}, {1, 5}, {2, 6}}));
    // A long line wraps at 400 pixels (57 characters of 7 pixels here).
    messageDialog(ucstring(100, u'x'), 0);
    EXPECT_EQ(shown.message.aWidth(), 399);
    EXPECT_EQ(shown.message.aHeight(), 2 * 17);
}

TEST_F(DialogTest, SuppressionCheckBox) {
    Shown shown;
    watch(shown);
    bool suppress = false;
    messageDialog(u"Note", 0, u"", &suppress);
    ASSERT_FALSE(shown.row.empty());
    EXPECT_EQ(shown.row.front().first, kDialogSuppressID);
    EXPECT_EQ(shown.layout.findObject(kDialogSuppressID)->text(), u"Do not show this dialog again.");
    // With a check box the single button is not centred: no second fill.
    EXPECT_EQ(shown.row, (Row{{90, 0}, {103, 0}, {1, 5}}));
    EXPECT_FALSE(suppress);

    // Its last state comes back; types 6 and 7 put it before Yes.
    dwSetModalHook([&shown](DynamicWindow& w) {
        shown.layout = w.layoutState();
        w.postCheckBoxChange(kDialogSuppressID, true);
        w.postButtonClick(kDialogNo);
    });
    EXPECT_EQ(messageDialog(u"Replace?", 6, u"", &suppress, u"  Always do this  "), kDialogNo);
    EXPECT_TRUE(suppress);
    EXPECT_EQ(shown.layout.findObject(kDialogSuppressID)->text(), u"Always do this");
    const auto& row = shown.layout.findObject(kDialogButtonRowID)->children();
    EXPECT_EQ(row.front().objectID(), kDialogSuppressID);
    EXPECT_EQ(std::next(row.begin())->objectID(), kDialogYes);

    // A flag that comes in set shows a ticked box.
    dwSetModalHook([&shown](DynamicWindow& w) { shown.layout = w.layoutState(); });
    messageDialog(u"Again", 0, u"", &suppress);
    EXPECT_EQ(shown.layout.findObject(kDialogSuppressID)->value(), 1);
    EXPECT_TRUE(suppress);
}

TEST_F(DialogTest, InputDialogAnswers) {
    Shown shown;
    int32_t focus = 0;
    dwSetModalHook([&](DynamicWindow& w) {
        shown.layout = w.layoutState();
        focus = w.focusedObject();
    });
    ucstring answer = u"initial";
    dwQueueAnswer(dwParseAnswers("OK:typed text")[0]);
    EXPECT_EQ(inputDialog(u"Name:", answer, false, u"New Account"), kDialogOK);
    EXPECT_EQ(answer, u"typed text");
    EXPECT_EQ(focus, kDialogEditID);
    EXPECT_EQ(shown.layout.title(), u"New Account");
    const DWLayoutObject* edit = shown.layout.findObject(kDialogEditID);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), u"initial");  // what it showed first
    EXPECT_EQ(edit->features(), 0);
    EXPECT_EQ(shown.layout.findObject(kDialogOK)->features(), 5);
    EXPECT_EQ(shown.layout.findObject(kDialogCancel)->features(), 6);
    EXPECT_EQ(shown.layout.findObject(kDialogMessageID)->maxWidth(), 400);

    dwQueueAnswer({u"Cancel", u"ignored", true});
    EXPECT_EQ(inputDialog(u"Name:", answer), kDialogCancel);
    EXPECT_EQ(answer, u"typed text");  // unchanged

    EXPECT_EQ(inputDialog(u"Name:", answer), kDialogCancel);  // no answer left
    EXPECT_EQ(answer, u"typed text");

    dwQueueAnswer({u"OK", u"", true});
    EXPECT_EQ(inputDialog(u"Name:", answer), kDialogOK);
    EXPECT_EQ(answer, u"");

    dwQueueAnswer({u"OK", u"pw", true});
    EXPECT_EQ(inputDialog(u"Password:", answer, true), kDialogOK);
    EXPECT_EQ(answer, u"pw");
    EXPECT_EQ(shown.layout.findObject(kDialogEditID)->features(), kDWEditPassword);
}

namespace {

std::string everythingIn(const std::string& folder) {
    std::string all;
    DIR* d = opendir(folder.c_str());
    if (!d) return all;
    while (dirent* e = readdir(d)) {
        if (e->d_name[0] == '.') continue;
        const std::string path = folder + "/" + e->d_name;
        struct stat st {};
        if (stat(path.c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) {
            all += everythingIn(path);
        } else {
            std::ifstream in(path, std::ios::binary);
            std::stringstream s;
            s << in.rdbuf();
            all += s.str();
        }
    }
    closedir(d);
    return all;
}

}  // namespace

TEST_F(DialogTest, PasswordsNeverReachTheDebugLog) {
    char folder[] = "/tmp/volan-dialog-log-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::u16string savedFolder = mutableDebugLogFolderName();
    mutableDebugLogFolderName() = std::u16string(folder, folder + strlen(folder));
    setDebugMode(true, u"Volan Pro", u"3.0.1", u"5.5.1");

    ucstring answer;
    dwQueueAnswer({u"OK", u"s3cret-Typed-Here", true});
    EXPECT_EQ(inputDialog(u"Password for 'site':", answer, true), kDialogOK);
    EXPECT_EQ(answer, u"s3cret-Typed-Here");
    dwQueueAnswer({u"OK", u"plain-Visible-Marker", true});
    EXPECT_EQ(inputDialog(u"Name:", answer, false), kDialogOK);

    setDebugMode(false, u"Volan Pro", u"3.0.1", u"5.5.1");
    mutableDebugLogFolderName() = savedFolder;
    const std::string log = everythingIn(folder);
    EXPECT_EQ(log.find("s3cret-Typed-Here"), std::string::npos);
    // Once the log writes files, the other dialog's line shows it was listening.
    if (log.find("Input Dialog: ") != std::string::npos) {
        EXPECT_NE(log.find("Input Dialog: Password for 'site':; Result: [CENSORED]"), std::string::npos);
        EXPECT_NE(log.find("plain-Visible-Marker"), std::string::npos);
    }
    std::system((std::string("rm -rf ") + folder).c_str());
}

// ---- The configuration dialog ----------------------------------------------------------------------

namespace {

class ConfigurationDialogTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        fmhost::HostState::get().reset();
        startupPluginThread(57, product, u"Pro 16.0.1");
        loadFMXAPIExtensions();
        pluginRegisterFunctions();
    }
    void TearDown() override {
        pluginUnregisterFunctions();
        shutdownPluginThread();
        DialogTest::TearDown();
    }
    static bool addHelp() {
        PluginConfigLock lock(1000);
        PluginPrefsEx* prefs = nullptr;
        EXPECT_EQ(PluginConfigLock(1000).get(prefs), u"");
        return prefs && prefs->booleanPref(u"AddHelp", true);
    }
    static std::u16string prototype() {
        const fmhost::RegisteredFunction* f = fmhost::HostState::get().findFunction(u"Volan_StatusWindow");
        return f ? f->prototype : u"(not registered)";
    }
    uint8_t product = 1;
};

class ServerConfigurationDialogTest : public ConfigurationDialogTest {
protected:
    ServerConfigurationDialogTest() { product = 3; }
};

}  // namespace

TEST_F(ConfigurationDialogTest, TabsAndTheirControls) {
    DWLayout shown;
    dwSetModalHook([&](DynamicWindow& w) { shown = w.layoutState(); });
    ConfigurationDialog dialog;
    dialog.show(u"");
    EXPECT_EQ(shown.title(), u"Volan Pro - A FileMaker Pro Plug-in");
    ASSERT_NE(shown.findObject(kConfigTabs), nullptr);
    EXPECT_EQ(shown.findObject(kConfigTabs)->value(), 0);
    EXPECT_EQ(shown.findObject(kConfigTabs)->children().size(), 2u);  // no Debug tab
    EXPECT_EQ(shown.findObject(kConfigDebugTab), nullptr);
    EXPECT_EQ(shown.findObject(kConfigAddHelp)->text(), u"Add Help Comments to External Functions");
    EXPECT_EQ(shown.findObject(kConfigAddHelp)->value(), 1);
    EXPECT_NE(shown.findObject(kConfigAddHelp)->hint().find(u"Function specific Help"), ucstring::npos);
    EXPECT_EQ(shown.findObject(kConfigProductName)->text(), u"Volan Pro - An FTP Plug-in for FileMaker Pro.");
    EXPECT_EQ(shown.findObject(kConfigProductName)->maxWidth(), 225);
    EXPECT_EQ(shown.findObject(kConfigProductName)->features(), 10);
    EXPECT_EQ(shown.findObject(kConfigProductVersion)->text(), u"Version 3.0.1");
    EXPECT_EQ(shown.findObject(kConfigLogo)->type(), kDWTypePicture);
    EXPECT_EQ(shown.findObject(kConfigLogo)->text(), u"Plugin_Logo");
    EXPECT_EQ(shown.findObject(kConfigVisitLink)->hint(), u"Click to open in your Web Browser.");
    EXPECT_EQ(shown.findObject(kConfigOK)->features(), 5);
    EXPECT_EQ(shown.findObject(kConfigCancel)->features(), 6);
    EXPECT_EQ(dialog.configDialog(), nullptr);  // destroyed when it closed

    dialog.show(u" about ");
    EXPECT_EQ(shown.findObject(kConfigTabs)->value(), 1);
    dialog.show(u"Nothing");
    EXPECT_EQ(shown.findObject(kConfigTabs)->value(), 0);

    dialog.show(u"debug");  // shows the Debug tab without the modifier keys
    EXPECT_EQ(shown.findObject(kConfigTabs)->value(), 2);
    const DWLayoutObject* debugTab = shown.findObject(kConfigDebugTab);
    ASSERT_NE(debugTab, nullptr);
    EXPECT_EQ(debugTab->text(), u"Debug");
    EXPECT_EQ(shown.findObject(kConfigDebugMode)->value(), 0);
    EXPECT_FALSE(shown.findObject(kConfigExtraInfo)->enabled());
    EXPECT_EQ(shown.findObject(kConfigLogFolder)->minWidth(), 300);
    EXPECT_EQ(shown.findObject(722)->minWidth(), 15);
    EXPECT_EQ(shown.findObject(722)->maxWidth(), 15);
}

TEST_F(ConfigurationDialogTest, DebugSwitchesApplyAtOnce) {
    DWLayout during;
    dwSetModalHook([&](DynamicWindow& w) {
        w.postCheckBoxChange(kConfigDebugMode, true);
        w.postCheckBoxChange(kConfigExtraInfo, true);
        dwPumpMessages();
        during = w.layoutState();
        w.postCheckBoxChange(kConfigExtraInfo, false);
        w.postCheckBoxChange(kConfigDebugMode, false);
        w.postButtonClick(kConfigCancel);  // not by OK: they are applied already
    });
    ConfigurationDialog dialog;
    dialog.show(u"DEBUG");
    EXPECT_TRUE(during.findObject(kConfigExtraInfo)->enabled());
    // Turning debug mode on chose the log folder; the edit shows it.
    EXPECT_EQ(during.findObject(kConfigLogFolder)->text(), debugLogFolderName());
    EXPECT_FALSE(debugMode());
    EXPECT_FALSE(extraDebugInfo());
    EXPECT_FALSE(dialog.configAccepted());

    dwSetModalHook([&](DynamicWindow& w) {
        w.postCheckBoxChange(kConfigExtraInfo, true);  // disabled while debug mode is off
        w.postButtonClick(kConfigCancel);
    });
    dialog.show(u"DEBUG");
    EXPECT_FALSE(extraDebugInfo());
}

TEST_F(ConfigurationDialogTest, OKSavesAddHelpAndReregistersTheFunctions) {
    const std::u16string withHelp = prototype();
    EXPECT_NE(withHelp.find(u"/*"), std::u16string::npos);

    // Cancel changes nothing.
    dwSetModalHook([](DynamicWindow& w) {
        w.postCheckBoxChange(kConfigAddHelp, false);
        w.postButtonClick(kConfigCancel);
    });
    EXPECT_EQ(pluginAppPrefs(u""), u"");
    EXPECT_TRUE(addHelp());
    EXPECT_EQ(prototype(), withHelp);

    dwSetModalHook([](DynamicWindow& w) {
        w.postCheckBoxChange(kConfigAddHelp, false);
        w.postButtonClick(kConfigOK);
    });
    EXPECT_EQ(pluginAppPrefs(u"basics"), u"");
    EXPECT_FALSE(addHelp());
    EXPECT_EQ(prototype(), u"Volan_StatusWindow ( Action {; Left {; Top {; WindowTitle {; WindowText }}}} )");
    EXPECT_EQ(fmhost::HostState::get().functions.size(), 61u);

    // Enter is OK.
    dwSetModalHook([](DynamicWindow& w) {
        w.postCheckBoxChange(kConfigAddHelp, true);
        w.postAction({DWUserAction::kAcceptKey, 0, 0, {}, false});
    });
    EXPECT_EQ(pluginAppPrefs(u""), u"");
    EXPECT_TRUE(addHelp());
    EXPECT_EQ(prototype(), withHelp);
}

TEST_F(ServerConfigurationDialogTest, NothingIsShownOnServerProducts) {
    bool shown = false;
    dwSetModalHook([&](DynamicWindow&) { shown = true; });
    EXPECT_EQ(pluginAppPrefs(u""),
              u"You cannot open the Configuration Dialog with this FileMaker Product (Server, Web Publishing "
              u"Engine).");
    ConfigurationDialog dialog;
    dialog.show(u"DEBUG");
    EXPECT_FALSE(shown);
}
