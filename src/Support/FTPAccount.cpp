#include "FTPAccount.h"

#include "Orb_Debug.h"
#include "_Common/CoreCode/Orb_Clock.h"
#include "_Common/CoreCode/Orb_Variable.h"
#include "_Common/FMPlugin/Plugin_Prefs.h"
#include "_Common/FileAndStream/Orb_StringListStream.h"
#include "_Common/Strings/Orb_CharSets.h"
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"
#include "_CommonEx/FileAndStream/Orb_FileRefEx.h"

#include <platform/Files.h>

#include <algorithm>
#include <climits>
#include <cstring>

void FTPAccount::clear() {
    mName.clear();
    mHost.clear();
    mPort = -1;
    mTimeout = 15;
    mUsername.clear();
    mPassword.clear();
    mPromptForPassword = false;
    mAccount.clear();
    mSecureType = kSecureNone;
    mDataPortRangeStart = 0;
    mDataPortRangeEnd = 0;
    mDefaultCompletedScript.clear();
    mDefaultMode = kModeBinary;
    mPassive = true;
    mFileName.clear();
    mValid = true;
    mLoadTime.setToCurrent();
    mPrivateKeyFile.clear();
    mPublicKeyFile.clear();
    mKeyPassphrase.clear();
    mUseAgent = false;
    mResume = false;
    mVerify = false;
    mPreserveTimestamps = false;
    mMaxConnections = 1;
}

bool accountTextIsStorable(const ucstring& text) {
    return text.find_first_of(u"\r\n", 0) == ucstring::npos && text.find(u'\0') == ucstring::npos;
}

namespace {

bool isOneOf(const std::string& option, std::initializer_list<const char*> spellings) {
    for (const char* s : spellings)
        if (option == s) return true;
    return false;
}

ucstring numberText(int64_t n) {
    ucstring text;
    return stringFromInteger(text, n);
}

// The spellings of the options beyond the connection basics.
const std::initializer_list<const char*> kPrivateKeySpellings = {"PRIVATEKEYFILE", "PRIVATE KEY FILE", "PRIVATEKEY",
                                                                 "PRIVATE KEY",    "KEYFILE",          "KEY FILE"};
const std::initializer_list<const char*> kPublicKeySpellings = {"PUBLICKEYFILE", "PUBLIC KEY FILE", "PUBLICKEY",
                                                                "PUBLIC KEY"};
const std::initializer_list<const char*> kPassphraseSpellings = {"KEYPASSPHRASE", "KEY PASSPHRASE", "KEY PASS PHRASE",
                                                                 "PASSPHRASE", "PASS PHRASE"};
const std::initializer_list<const char*> kAgentSpellings = {"USEAGENT",    "USE AGENT",     "SSHAGENT", "SSH AGENT",
                                                            "USESSHAGENT", "USE SSH AGENT", "AGENT"};
const std::initializer_list<const char*> kPreserveSpellings = {
    "PRESERVETIMESTAMPS", "PRESERVE TIMESTAMPS", "PRESERVE TIME STAMPS", "PRESERVETIMESTAMP",
    "PRESERVE TIMESTAMP", "KEEPTIMESTAMPS",      "KEEP TIMESTAMPS",      "KEEP TIME STAMPS"};
const std::initializer_list<const char*> kMaxConnectionsSpellings = {
    "MAXCONNECTIONS", "MAX CONNECTIONS", "MAXIMUMCONNECTIONS", "MAXIMUM CONNECTIONS", "CONNECTIONS"};

const char16_t* const kSecureTypeNames[] = {u"None", u"After Connect (AUTH TLS Command)",
                                            u"Before Connect (Secure Port)", u"SSH"};

}  // namespace

