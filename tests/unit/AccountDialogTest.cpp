// The account dialog on the headless backend, opened through Volan_ConfigureAccount: a script acts
// on the open dialog as a user would (typing, choosing, clicking), the nested message and input
// dialogs take scripted answers, and the account files on disk are read back.
#include "Plugin_Config.h"
#include "Plugin_Thread.h"
#include "Support/FTPAccount.h"
#include "Support/FTPAccountDialog.h"
#include "_Common/FMPlugin/Plugin_FMXExtensions.h"
#include "_Common/Strings/Orb_FMXText.h"
#include "_CommonEx/GUI/DW_Dialogs.h"
#include "functions/Functions.h"

#include <fmhost/Host.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const std::u16string kTitle = u"Volan Pro - FTP Account Configuration";

fs::path accountsFolderOnDisk() {
    return fs::path(std::getenv("XDG_DATA_HOME")) / "Orb" / "Volan Pro" / "3.0" / "Accounts";
}

// The value of one "Key=value" line of an account file; "<none>" when the key is missing.
std::string fileKey(const std::string& account, const std::string& key) {
    std::ifstream in(accountsFolderOnDisk() / account, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    }
    return "<none>";
}

// A message or input dialog that opened over the account dialog.
struct Nested {
    std::u16string title;
    std::u16string message;
};

class AccountDialog : public ::testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(fs::path(std::getenv("XDG_DATA_HOME")) / "Orb");
        dwSetBackend(DWBackendKind::Headless);
        dwClearAnswers();
        startupPluginThread(57, 1, u"Pro 16.0.1");
        loadFMXAPIExtensions();
        env = fmhost::environmentFor(7);
        dwSetModalHook([this](DynamicWindow& w) {
            if (w.title() == kTitle) {
                ++opened;
                if (script) script(w);
                return;
            }
            DWLayoutObject message;
            w.objectState(kDialogMessageID, message);
            nested.push_back({w.title(), message.text()});
        });
    }
    void TearDown() override {
        dwSetModalHook({});
        dwClearAnswers();
        shutdownPluginThread();
    }

    std::u16string configure(const std::u16string* name = nullptr) {
        fmx::DataVectUniquePtr args;
        if (name) {
            fmx::DataUniquePtr d;
            fmx::TextUniquePtr t;
            fmx::LocaleUniquePtr locale;
            t->AssignUnicodeWithLength(name->data(), static_cast<fmx::uint32>(name->size()));
            d->SetAsText(*t, *locale);
            args->PushBack(*d);
        }
        fmx::DataUniquePtr result;
        EXPECT_EQ(ConfigureAccountFunctionCallback(60, *env, *args, *result), 0);
        return ucstringFromFMXText(result->GetAsText());
    }
    std::u16string configure(const std::u16string& name) { return configure(&name); }

    // Accounts made beforehand, as Volan_AddAccount and Volan_SetAccountOption would.
    void makeAccount(const std::u16string& name, const std::u16string& host, const std::u16string& password = u"") {
        PluginConfigLock lock(1000);
        ASSERT_TRUE(lock.held());
        std::u16string error, confirmation;
        ASSERT_TRUE(accounts().addAccount(error, name)) << std::string(error.begin(), error.end());
        FTPAccount* a = accounts().findAccount(name);
        ASSERT_NE(a, nullptr);
        a->setOption("HOST", host, confirmation, error);
        if (!password.empty()) a->setOption("PASSWORD", password, confirmation, error);
        EXPECT_EQ(accounts().saveAccounts(), u"");
    }
    FTPAccounts& accounts() {
        FTPAccounts* a = nullptr;
        EXPECT_EQ(PluginConfigLock(1000).get(a), u"");
        return *a;
    }

    // What a user does, carried out at once (the nested dialogs take the queued answers).
    static void type(DynamicWindow& w, int32_t id, const std::u16string& text) {
        w.postEditText(id, text);
        dwPumpMessages();
    }
    static void press(DynamicWindow& w, int32_t id) {
        w.postButtonClick(id);
        dwPumpMessages();
    }
    static void choose(DynamicWindow& w, int32_t id, int64_t index) {
        w.postValueChange(id, index);
        dwPumpMessages();
    }
    static void tick(DynamicWindow& w, int32_t id, bool on) {
        w.postCheckBoxChange(id, on);
        dwPumpMessages();
    }
    static void answer(const std::u16string& button, const std::u16string* text = nullptr) {
        DWAnswer a;
        a.button = button;
        if (text) a.text = *text, a.hasText = true;
        dwQueueAnswer(a);
    }
    static DWLayoutObject state(DynamicWindow& w, int32_t id) {
        DWLayoutObject o;
        EXPECT_TRUE(w.objectState(id, o)) << id;
        return o;
    }

    std::shared_ptr<fmx::ExprEnv> env;
    std::function<void(DynamicWindow&)> script;
    std::vector<Nested> nested;
    int opened = 0;
};

}  // namespace

