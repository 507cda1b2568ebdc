// Accounts: options, their files on disk, reloading, migration, and the account functions.
#include "Plugin_CfgDlg.h"
#include "Plugin_Config.h"
#include "Plugin_Thread.h"
#include "Support/FTPAccount.h"
#include "_Common/CoreCode/Orb_Clock.h"
#include "_Common/FMPlugin/Plugin_FMXExtensions.h"
#include "_Common/FMPlugin/Plugin_Prefs.h"
#include "_Common/Strings/Orb_String.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

fs::path productFolderOnDisk() { return fs::path(std::getenv("XDG_DATA_HOME")) / "Orb" / "Volan Pro"; }
fs::path accountsFolderOnDisk() { return productFolderOnDisk() / "3.0" / "Accounts"; }

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const fs::path& p, const std::string& content) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << content;
}

class Accounts : public ::testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(fs::path(std::getenv("XDG_DATA_HOME")) / "Orb");
        setOrbClockForTesting([this] { return now; });
        start();
    }
    void TearDown() override {
        shutdownPluginThread();
        setOrbClockForTesting({});
    }
    void start() {
        startupPluginThread(57, 1, u"Pro 16.0.1");
        loadFMXAPIExtensions();
    }
    void restart() {
        shutdownPluginThread();
        start();
    }
    FTPAccounts& accounts() {
        FTPAccounts* a = nullptr;
        EXPECT_EQ(PluginConfigLock(1000).get(a), u"");
        return *a;
    }
    PluginPrefsEx& prefs() {
        PluginPrefsEx* p = nullptr;
        EXPECT_EQ(PluginConfigLock(1000).get(p), u"");
        return *p;
    }
    std::u16string set(FTPAccount& a, const std::string& option, const std::u16string& value) {
        std::u16string confirmation, error;
        return a.setOption(option, value, confirmation, error) ? confirmation : u"ERROR " + error;
    }
    int64_t now = 1000000;
};

}  // namespace

TEST_F(Accounts, OptionSpellingsAndClamping) {
    FTPAccount a;
    EXPECT_EQ(set(a, "PORT", u"0"), u"Port set to: -1");
    EXPECT_EQ(set(a, "PORT", u"abc"), u"Port set to: -1");
    EXPECT_EQ(set(a, "PORT", u" 70000 "), u"Port set to: 65535");
    EXPECT_EQ(set(a, "PORT", u""), u"Port setting cleared.");
    EXPECT_EQ(a.port(), -1);
    EXPECT_EQ(set(a, "TIME OUT", u"-3"), u"Timeout set to: 15");
    EXPECT_EQ(set(a, "TIMEOUT", u"30"), u"Timeout set to: 30");
    EXPECT_EQ(set(a, "DATA PORT RANGE START", u"-5"), u"DataPortRangeStart set to: 0");
    EXPECT_EQ(set(a, "DATAPORTRANGEEND", u"6000"), u"DataPortRangeEnd set to: 6000");
    EXPECT_EQ(set(a, "HOST", u" ftp.example.com "), u"Host set to: ftp.example.com");
    EXPECT_EQ(a.host(), "ftp.example.com");
    EXPECT_EQ(set(a, "USER NAME", u""), u"Username setting cleared.");
    EXPECT_EQ(set(a, "DEFAULT MODE", u"ascii"), u"DefaultMode set to: ASCII");
    EXPECT_EQ(set(a, "DEFAULTMODE", u"text"), u"ERROR Unknown default mode: text");
    EXPECT_EQ(a.defaultMode(), FTPAccount::kModeASCII);  // a failed set changes nothing
    EXPECT_EQ(set(a, "DEFAULTCOMPLETEDSCRIPT", u""), u"DefaultCompletedScript cleared");
    EXPECT_EQ(set(a, "PASSIVE", u"no"), u"Passive turned Off.");
    EXPECT_EQ(set(a, "COLOUR", u"red"), u"ERROR Unknown account option: COLOUR");
}