bool FTPAccount::setOption(const std::string& option, const ucstring& rawValue, ucstring& confirmation,
                           ucstring& error) {
    const ucstring value = stringTrim(rawValue);
    const bool empty = value.empty();
    if (!accountTextIsStorable(value)) {
        error = kAccountTextUnstorable;  // numbers and keywords could not use one either
        return false;
    }
    const int64_t number = stringToInteger(value, 10);
    auto text = [&](std::string& field, const char16_t* label) {
        field = ucstringToUTF8String(value);
        confirmation = empty ? ucstring(label) + u" setting cleared." : ucstring(label) + u" set to: " + value;
    };
    if (option == "HOST") {
        text(mutableHost(), u"Host");
    } else if (option == "PORT") {
        const int32_t port = empty || number <= 0 ? -1 : number > 65535 ? 65535 : static_cast<int32_t>(number);
        setPort(port);
        confirmation = empty ? u"Port setting cleared." : u"Port set to: " + numberText(port);
    } else if (isOneOf(option, {"TIMEOUT", "TIME OUT"})) {
        const int32_t timeout = number <= 0 ? 15 : number > INT32_MAX ? INT32_MAX : static_cast<int32_t>(number);
        setTimeout(timeout);
        confirmation = empty ? u"Timeout setting cleared." : u"Timeout set to: " + numberText(timeout);
    } else if (isOneOf(option, {"USERNAME", "USER NAME"})) {
        text(mutableUsername(), u"Username");
    } else if (isOneOf(option, {"PASSWORD", "PASS WORD"})) {
        mutablePassword() = ucstringToUTF8String(value);
        confirmation = empty ? u"Password setting cleared." : u"Password set.";
    } else if (isOneOf(option, {"PROMPTFORPASSWORD", "PROMPT FOR PASSWORD", "PROMPT FOR PASS WORD"})) {
        const bool on = stringParseBoolean(value);
        setPromptForPassword(on);
        if (on) mutablePassword().clear();
        confirmation = on ? u"PromptForPassword turned On." : u"PromptForPassword turned Off.";
    } else if (option == "ACCOUNT") {
        text(mutableAccount(), u"Account");
    } else if (isOneOf(option, {"SECURETYPE", "SECURE TYPE"})) {
        const std::string v = ucstringToUTF8String(stringNormalize(value));
        int32_t type;
        if (v.empty() || v == "NONE") {
            type = kSecureNone;
        } else if (isOneOf(v, {"AFTERCONNECT", "AFTER CONNECT", "AFTER CONNECT (AUTH TLS COMMAND)", "AUTHTLS",
                               "AUTH TLS"})) {
            type = kSecureAfterConnect;
        } else if (isOneOf(v, {"BEFORECONNECT", "BEFORE CONNECT", "BEFORE CONNECT (SECURE PORT)", "SECUREPORT",
                               "SECURE PORT", "ALTPORT", "ALT PORT", "ALTERNATEPORT", "ALTERNATE PORT"})) {
            type = kSecureBeforeConnect;
        } else if (v == "SSH") {
            type = kSecureSSH;
        } else {
            error = u"Unknown secure type: " + value;
            return false;
        }
        setSecureType(type);
        // The spelling "Befor" is the product's own.
        static const char16_t* const confirmations[] = {
            u"SecureType setting cleared.", u"SecureType set to: After Connect (AUTH TLS Command)",
            u"SecureType set to: Befor Connect (Secure Port)", u"SecureType set to: SSH"};
        confirmation = confirmations[type];
    } else if (isOneOf(option,
                       {"DATAPORTRANGESTART", "DATA PORT RANGE START", "DATAPORTRANGEEND", "DATA PORT RANGE END"})) {
        const bool start = option.find("START") != std::string::npos;
        const int32_t port = number < 0 ? 0 : number > INT32_MAX ? INT32_MAX : static_cast<int32_t>(number);
        if (start)
            setDataPortRangeStart(port);
        else
            setDataPortRangeEnd(port);
        const ucstring label = start ? u"DataPortRangeStart" : u"DataPortRangeEnd";
        confirmation = empty ? label + u" setting cleared." : label + u" set to: " + numberText(port);
    } else if (isOneOf(option, {"DEFAULTCOMPLETEDSCRIPT", "DEFAULT COMPLETED SCRIPT"})) {
        mutableDefaultCompletedScript() = value;
        confirmation = empty ? u"DefaultCompletedScript cleared" : u"DefaultCompletedScript set to: " + value;
    } else if (isOneOf(option, {"DEFAULTMODE", "DEFAULT MODE"})) {
        const std::string v = ucstringToUTF8String(stringNormalize(value));
        if (v.empty() || v == "BINARY") {
            setDefaultMode(kModeBinary);
            confirmation = empty ? u"DefaultMode setting cleared." : u"DefaultMode set to: Binary";
        } else if (v == "ASCII") {
            setDefaultMode(kModeASCII);
            confirmation = u"DefaultMode set to: ASCII";
        } else {
            error = u"Unknown default mode: " + value;
            return false;
        }
    } else if (option == "PASSIVE") {
        const bool on = empty || stringParseBoolean(value);  // passive is the default
        setPassive(on);
        confirmation = empty ? u"Passive setting cleared." : on ? u"Passive turned On." : u"Passive turned Off.";
    } else if (isOneOf(option, kPrivateKeySpellings)) {
        mutablePrivateKeyFile() = value;
        confirmation = empty ? u"PrivateKeyFile setting cleared." : u"PrivateKeyFile set to: " + value;
    } else if (isOneOf(option, kPublicKeySpellings)) {
        mutablePublicKeyFile() = value;
        confirmation = empty ? u"PublicKeyFile setting cleared." : u"PublicKeyFile set to: " + value;
    } else if (isOneOf(option, kPassphraseSpellings)) {
        mutableKeyPassphrase() = ucstringToUTF8String(value);
        confirmation = empty ? u"KeyPassphrase setting cleared." : u"KeyPassphrase set.";
    } else if (isOneOf(option, kMaxConnectionsSpellings)) {
        setMaxConnections(empty ? 1 : number);
        confirmation =
            empty ? u"MaxConnections setting cleared." : u"MaxConnections set to: " + numberText(maxConnections());
    } else if (!setSwitch(option, value, confirmation)) {
        error = u"Unknown account option: " + ucstringFromUTF8String(option);
        return false;
    }
    return true;
}