TEST_F(AccountDialog, AddEditAndRemoveThroughTheSelector) {
    script = [&](DynamicWindow& w) {
        // No accounts yet: nothing to edit, and Save says so.
        EXPECT_TRUE(state(w, kAccountSelector).items().empty());
        EXPECT_FALSE(state(w, kAccountHost).enabled());
        EXPECT_EQ(state(w, kAccountTimeout).text(), u"15");
        EXPECT_EQ(state(w, kAccountSelector).hint(), u"Select the Account you want to Configure.");
        EXPECT_EQ(state(w, kAccountSecureType).items(),
                  (ucstringlist{u"None (Off)", u"After Connect (AUTH TLS)", u"Before Connect (Secure Port)", u"SSH"}));
        answer(u"OK");
        press(w, kAccountSave);
        ASSERT_EQ(nested.size(), 1u);
        EXPECT_EQ(nested[0].message, u"You must select at least one account.");

        const std::u16string name = u"Backup Site";
        answer(u"OK", &name);
        press(w, kAccountAdd);
        ASSERT_EQ(nested.size(), 2u);
        EXPECT_EQ(nested[1].title, u"New Account");
        EXPECT_EQ(nested[1].message, u"Please enter a name for this new account:");
        EXPECT_EQ(state(w, kAccountSelector).items(), ucstringlist{u"Backup Site"});
        EXPECT_EQ(state(w, kAccountSelector).value(), 0);
        EXPECT_EQ(state(w, kAccountName).text(), u"Backup Site");
        EXPECT_TRUE(state(w, kAccountHost).enabled());
        EXPECT_EQ(fileKey("Backup Site", "Name"), "Backup Site") << "the new account is on disk at once";

        type(w, kAccountHost, u"ftp.example.net");
        type(w, kAccountPort, u"2121");
        type(w, kAccountUsername, u"alice");
        type(w, kAccountPassword, u"s3cret");
        choose(w, kAccountSecureType, 2);
        type(w, kAccountTimeout, u"");
        tick(w, kAccountPassive, false);
        type(w, kAccountRangeStart, u"50000");
        type(w, kAccountRangeEnd, u"");
        press(w, kAccountSave);
        EXPECT_EQ(nested.size(), 2u) << "a valid save asks nothing";
        EXPECT_EQ(fileKey("Backup Site", "Host"), "ftp.example.net");
        EXPECT_EQ(fileKey("Backup Site", "Port"), "2121");
        EXPECT_EQ(fileKey("Backup Site", "Username"), "alice");
        EXPECT_NE(fileKey("Backup Site", "Password"), "s3cret") << "stored scrambled";
        EXPECT_EQ(decryptPassword(fileKey("Backup Site", "Password")), "s3cret");
        EXPECT_EQ(fileKey("Backup Site", "PromptForPassword"), "0");
        EXPECT_EQ(fileKey("Backup Site", "SecureType"), "BeforeConnect");
        EXPECT_EQ(fileKey("Backup Site", "Timeout"), "0") << "an empty timeout is 0, not clamped";
        EXPECT_EQ(fileKey("Backup Site", "Passive"), "0");
        EXPECT_EQ(fileKey("Backup Site", "DataPortRangeStart"), "50000");
        EXPECT_EQ(fileKey("Backup Site", "DataPortRangeEnd"), "0");

        // The empty port is the protocol's default.
        type(w, kAccountPort, u" ");
        press(w, kAccountSave);
        EXPECT_EQ(fileKey("Backup Site", "Port"), "-1");

        // "-" answered No keeps the account; Yes removes it and its file.
        answer(u"No");
        press(w, kAccountRemove);
        ASSERT_EQ(nested.size(), 3u);
        EXPECT_EQ(nested[2].title, u"Remove Account?");
        EXPECT_EQ(nested[2].message, u"Are you sure you want to remove the account named 'Backup Site'?");
        EXPECT_TRUE(fs::exists(accountsFolderOnDisk() / "Backup Site"));
        answer(u"Yes");
        press(w, kAccountRemove);
        EXPECT_FALSE(fs::exists(accountsFolderOnDisk() / "Backup Site"));
        EXPECT_TRUE(state(w, kAccountSelector).items().empty());
        EXPECT_EQ(state(w, kAccountSelector).value(), -1);
        EXPECT_EQ(state(w, kAccountHost).text(), u"");
        EXPECT_FALSE(state(w, kAccountHost).enabled());
        press(w, kAccountClose);
        EXPECT_FALSE(w.isOpen());
    };
    EXPECT_EQ(configure(), u"FTP accounts configured.");
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(nested.size(), 4u);
    PluginConfigLock lock(1000);
    EXPECT_TRUE(accounts().accounts().empty());
}