TEST_F(Accounts, SecureTypeWords) {
    FTPAccount a;
    EXPECT_EQ(set(a, "SECURE TYPE", u"Alt Port"), u"SecureType set to: Befor Connect (Secure Port)");
    EXPECT_EQ(a.secureType(), FTPAccount::kSecureBeforeConnect);
    EXPECT_EQ(set(a, "SECURETYPE", u"auth tls"), u"SecureType set to: After Connect (AUTH TLS Command)");
    EXPECT_EQ(set(a, "SECURETYPE", u"After Connect (AUTH TLS Command)"),
              u"SecureType set to: After Connect (AUTH TLS Command)");
    EXPECT_EQ(set(a, "SECURETYPE", u"ssh"), u"SecureType set to: SSH");
    EXPECT_EQ(set(a, "SECURETYPE", u"tls"), u"ERROR Unknown secure type: tls");
    EXPECT_EQ(a.secureType(), FTPAccount::kSecureSSH);
    EXPECT_EQ(set(a, "SECURETYPE", u""), u"SecureType setting cleared.");
    OrbVariable v;
    std::u16string error;
    ASSERT_TRUE(a.getOption("SECURE TYPE", v, error));
    EXPECT_EQ(v.stringValue(), u"None");
}

TEST_F(Accounts, PassiveUnlessSaidOtherwise) {
    FTPAccount a;
    set(a, "PASSIVE", u"no");
    EXPECT_EQ(set(a, "PASSIVE", u" "), u"Passive setting cleared.");
    EXPECT_TRUE(a.passive());
    for (const auto& [line, passive] : std::vector<std::pair<std::u16string, bool>>{
             {u"Host=h", true}, {u"Passive=", true}, {u"Passive=0", false}, {u"Passive=1", true}}) {
        a.setPassive(!passive);
        ASSERT_TRUE(a.readLines({u"Name=Old", line}));
        EXPECT_EQ(a.passive(), passive) << ucstringToUTF8String(line);
    }
}

TEST_F(Accounts, PromptForPasswordClearsTheStoredOne) {
    FTPAccount a;
    set(a, "PASSWORD", u"secret");
    EXPECT_EQ(set(a, "PROMPT FOR PASS WORD", u"yes"), u"PromptForPassword turned On.");
    EXPECT_EQ(a.password(), "");
    EXPECT_EQ(set(a, "PASSWORD", u"new one"), u"Password set.");
    EXPECT_TRUE(a.promptForPassword());
    EXPECT_EQ(a.password(), "new one");
}