bool FTPAccount::setSwitch(const std::string& option, const ucstring& value, ucstring& confirmation) {
    const char16_t* label;
    bool* field;
    if (isOneOf(option, kAgentSpellings)) {
        label = u"UseAgent";
        field = &mUseAgent;
    } else if (option == "RESUME") {
        label = u"Resume";
        field = &mResume;
    } else if (option == "VERIFY") {
        label = u"Verify";
        field = &mVerify;
    } else if (isOneOf(option, kPreserveSpellings)) {
        label = u"PreserveTimestamps";
        field = &mPreserveTimestamps;
    } else {
        return false;
    }
    *field = stringParseBoolean(value);
    confirmation = ucstring(label) + (*field ? u" turned On." : u" turned Off.");
    return true;
}

bool FTPAccount::getOption(const std::string& option, OrbVariable& value, ucstring& error) const {
    if (option == "HOST") {
        value.setStringValue(ucstringFromUTF8String(host()));
    } else if (option == "PORT") {
        value.setIntegerValue(port());
    } else if (isOneOf(option, {"TIMEOUT", "TIME OUT"})) {
        value.setIntegerValue(timeout());
    } else if (isOneOf(option, {"USERNAME", "USER NAME"})) {
        value.setStringValue(ucstringFromUTF8String(username()));
    } else if (isOneOf(option, {"PASSWORD", "PASS WORD"})) {
        value.setStringValue(ucstringFromUTF8String(password()));
    } else if (isOneOf(option, {"PROMPTFORPASSWORD", "PROMPT FOR PASSWORD", "PROMPT FOR PASS WORD"})) {
        value.setIntegerValue(promptForPassword() ? 1 : 0);
    } else if (option == "ACCOUNT") {
        value.setStringValue(ucstringFromUTF8String(account()));
    } else if (isOneOf(option, {"SECURETYPE", "SECURE TYPE"})) {
        const int32_t type = secureType();
        value.setStringValue(type >= 0 && type <= 3 ? kSecureTypeNames[type] : kSecureTypeNames[0]);
    } else if (isOneOf(option, {"DATAPORTRANGESTART", "DATA PORT RANGE START"})) {
        value.setIntegerValue(dataPortRangeStart());
    } else if (isOneOf(option, {"DATAPORTRANGEEND", "DATA PORT RANGE END"})) {
        value.setIntegerValue(dataPortRangeEnd());
    } else if (isOneOf(option, {"DEFAULTCOMPLETEDSCRIPT", "DEFAULT COMPLETED SCRIPT"})) {
        value.setStringValue(defaultCompletedScript());
    } else if (isOneOf(option, {"DEFAULTMODE", "DEFAULT MODE"})) {
        value.setStringValue(defaultMode() == kModeASCII ? u"ASCII" : u"Binary");
    } else if (option == "PASSIVE") {
        value.setIntegerValue(passive() ? 1 : 0);
    } else if (isOneOf(option, kPrivateKeySpellings)) {
        value.setStringValue(privateKeyFile());
    } else if (isOneOf(option, kPublicKeySpellings)) {
        value.setStringValue(publicKeyFile());
    } else if (isOneOf(option, kPassphraseSpellings)) {
        value.setStringValue(ucstringFromUTF8String(keyPassphrase()));
    } else if (isOneOf(option, kAgentSpellings)) {
        value.setIntegerValue(useAgent() ? 1 : 0);
    } else if (option == "RESUME") {
        value.setIntegerValue(resume() ? 1 : 0);
    } else if (option == "VERIFY") {
        value.setIntegerValue(verify() ? 1 : 0);
    } else if (isOneOf(option, kPreserveSpellings)) {
        value.setIntegerValue(preserveTimestamps() ? 1 : 0);
    } else if (isOneOf(option, kMaxConnectionsSpellings)) {
        value.setIntegerValue(maxConnections());
    } else {
        error = u"Unknown account option: " + ucstringFromUTF8String(option);
        return false;
    }
    return true;
}