TEST_F(AccountDialog, UnsavedEditsAskBeforeSwitchingOrClosing) {
    makeAccount(u"Alpha", u"alpha.example");
    makeAccount(u"Beta", u"beta.example");
    script = [&](DynamicWindow& w) {
        EXPECT_EQ(state(w, kAccountSelector).items(), (ucstringlist{u"Alpha", u"Beta"}));
        EXPECT_EQ(state(w, kAccountHost).text(), u"alpha.example");

        // A field typed and typed back is no change: switching asks nothing.
        type(w, kAccountHost, u"typo");
        type(w, kAccountHost, u"alpha.example");
        choose(w, kAccountSelector, 1);
        EXPECT_TRUE(nested.empty());
        EXPECT_EQ(state(w, kAccountHost).text(), u"beta.example");
        choose(w, kAccountSelector, 0);

        // Cancel stays with the edits, the selector back on their account.
        type(w, kAccountHost, u"edited.example");
        answer(u"Cancel");
        choose(w, kAccountSelector, 1);
        ASSERT_EQ(nested.size(), 1u);
        EXPECT_EQ(nested[0].title, u"Save Changes?");
        EXPECT_EQ(nested[0].message, u"You have made changes to this Account.\rDo you want to save these changes?");
        EXPECT_EQ(state(w, kAccountSelector).value(), 0);
        EXPECT_EQ(state(w, kAccountHost).text(), u"edited.example");

        // No drops them.
        answer(u"No");
        choose(w, kAccountSelector, 1);
        EXPECT_EQ(state(w, kAccountHost).text(), u"beta.example");
        EXPECT_EQ(fileKey("Alpha", "Host"), "alpha.example");

        // Yes on switching saves them first.
        type(w, kAccountHost, u"beta2.example");
        answer(u"Yes");
        choose(w, kAccountSelector, 0);
        EXPECT_EQ(fileKey("Beta", "Host"), "beta2.example");
        EXPECT_EQ(state(w, kAccountHost).text(), u"alpha.example");

        // Closing asks too (the lower-case spelling); Cancel keeps the dialog open.
        type(w, kAccountUsername, u"carol");
        answer(u"Cancel");
        press(w, kAccountClose);
        ASSERT_EQ(nested.size(), 4u);
        EXPECT_EQ(nested[3].message, u"You have made changes to this account.\rDo you want to save these changes?");
        EXPECT_TRUE(w.isOpen());
        answer(u"Yes");
        press(w, kAccountClose);
        EXPECT_FALSE(w.isOpen());
    };
    EXPECT_EQ(configure(), u"FTP accounts configured.");
    EXPECT_EQ(fileKey("Alpha", "Username"), "carol");
    EXPECT_EQ(fileKey("Alpha", "Host"), "alpha.example");
}

TEST_F(AccountDialog, TheWindowsCloseBoxAsksAboutEditsToo) {
    makeAccount(u"Alpha", u"alpha.example");
    script = [&](DynamicWindow& w) {
        type(w, kAccountHost, u"lost.example");
        answer(u"No");
        w.postCloseBoxClick();
        dwPumpMessages();
        EXPECT_EQ(nested.size(), 1u);
        EXPECT_FALSE(w.isOpen());
    };
    EXPECT_EQ(configure(), u"FTP accounts configured.");
    EXPECT_EQ(fileKey("Alpha", "Host"), "alpha.example");
}