// The options beyond the basics: their spellings and texts, their clamping, and their file keys,
// which an account that does not use them never gets.
TEST_F(Accounts, KeyAndTransferOptions) {
    FTPAccount a;
    struct Row {
        const char* option;
        std::u16string value, confirmation;
        int64_t number;  // what Get gives back as a number; -1: text, compared with `text`
        std::u16string text;
    };
    const Row rows[] = {
        {"PRIVATE KEY FILE", u"~/.ssh/id_ed25519", u"PrivateKeyFile set to: ~/.ssh/id_ed25519", -1,
         u"~/.ssh/id_ed25519"},
        {"PUBLICKEY", u"k.pub", u"PublicKeyFile set to: k.pub", -1, u"k.pub"},
        {"KEY PASS PHRASE", u"p=ss word", u"KeyPassphrase set.", -1, u"p=ss word"},
        {"USE AGENT", u"yes", u"UseAgent turned On.", 1, u""},
        {"RESUME", u"1", u"Resume turned On.", 1, u""},
        {"VERIFY", u"true", u"Verify turned On.", 1, u""},
        {"KEEP TIMESTAMPS", u"on", u"PreserveTimestamps turned On.", 1, u""},
        {"MAX CONNECTIONS", u"4", u"MaxConnections set to: 4", 4, u""},
        {"MAXCONNECTIONS", u"99", u"MaxConnections set to: 8", 8, u""},
        {"MAXCONNECTIONS", u"0", u"MaxConnections set to: 1", 1, u""},
        {"MAXCONNECTIONS", u"x", u"MaxConnections set to: 1", 1, u""},
        {"MAXCONNECTIONS", u"3", u"MaxConnections set to: 3", 3, u""},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(set(a, r.option, r.value), r.confirmation) << r.option;
        OrbVariable v;
        std::u16string error;
        ASSERT_TRUE(a.getOption(r.option, v, error)) << r.option;
        if (r.number >= 0)
            EXPECT_EQ(v.integerValue(), r.number) << r.option;
        else
            EXPECT_EQ(v.stringValue(), r.text) << r.option;
    }

    {
        PluginConfigLock lock(1000);
        std::u16string error;
        ASSERT_TRUE(accounts().addAccount(error, u"Plain"));
        ASSERT_TRUE(accounts().addAccount(error, u"Keyed"));
        a.mutableName() = u"Keyed";
        a.mutableFileName() = u"Keyed";
        *accounts().findAccount(u"Keyed") = a;
        EXPECT_EQ(accounts().saveAccounts(), u"");
    }
    EXPECT_EQ(readFile(accountsFolderOnDisk() / "Plain").find("Resume"), std::string::npos);
    const std::string keyed = readFile(accountsFolderOnDisk() / "Keyed");
    for (const char* line : {"PrivateKeyFile=~/.ssh/id_ed25519\r\n", "UseAgent=1\r\n", "MaxConnections=3"})
        EXPECT_NE(keyed.find(line), std::string::npos) << line << " in\n" << keyed;
    EXPECT_EQ(keyed.find("p=ss word"), std::string::npos) << "the passphrase is stored scrambled";

    restart();
    PluginConfigLock again(1000);
    const FTPAccount* read = accounts().findAccount(u"Keyed");
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->keyPassphrase(), "p=ss word");
    EXPECT_EQ(read->publicKeyFile(), u"k.pub");
    EXPECT_TRUE(read->useAgent() && read->resume() && read->verify() && read->preserveTimestamps());
    EXPECT_EQ(read->maxConnections(), 3);
    const FTPAccount* plain = accounts().findAccount(u"Plain");
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(plain->useAgent() || plain->resume() || plain->verify() || plain->preserveTimestamps());
    EXPECT_EQ(plain->maxConnections(), 1);
    EXPECT_EQ(set(a, "RESUME", u""), u"Resume turned Off.");
}

TEST_F(Accounts, FilesHoldTheKeysInOrderAndKeepForeignLines) {
    PluginConfigLock lock(1000);
    std::u16string error;
    ASSERT_TRUE(accounts().addAccount(error, u"Site"));
    FTPAccount* a = accounts().findAccount(u"site");
    ASSERT_NE(a, nullptr);
    set(*a, "HOST", u"h.example");
    set(*a, "PASSWORD", u"Ab1");
    EXPECT_EQ(accounts().saveAccounts(), u"");
    const fs::path file = accountsFolderOnDisk() / "Site";
    EXPECT_EQ(readFile(file).substr(0, 40), "Name=Site\r\nHost=h.example\r\nPort=-1\r\nTime");
    const std::string content = readFile(file);
    std::vector<std::string> keys;
    for (size_t p = 0; p < content.size();) {
        const size_t e = content.find('=', p), n = content.find("\r\n", p);
        keys.push_back(content.substr(p, e - p));
        p = n == std::string::npos ? content.size() : n + 2;
    }
    EXPECT_EQ(keys,
              (std::vector<std::string>{"Name", "Host", "Port", "Timeout", "Username", "PromptForPassword", "Account",
                                        "DataPortRangeStart", "DataPortRangeEnd", "DefaultCompletedScript", "Passive",
                                        "Password", "SecureType", "DefaultMode"}));
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

    // Another installation wrote the password with other filler bytes and added a line of its own.
    std::string edited = content;
    const size_t at = edited.find("\r\nPassword=") + 11;
    edited.replace(at, edited.find("\r\n", at) - at, "#w#B#1#");
    edited += "\r\nColour=blue";
    writeFile(file, edited);
    now += 61;
    a = accounts().findAccount(u"Site");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->password(), "Ab1");
    set(*a, "HOST", u"other.example");
    EXPECT_EQ(accounts().saveAccounts(), u"");
    const std::string saved = readFile(file);
    EXPECT_NE(saved.find("Password=#w#B#1#\r\n"), std::string::npos) << "an unchanged password keeps its bytes:\n"
                                                                     << saved;
    EXPECT_NE(saved.find("Colour=blue"), std::string::npos);
    EXPECT_NE(saved.find("Host=other.example"), std::string::npos);
}