// ---- The list and its files ---------------------------------------------------------------------

namespace {

const char16_t* const kSecureTypeKeys[] = {u"None", u"AfterConnect", u"BeforeConnect", u"SSH"};

struct AccountKey {
    const char16_t* key;
    ucstring value;  // as the file holds it
    // Keys beyond the basics go into a new file only when set, so an account that does not use
    // them has the same file as before.
    bool onlyWhenSet = false;
    bool isSet() const { return !onlyWhenSet || !value.empty(); }
};

int32_t secureTypeFromKey(const ucstring& value) {
    const ucstring v = stringNormalize(value);
    if (v == u"AFTERCONNECT") return FTPAccount::kSecureAfterConnect;
    if (v == u"BEFORECONNECT") return FTPAccount::kSecureBeforeConnect;
    if (v == u"SSH") return FTPAccount::kSecureSSH;
    return FTPAccount::kSecureNone;
}

ucstring numberKey(int64_t n) {
    ucstring text;
    return stringFromInteger(text, n);
}

// The keys of an account file in the order a new file has them, with the account's values.
std::vector<AccountKey> accountKeys(const FTPAccount& a) {
    const int32_t type = a.secureType() >= 0 && a.secureType() <= 3 ? a.secureType() : 0;
    return {{u"Name", a.name()},
            {u"Host", ucstringFromUTF8String(a.host())},
            {u"Port", numberKey(a.port())},
            {u"Timeout", numberKey(a.timeout())},
            {u"Username", ucstringFromUTF8String(a.username())},
            {u"PromptForPassword", a.promptForPassword() ? u"1" : u"0"},
            {u"Account", ucstringFromUTF8String(a.account())},
            {u"DataPortRangeStart", numberKey(a.dataPortRangeStart())},
            {u"DataPortRangeEnd", numberKey(a.dataPortRangeEnd())},
            {u"DefaultCompletedScript", a.defaultCompletedScript()},
            {u"Passive", a.passive() ? u"1" : u"0"},
            {u"Password", encryptPasswordText(a.password())},
            {u"SecureType", kSecureTypeKeys[type]},
            {u"DefaultMode", a.defaultMode() == FTPAccount::kModeASCII ? u"ASCII" : u"Binary"},
            {u"PrivateKeyFile", a.privateKeyFile(), true},
            {u"PublicKeyFile", a.publicKeyFile(), true},
            {u"KeyPassphrase", encryptPasswordText(a.keyPassphrase()), true},
            {u"UseAgent", a.useAgent() ? u"1" : u"", true},
            {u"Resume", a.resume() ? u"1" : u"", true},
            {u"Verify", a.verify() ? u"1" : u"", true},
            {u"PreserveTimestamps", a.preserveTimestamps() ? u"1" : u"", true},
            {u"MaxConnections", a.maxConnections() > 1 ? numberKey(a.maxConnections()) : ucstring(), true}};
}

// The file name of a new account: its name made safe as a file name (the characters Windows
// refuses become "-", "%", "/" and "\" are escaped, control characters become "-"), never a dot
// file (those are the folder's lock and temporary files, and "." and ".." are no files at all), and
// short enough for the 255 bytes a name may have on disk, with room for a counter.
ucstring accountFileBase(const ucstring& name) {
    ucstring base = OrbFileRef::stripSpecialFileNameChars(name);
    for (char16_t& c : base)
        if (c < 0x20 || c == 0x7F) c = u'-';
    if (!base.empty() && base.front() == u'.') base = u"%2E" + base.substr(1);
    while (platform::fileNameToNative(base).size() > 240) {
        base.pop_back();
        if (!base.empty() && base.back() >= 0xD800 && base.back() <= 0xDBFF) base.pop_back();  // half a pair
    }
    return base;
}

}  // namespace