TEST_F(AccountDialog, OneAccountPromptingForItsPassword) {
    makeAccount(u"Gamma", u"gamma.example", u"pw123");
    EXPECT_EQ(fileKey("Gamma", "PromptForPassword"), "0");
    script = [&](DynamicWindow& w) {
        DWLayoutObject none;
        EXPECT_FALSE(w.objectState(kAccountSelector, none)) << "no selector for a single account";
        EXPECT_FALSE(w.objectState(kAccountAdd, none));
        EXPECT_EQ(state(w, kAccountPassword).text(), u"pw123");
        EXPECT_TRUE(state(w, kAccountPassword).features() & kDWEditPassword);
        tick(w, kAccountPromptPassword, true);
        EXPECT_FALSE(state(w, kAccountPassword).enabled());
        press(w, kAccountSave);
        press(w, kAccountClose);
    };
    EXPECT_EQ(configure(u" gamma "), u"gamma configured.");
    EXPECT_EQ(fileKey("Gamma", "PromptForPassword"), "1");
    EXPECT_EQ(fileKey("Gamma", "Password"), "");
    EXPECT_EQ(fileKey("Gamma", "Host"), "gamma.example");
    PluginConfigLock lock(1000);
    ASSERT_NE(accounts().findAccount(u"Gamma"), nullptr);
    EXPECT_EQ(accounts().findAccount(u"Gamma")->password(), "");
}

TEST_F(AccountDialog, ANameMustStayPresentAndItsOwn) {
    makeAccount(u"Alpha", u"alpha.example");
    makeAccount(u"Beta", u"beta.example");
    script = [&](DynamicWindow& w) {
        type(w, kAccountName, u"  ");
        answer(u"OK");
        press(w, kAccountSave);
        type(w, kAccountName, u"beta ");
        answer(u"OK");
        press(w, kAccountSave);
        ASSERT_EQ(nested.size(), 2u);
        EXPECT_EQ(nested[0].message, u"You must specify a name for the New Account.");
        EXPECT_EQ(nested[1].message, u"There is already an Account with the Name 'beta'.");
        EXPECT_EQ(fileKey("Alpha", "Name"), "Alpha");

        // A rename keeps the account's file and shows in the selector, in its place.
        type(w, kAccountName, u"Aardvark");
        press(w, kAccountSave);
        EXPECT_EQ(state(w, kAccountSelector).items(), (ucstringlist{u"Aardvark", u"Beta"}));
        EXPECT_EQ(state(w, kAccountSelector).value(), 0);
        press(w, kAccountClose);
    };
    EXPECT_EQ(configure(), u"FTP accounts configured.");
    EXPECT_EQ(fileKey("Alpha", "Name"), "Aardvark");
    EXPECT_EQ(fileKey("Beta", "Name"), "Beta");
}

TEST_F(AccountDialog, AddingATakenNameIsRefused) {
    makeAccount(u"Alpha", u"alpha.example");
    script = [&](DynamicWindow& w) {
        const std::u16string taken = u"ALPHA";
        answer(u"OK", &taken);
        answer(u"OK");
        press(w, kAccountAdd);
        ASSERT_EQ(nested.size(), 2u);
        EXPECT_EQ(nested[1].message, u"There is already an Account with the Name 'ALPHA'.");
        EXPECT_EQ(state(w, kAccountSelector).items(), ucstringlist{u"Alpha"});
        // Cancelling the name adds nothing.
        answer(u"Cancel");
        press(w, kAccountAdd);
        EXPECT_EQ(state(w, kAccountSelector).items(), ucstringlist{u"Alpha"});
        press(w, kAccountClose);
    };
    EXPECT_EQ(configure(), u"FTP accounts configured.");
    PluginConfigLock lock(1000);
    EXPECT_EQ(accounts().accounts().size(), 1u);
}

TEST_F(AccountDialog, UnknownAccountsAndAnUnansweredDialog) {
    EXPECT_EQ(configure(u"nobody"), u"ERROR: ConfigureAccount: Could not find account named 'nobody'.");
    EXPECT_EQ(opened, 0);
    {
        PluginConfigLock lock(1000);
        EXPECT_EQ(accounts().showAccountDialog(u"nobody"), u"Could not find Account named 'nobody'.");
    }
    // Nobody at the screen: the headless dialog is closed by its Escape button.
    makeAccount(u"Delta", u"delta.example");
    EXPECT_EQ(configure(u"Delta"), u"Delta configured.");
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(fileKey("Delta", "Host"), "delta.example");
}

TEST_F(AccountDialog, OnlyOneAccountDialogAtATime) {
    makeAccount(u"Alpha", u"alpha.example");
    std::u16string second;
    script = [&](DynamicWindow& w) {
        second = configure(u"Alpha");
        press(w, kAccountClose);
    };
    EXPECT_EQ(configure(), u"FTP accounts configured.");
    EXPECT_EQ(second,
              u"ERROR: ConfigureAccount: There was an error showing the account configuration dialog: Could not "
              u"create Account Configuration Dialog.");
    EXPECT_EQ(opened, 1);
}