TEST_F(Accounts, NamesAndFileNames) {
    PluginConfigLock lock(1000);
    std::u16string error;
    ASSERT_TRUE(accounts().addAccount(error, u"Site"));
    EXPECT_FALSE(accounts().addAccount(error, u"Site "));
    EXPECT_EQ(error, u"There is already an Account with the Name 'Site'.");
    EXPECT_FALSE(accounts().addAccount(error, u"  "));
    EXPECT_EQ(error, u"You must specify a name for the New Account.");
    ASSERT_TRUE(accounts().addAccount(error, u"a:b"));
    ASSERT_TRUE(accounts().addAccount(error, u"a*b"));
    ASSERT_TRUE(accounts().addAccount(error, u"a/b"));
    EXPECT_EQ(accounts().findAccount(u"a:b")->fileName(), u"a-b");
    EXPECT_EQ(accounts().findAccount(u"a*b")->fileName(), u"a-b0");
    EXPECT_EQ(accounts().findAccount(u"a/b")->fileName(), u"a%2Fb");
    EXPECT_EQ(accounts().saveAccounts(), u"");
    EXPECT_TRUE(fs::exists(accountsFolderOnDisk() / "a-b0"));
    EXPECT_TRUE(fs::exists(accountsFolderOnDisk() / "a%2Fb"));
}

TEST_F(Accounts, ChangesByAnotherProcessShowAfterTheMinute) {
    {
        PluginConfigLock lock(1000);
        std::u16string error;
        ASSERT_TRUE(accounts().addAccount(error, u"Site"));
        ASSERT_EQ(accounts().saveAccounts(), u"");
        accounts().findAccount(u"Site");  // a scan now: the next one is due in a minute
    }
    std::string content = readFile(accountsFolderOnDisk() / "Site");
    content.replace(content.find("Host="), 5, "Host=changed.example");
    writeFile(accountsFolderOnDisk() / "Site", content);
    writeFile(accountsFolderOnDisk() / "Second", "Name=Second\r\nSecureType=\r\nTLSType=AfterConnect\r\n");
    PluginConfigLock lock(1000);
    now += 30;
    EXPECT_EQ(accounts().findAccount(u"Site")->host(), "");
    EXPECT_EQ(accounts().findAccount(u"Second"), nullptr);
    now += 31;
    EXPECT_EQ(accounts().findAccount(u"Site")->host(), "changed.example");
    ASSERT_NE(accounts().findAccount(u"Second"), nullptr);
    EXPECT_EQ(accounts().findAccount(u"Second")->secureType(), FTPAccount::kSecureAfterConnect);

    fs::remove(accountsFolderOnDisk() / "Second");
    now += 61;
    EXPECT_EQ(accounts().findAccount(u"Second"), nullptr);
}