class FTPAccounts::FolderHold {
public:
    explicit FolderHold(FTPAccounts& list) : mList(list) {
        if (mList.mFolderLockDepth == 0) {
            auto lock = std::make_unique<OrbFolderLock>(mList.mAccountsPathRef);
            if (!lock->held()) {
                mError = lock->error();
                return;
            }
            mList.mFolderLock = std::move(lock);
        }
        ++mList.mFolderLockDepth;
        mHeld = true;
    }
    ~FolderHold() {
        if (mHeld && --mList.mFolderLockDepth == 0) mList.mFolderLock.reset();
    }
    FolderHold(const FolderHold&) = delete;
    FolderHold& operator=(const FolderHold&) = delete;
    const ucstring& error() const { return mError; }

private:
    FTPAccounts& mList;
    ucstring mError;
    bool mHeld = false;
};

bool FTPAccounts::generateAccountsPath(bool create) {
    if (!mAccountsPath.empty()) {
        OrbFileRef explicitFolder(mAccountsPath);
        if (explicitFolder.defined() && explicitFolder.dirExists()) {
            mAccountsPathRef = explicitFolder;
            return true;
        }
    }
    OrbFileRef folder;
    if (!productFolder(folder, u"3.0", create)) return false;
    folder.addItem(u"Accounts");
    if (!folder.dirExists()) {
        // Another process may make it at the same moment.
        if (!create || (!folder.createDir() && !folder.dirExists())) return false;
        std::string ignored;
        platform::fileMakePrivate(folder.pathAsString(), ignored);
    }
    mAccountsPathRef = folder;
    return true;
}

bool FTPAccount::readLines(const ucstringlist& lines) {
    auto value = [&](const char16_t* key) { return stringlistValueForName(lines, key, u'=', false); };
    const ucstring name = stringTrim(value(u"Name"));
    if (name.empty()) return false;
    auto narrow = [](const ucstring& text) { return ucstringToUTF8String(text); };
    auto number = [&](const char16_t* key, int32_t empty) {
        const ucstring v = stringTrim(value(key));
        if (v.empty()) return empty;
        const int64_t n = stringToInteger(v, 10);
        return static_cast<int32_t>(std::clamp<int64_t>(n, INT32_MIN, INT32_MAX));
    };
    mutableName() = name;
    mutableHost() = narrow(value(u"Host"));
    setPort(number(u"Port", -1));
    setTimeout(number(u"Timeout", 15));
    mutableUsername() = narrow(value(u"Username"));
    mutablePassword() = decryptPasswordText(value(u"Password"));
    setPromptForPassword(stringParseBoolean(value(u"PromptForPassword")));
    mutableAccount() = narrow(value(u"Account"));
    ucstring secure = value(u"SecureType");
    if (stringTrim(secure).empty()) secure = value(u"TLSType");  // the older key
    setSecureType(secureTypeFromKey(secure));
    setDataPortRangeStart(number(u"DataPortRangeStart", 0));
    setDataPortRangeEnd(number(u"DataPortRangeEnd", 0));
    mutableDefaultCompletedScript() = value(u"DefaultCompletedScript");
    setDefaultMode(stringNormalize(value(u"DefaultMode")) == u"ASCII" ? kModeASCII : kModeBinary);
    const ucstring passive = value(u"Passive");
    setPassive(stringTrim(passive).empty() || stringParseBoolean(passive));  // a file without it: the default
    mutablePrivateKeyFile() = value(u"PrivateKeyFile");
    mutablePublicKeyFile() = value(u"PublicKeyFile");
    mutableKeyPassphrase() = decryptPasswordText(value(u"KeyPassphrase"));
    setUseAgent(stringParseBoolean(value(u"UseAgent")));
    setResume(stringParseBoolean(value(u"Resume")));
    setVerify(stringParseBoolean(value(u"Verify")));
    setPreserveTimestamps(stringParseBoolean(value(u"PreserveTimestamps")));
    setMaxConnections(number(u"MaxConnections", 1));
    return true;
}