TEST_F(Accounts, PreferencesAndAccountsComeOverFromVersionTwoPointFive) {
    shutdownPluginThread();
    writeFile(productFolderOnDisk() / "2.5" / "Volan Pro Prefs", "Greeting=\"hello\"\r\n");
    writeFile(productFolderOnDisk() / "2.5" / "Accounts" / "Old", "Name=Old Site\r\nHost=old.example\r\n");
    writeFile(productFolderOnDisk() / "3.5" / "Volan Pro Prefs", "Greeting=\"from the future\"\r\n");
    start();
    EXPECT_EQ(prefs().importedVersion(), u"2.5");
    EXPECT_EQ(prefs().pref(u"greeting"), u"hello");
    EXPECT_TRUE(fs::exists(productFolderOnDisk() / "3.0" / "Volan Pro Prefs"));
    PluginConfigLock lock(1000);
    ASSERT_NE(accounts().findAccount(u"old site"), nullptr);
    EXPECT_EQ(accounts().findAccount(u"old site")->host(), "old.example");
    EXPECT_TRUE(fs::exists(accountsFolderOnDisk() / "Old"));
}

TEST_F(Accounts, PreferencesPersistAndLeaveNoFileWhenEmpty) {
    OrbVariable result;
    auto configure = [&](std::u16string option, std::u16string name, std::u16string value, bool withValue) {
        OrbVariableArray options;
        std::u16string error;
        options.addStringVariable(error, u"Option", option);
        options.addStringVariable(error, u"PrefName", name);
        if (withValue) options.addStringVariable(error, u"PrefValue", value);
        result.clear();
        error = pluginConfigure(options, result);
        return error.empty() ? result.variableAsString(1) : u"ERROR " + error;
    };
    EXPECT_EQ(configure(u"Get", u"missing", u" <blank> ", true), u"");
    EXPECT_EQ(configure(u"Get", u"missing", u"", false),
              u"ERROR Could not get preference: Unknown preference name: MISSING");
    EXPECT_EQ(configure(u"Set", u"Server Password", u"hunter2", true), u"Preference set.");
    EXPECT_EQ(configure(u"get", u"server password", u"", false), u"hunter2");
    const fs::path file = productFolderOnDisk() / "3.0" / "Volan Pro Prefs";
    EXPECT_EQ(readFile(file).find("hunter2"), std::string::npos) << "passwords are stored scrambled";
    EXPECT_EQ(configure(u"Set", u"Lines", u"a\rb", true), u"Preference set.");
    restart();
    EXPECT_EQ(configure(u"Get", u"lines", u"", false), u"a\rb");

    // With only the logging switch stored, turning it off leaves no file behind.
    fs::remove(file);
    restart();
    EXPECT_EQ(configure(u"Set", u"Debug Mode", u"on", true).rfind(u"Debugging turned on; file location=", 0), 0u);
    EXPECT_TRUE(fs::exists(file));
    EXPECT_EQ(configure(u"Get", u"debugmode", u"", false), u"Debugging is on.");
    EXPECT_EQ(configure(u"Set", u"DebugMode", u"off", true).rfind(u"Debugging turned off", 0), 0u);
    EXPECT_FALSE(fs::exists(file));
}

namespace {

std::u16string configure(const std::u16string& option, const std::u16string& name, const std::u16string& value) {
    OrbVariableArray options;
    std::u16string error;
    options.addStringVariable(error, u"Option", option);
    options.addStringVariable(error, u"PrefName", name);
    OrbVariable v(u"PrefValue");
    v.setStringValue(value);  // as given: addStringVariable would trim
    options.addVariable(error, v, true);
    OrbVariable result;
    error = pluginConfigure(options, result);
    return error.empty() ? result.variableAsString(1) : u"ERROR " + error;
}

fs::path prefsFileOnDisk() { return productFolderOnDisk() / "3.0" / "Volan Pro Prefs"; }

}  // namespace

// Names the file format gives a meaning to are stored so that they, and every preference after
// them, read back; a line that cannot be parsed (written by hand) costs only itself and stays.
TEST_F(Accounts, PreferenceNamesOfEveryKindSurviveARestart) {
    const std::vector<std::u16string> names = {u"B$C", u"D;E", u"F{G}", u"H\"I",   u"J'K", u"L=M",
                                               u"N?O", u"P,Q", u"R\\S", u"T<CR>U", u"ÄÖ",  u"LAST"};
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(configure(u"Set", names[i], u"v" + std::u16string(1, static_cast<char16_t>(u'a' + i))),
                  u"Preference set.")
            << i;
    std::string file = readFile(prefsFileOnDisk());
    file.insert(file.find("LAST="), "BAD\"LINE=\"x\r\n");
    writeFile(prefsFileOnDisk(), file);
    restart();
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(configure(u"Get", names[i], u""), u"v" + std::u16string(1, static_cast<char16_t>(u'a' + i))) << i;
    EXPECT_EQ(configure(u"Set", u"ONE MORE", u"1"), u"Preference set.");
    EXPECT_NE(readFile(prefsFileOnDisk()).find("BAD\"LINE=\"x\r\n"), std::string::npos);

    EXPECT_EQ(configure(u"Set", u"  ", u"1"), u"ERROR Variable Name was blank.");
    EXPECT_EQ(configure(u"Set", u"A\rB", u"1"),
              u"ERROR Invalid Variable Name: A\rB; Variable Names cannot contain line breaks.");
}

// Another process changed the files since this one read them (within the minute in which it does
// not look again): a save keeps those changes and takes them in.
TEST_F(Accounts, SavesKeepWhatAnotherProcessWroteMeanwhile) {
    EXPECT_EQ(configure(u"Set", u"MINE", u"1"), u"Preference set.");
    writeFile(prefsFileOnDisk(), readFile(prefsFileOnDisk()) + "\r\nTHEIRS=\"2\"");
    EXPECT_EQ(configure(u"Set", u"MINE", u"3"), u"Preference set.");
    EXPECT_EQ(configure(u"Get", u"THEIRS", u""), u"2");
    EXPECT_NE(readFile(prefsFileOnDisk()).find("THEIRS=\"2\""), std::string::npos);
    EXPECT_NE(readFile(prefsFileOnDisk()).find("MINE=\"3\""), std::string::npos);

    PluginConfigLock lock(1000);
    std::u16string error;
    ASSERT_TRUE(accounts().addAccount(error, u"Site")) << std::string(error.begin(), error.end());
    const fs::path file = accountsFolderOnDisk() / "Site";
    std::string content = readFile(file);
    content.replace(content.find("Host="), 5, "Host=theirs.example");
    writeFile(file, content);
    FTPAccount* site = accounts().findAccount(u"Site");
    ASSERT_NE(site, nullptr);
    EXPECT_EQ(set(*site, "USERNAME", u"me"), u"Username set to: me");
    EXPECT_EQ(accounts().saveAccounts(), u"");
    EXPECT_NE(readFile(file).find("Host=theirs.example\r\n"), std::string::npos);
    EXPECT_NE(readFile(file).find("Username=me\r\n"), std::string::npos);
    EXPECT_EQ(accounts().findAccount(u"Site")->host(), "theirs.example");
}

TEST_F(Accounts, PasswordsOutsideASCIISurviveARestart) {
    const std::u16string password = u"pässwörd€ 密码";
    EXPECT_EQ(configure(u"Set", u"FTP PASSWORD", password), u"Preference set.");
    {
        PluginConfigLock lock(1000);
        std::u16string error;
        ASSERT_TRUE(accounts().addAccount(error, u"Site"));
        EXPECT_EQ(set(*accounts().findAccount(u"Site"), "PASSWORD", password), u"Password set.");
        EXPECT_EQ(accounts().saveAccounts(), u"");
    }
    restart();
    EXPECT_EQ(configure(u"Get", u"ftp password", u""), password);
    PluginConfigLock lock(1000);
    EXPECT_EQ(ucstringFromUTF8String(accounts().findAccount(u"Site")->password()), password);
}