bool FTPAccounts::readAccountFile(const OrbFileRef& file, const ucstring& fileName) {
    // The time first: a version written while this one is read then shows as a change.
    OrbDateTime modified;
    const bool dated = OrbFileRef(file).modificationDate(modified);
    ucstringlist lines;
    ucstring error;
    if (!stringlistLoadFromFile(error, &lines, file, kCharSetUTF8)) return false;
    FTPAccount read;
    if (!read.readLines(lines)) return false;
    FTPAccount* account = findAccountByFileName(fileName);
    if (!account) {
        mAccounts.emplace_back();
        account = &mAccounts.back();
    }
    *account = read;
    account->mutableFileName() = fileName;
    if (dated) account->mutableLoadTime() = modified;
    account->setValid(true);
    mStored[stringNormalize(fileName)] = *account;
    return true;
}

void FTPAccounts::reloadAccounts() {
    mLastLoadTime = -1000;
    loadAccounts();
}

void FTPAccounts::loadAccounts(const ucstring& fileName, const ucstring& skipIfSet) {
    if (!skipIfSet.empty() || mLoading) return;
    mLoading = true;
    mSkipLoading = true;
    struct Done {
        FTPAccounts& list;
        ~Done() {
            list.mSkipLoading = false;
            list.mLoading = false;
        }
    } done{*this};

    const int64_t now = orbClockSeconds();
    if (now - mLastLoadTime < 60) {
        DEBUG_OUT("FTPAccounts::loadAccounts: skipping (< 60)");
        return;
    }
    mLastLoadTime = now;
    const ucstring importedVersion = mPrefs ? mPrefs->importedVersion() : ucstring();
    OrbFileRef folder;
    const bool haveFolder = generateAccountsPath(false);
    if (haveFolder) {
        folder = mAccountsPathRef;
    } else if (importedVersion.empty() || !productFolder(folder, u"3.0", false)) {
        DEBUG_OUT("FTPAccounts::loadAccounts: Could not load Accounts; Could not find Accounts folder.");
        return;
    } else {
        // No accounts folder yet, but an older version's may hold accounts to take over.
        folder.addItem(u"Accounts");
    }
    DEBUG_OUT("FTPAccounts::loadAccounts: Loading Accounts from the Hard Drive.");

    ucstringlist files;
    bool migrated = false;
    const ucstring single = stringTrim(fileName);
    if (!single.empty()) {
        OrbFileRef file(folder);
        file.addItem(OrbFileRef::encodeSlashes(single));
        if (!file.fileExists()) {
            DEBUG_OUT(u"FTPAccounts::loadAccounts: Could not load Account named '" + single +
                      u"'; file does not exist.");
            return;
        }
        files.push_back(single);
    } else {
        for (FTPAccount& a : mAccounts) a.setValid(false);
        OrbFileRefEx lister(folder);
        ucstringlist names;
        if (haveFolder && !lister.listItems(&names, kPathStyleWindows)) {
            DEBUG_OUT(u"FTPAccounts::loadAccounts: Could not load Accounts; Error getting File List: " +
                      lister.errorString());
            return;
        }
        if (names.empty() && !importedVersion.empty()) {
            // Take the accounts over from the older version's folder.
            OrbFileRefEx older(folder);
            older.removeLastItem();
            older.removeLastItem();
            older.addItem(OrbFileRef::encodeSlashes(importedVersion));
            older.addItem(u"Accounts");
            if (older.dirExists() && older.listItems(&names, kPathStyleWindows)) {
                folder = older;
                migrated = !names.empty();
            } else {
                DEBUG_OUT(
                    u"FTPAccounts::loadAccounts: Could not load Accounts from Previous Version; Error getting "
                    u"File List: " +
                    older.errorString());
            }
        }
        if (names.empty()) DEBUG_OUT("FTPAccounts::loadAccounts: No accounts to load.");
        for (const ucstring& n : names) {
            OrbFileRef item(folder);
            item.addItem(OrbFileRef::encodeSlashes(n));
            if (item.fileExists() && n.rfind(u".", 0) != 0) files.push_back(n);  // dot files are our temporaries
        }
    }
    for (const ucstring& name : files) {
        OrbFileRef file(folder);
        file.addItem(OrbFileRef::encodeSlashes(name));
        FTPAccount* existing = findAccountByFileName(name);
        OrbDateTime modified;
        if (existing && file.modificationDate(modified) && !(existing->loadTime().dateTime() < modified.dateTime())) {
            existing->setValid(true);
            continue;
        }
        readAccountFile(file, name);
    }
    if (single.empty()) {
        for (const FTPAccount& a : mAccounts)
            if (!a.valid()) mStored.erase(stringNormalize(a.fileName()));
        mAccounts.erase(
            std::remove_if(mAccounts.begin(), mAccounts.end(), [](const FTPAccount& a) { return !a.valid(); }),
            mAccounts.end());
    }
    if (migrated) {
        mStored.clear();  // none of them has a file in this folder yet
        const ucstring error = saveAccounts();
        if (!error.empty()) DEBUG_OUT(u"FTPAccounts::loadAccounts: " + error);
    }
}

ucstring FTPAccounts::saveAccounts(const ucstring& name, const ucstring& skipIfSet) {
    if (!skipIfSet.empty() || mSaving) return {};
    mSaving = true;
    struct Done {
        bool& saving;
        ~Done() { saving = false; }
    } done{mSaving};
    if (mAccounts.empty()) {
        DEBUG_OUT("No Accounts to Save.");
        return {};
    }
    if (!generateAccountsPath(true)) return u"Could not Save Accounts; Could not Find/Create Accounts Directory.";
    if (!name.empty() && !find(name)) return u"Could not save account named '" + name + u"'; Account does not exist.";
    const FolderHold hold(*this);
    if (!hold.error().empty()) return u"Could not Save Accounts; " + hold.error();
    ucstring firstError;
    for (FTPAccount& a : mAccounts) {
        if (!name.empty() && stringNormalize(a.name()) != stringNormalize(name)) continue;
        const ucstring error = saveAccountFile(a);
        if (error.empty()) continue;
        DEBUG_OUT(error);
        if (firstError.empty()) firstError = error;
    }
    return firstError;
}

ucstring FTPAccounts::saveAccountFile(FTPAccount& a) {
    OrbFileRef file(mAccountsPathRef);
    file.addItem(OrbFileRef::encodeSlashes(a.fileName()));
    const ucstring storedKey = stringNormalize(a.fileName());
    const auto stored = mStored.find(storedKey);
    const bool exists = file.fileExists();
    // A new file gets every key; an existing one only what changed here since it was last read.
    const std::vector<AccountKey> keys = accountKeys(a);
    const std::vector<AccountKey> before =
        stored == mStored.end() ? std::vector<AccountKey>() : accountKeys(stored->second);
    std::vector<const AccountKey*> changed;
    for (size_t i = 0; i < keys.size(); ++i)
        if (exists && !before.empty() ? keys[i].value != before[i].value : keys[i].isSet()) changed.push_back(&keys[i]);
    if (changed.empty()) return {};

    ucstringlist lines;
    ucstring error;
    if (exists && !stringlistLoadFromFile(error, &lines, file, kCharSetUTF8)) return error;
    for (const AccountKey* k : changed) {
        // An unchanged password keeps its stored text (another installation's filler bytes).
        const ucstring key = k->key;
        if ((key == u"Password" || key == u"KeyPassphrase") && stringlistIndexOfName(lines, key) >= 0 &&
            decryptPasswordText(stringlistValueForName(lines, key, u'=', false)) ==
                (key == u"Password" ? a.password() : a.keyPassphrase()))
            continue;
        stringlistSetValueForName(lines, k->key, k->value, u'=', false);
    }
    if (!stringlistReplaceFile(error, lines, file, kLineEndingCRLF, kCharSetUTF8, false, true)) return error;

    // The file now also holds what other processes changed: so does the account.
    FTPAccount merged;
    if (merged.readLines(lines)) {
        merged.mutableFileName() = a.fileName();
        a = merged;
    }
    OrbDateTime modified;
    if (file.modificationDate(modified)) a.mutableLoadTime() = modified;
    a.setValid(true);
    mStored[storedKey] = a;
    return {};
}