// Every name is stored under a file name of its own that the folder can hold and that loading
// reads: not a dot file, not "." or "..", at most 255 bytes.
TEST_F(Accounts, AnyNameIsStoredAndFoundAfterARestart) {
    const std::vector<std::u16string> names = {
        u".", u"..", u".hidden", std::u16string(300, u'L'), std::u16string(200, u'ü') + u"😀", u"tab\there"};
    {
        PluginConfigLock lock(1000);
        for (const std::u16string& name : names) {
            std::u16string error;
            EXPECT_TRUE(accounts().addAccount(error, name)) << std::string(error.begin(), error.end());
        }
    }
    restart();
    PluginConfigLock lock(1000);
    for (const std::u16string& name : names) EXPECT_NE(accounts().findAccount(name), nullptr) << name.size();
    for (const auto& e : fs::directory_iterator(accountsFolderOnDisk())) {
        const std::string n = e.path().filename().string();
        EXPECT_LE(n.size(), 255u);
        if (n[0] == '.') {
            EXPECT_EQ(n, ".volan.lock");
        }
    }
}

// Settings are one line each: a line break would cut the value at a restart and add a line to the
// file at every save, so it is refused, as a NUL is.
TEST_F(Accounts, LineBreaksInNamesAndSettingsAreRefused) {
    FTPAccount a;
    for (const char* option : {"HOST", "USERNAME", "PASSWORD", "ACCOUNT", "DEFAULTCOMPLETEDSCRIPT"})
        for (const std::u16string& value :
             {std::u16string(u"alice\rbob"), std::u16string(u"alice\nbob"), std::u16string(u"alice\0bob", 9)}) {
            EXPECT_EQ(set(a, option, value),
                      u"ERROR An account setting cannot hold a carriage return, line feed or NUL character.")
                << option;
        }
    EXPECT_EQ(a.username(), "");
    PluginConfigLock lock(1000);
    std::u16string error;
    EXPECT_FALSE(accounts().addAccount(error, u"a\rb"));
    EXPECT_EQ(error, u"An account name cannot hold a carriage return, line feed or NUL character.");
}

// A save that cannot be made is answered with its error, and the change is not kept.
TEST_F(Accounts, AFailedSaveIsAnErrorAndChangesNothing) {
    fs::create_directories(prefsFileOnDisk());  // a folder where the file goes
    const std::u16string answer = configure(u"Set", u"KEPT", u"1");
    EXPECT_EQ(answer.rfind(u"ERROR Could not Save Prefs: ", 0), 0u) << std::string(answer.begin(), answer.end());
    EXPECT_EQ(configure(u"Get", u"KEPT", u"none"), u"none");
    fs::remove(prefsFileOnDisk());

    PluginConfigLock lock(1000);
    std::u16string error;
    ASSERT_TRUE(accounts().addAccount(error, u"Site"));
    fs::remove_all(accountsFolderOnDisk());
    writeFile(accountsFolderOnDisk(), "not a folder");
    EXPECT_FALSE(accounts().addAccount(error, u"Other"));
    EXPECT_EQ(error, u"Could not Save Accounts; Could not Find/Create Accounts Directory.");
    EXPECT_EQ(accounts().findAccount(u"Other"), nullptr);
}

// A preferences file the user keeps elsewhere behind a link (a dotfiles folder) stays a link: the
// file it leads to gets the new contents, and is the owner's alone (it may hold passwords).
TEST_F(Accounts, ALinkedPreferencesFileStaysALink) {
    EXPECT_EQ(configure(u"Set", u"FIRST", u"1"), u"Preference set.");
    const fs::path kept = fs::path(std::getenv("HOME")) / "dotfiles" / "volan-prefs";
    fs::create_directories(kept.parent_path());
    fs::rename(prefsFileOnDisk(), kept);
    fs::permissions(kept, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(kept, prefsFileOnDisk());
    restart();
    EXPECT_EQ(configure(u"Set", u"SECOND", u"2"), u"Preference set.");
    EXPECT_TRUE(fs::is_symlink(prefsFileOnDisk()));
    EXPECT_NE(readFile(kept).find("SECOND=\"2\""), std::string::npos);
    EXPECT_NE(readFile(kept).find("FIRST=\"1\""), std::string::npos);
    EXPECT_EQ(fs::status(kept).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}