FTPAccount* FTPAccounts::find(const ucstring& name) {
    const ucstring wanted = stringNormalize(name);
    for (FTPAccount& a : mAccounts)
        if (stringNormalize(a.name()) == wanted) return &a;
    return nullptr;
}

FTPAccount* FTPAccounts::findAccount(const ucstring& name) {
    if (!mSkipLoading) loadAccounts();
    return find(name);
}

FTPAccount* FTPAccounts::findAccountByFileName(const ucstring& fileName) {
    const ucstring wanted = stringNormalize(fileName);
    for (FTPAccount& a : mAccounts)
        if (stringNormalize(a.fileName()) == wanted) return &a;
    return nullptr;
}

bool FTPAccounts::addAccount(ucstring& error, const ucstring& name) {
    const ucstring trimmed = stringTrim(name);
    if (trimmed.empty()) {
        error = u"You must specify a name for the New Account.";
        return false;
    }
    if (!accountTextIsStorable(trimmed)) {
        error = u"An account name cannot hold a carriage return, line feed or NUL character.";
        return false;
    }
    if (!generateAccountsPath(true)) {
        error = u"Could not Save Accounts; Could not Find/Create Accounts Directory.";
        return false;
    }
    // Under the folder's lock, with every account there is in view: another process may have
    // just added one of this name, or taken the file name.
    const FolderHold hold(*this);
    if (!hold.error().empty()) {
        error = u"Could not Save Accounts; " + hold.error();
        return false;
    }
    reloadAccounts();
    if (find(trimmed)) {
        error = u"There is already an Account with the Name '" + trimmed + u"'.";
        return false;
    }
    const ucstring base = accountFileBase(trimmed);
    auto taken = [&](const ucstring& fileName) {
        OrbFileRef file(mAccountsPathRef);
        file.addItem(OrbFileRef::encodeSlashes(fileName));
        return findAccountByFileName(fileName) || file.fileExists() || file.dirExists();
    };
    ucstring fileName = base;
    for (int64_t counter = 0; taken(fileName); ++counter) fileName = base + numberKey(counter);
    FTPAccount account;
    account.mutableName() = trimmed;
    account.mutableFileName() = fileName;
    mAccounts.push_back(account);
    error = saveAccountFile(mAccounts.back());
    if (!error.empty()) {
        mAccounts.pop_back();
        return false;
    }
    return true;
}

ucstring FTPAccounts::removeAccount(const ucstring& name) {
    const ucstring wanted = stringNormalize(name);
    for (auto it = mAccounts.begin(); it != mAccounts.end(); ++it) {
        if (stringNormalize(it->name()) != wanted) continue;
        if (generateAccountsPath(false)) {
            const FolderHold hold(*this);
            if (!hold.error().empty()) return u"Could not remove the account's file; " + hold.error();
            OrbFileRef file(mAccountsPathRef);
            file.addItem(OrbFileRef::encodeSlashes(it->fileName()));
            if (file.fileExists() && !file.removeFile()) return file.errorString();
        }
        mStored.erase(stringNormalize(it->fileName()));
        mAccounts.erase(it);
        return {};
    }
    return {};
}

void FTPAccounts::copyAccountNames(ucstringlist& names) {
    names.clear();
    loadAccounts();
    for (const FTPAccount& a : mAccounts) names.push_back(a.name());
}
