#include "FTPAccount.h"

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
}

namespace {

// Filler bytes between the scrambled characters: every digit and letter once. Files scrambled
// with another alphabet still unscramble, since only the positions of the real bytes matter.
const char kAlphabet[] = "Voa5TR8NecsmyF0Ju7LZD2X6g1iBwHq43P9k";
constexpr int kAlphabetLength = 36;

int alphabetIndex(unsigned char c) {
    const void* found = c ? std::memchr(kAlphabet, c, kAlphabetLength) : nullptr;
    return found ? static_cast<int>(static_cast<const char*>(found) - kAlphabet) : -1;
}

// The letter shift wraps around the alphabet. (Adding or subtracting 26 just once, as earlier
// writers did, gives the same bytes for every password those could store, but breaks passwords
// longer than about 25 characters, which then no longer read back.)
int wrap26(int t) { return ((t % 26) + 26) % 26; }

}  // namespace

std::string encryptPassword(const std::string& password) {
    const int n = static_cast<int>(password.size());
    if (n == 0) return {};
    const int L = kAlphabetLength;
    const unsigned char last = static_cast<unsigned char>(password.back());
    int k = alphabetIndex(last);
    if (k < 0 && last >= 'a' && last <= 'z') k = alphabetIndex(static_cast<unsigned char>(last - 32));
    if (k < 0) k = 15;
    const int s = n < 4 ? 2 * n : (n >= L - 4 && n <= L + 4) ? n / 2 : n;

    std::string out;
    out.reserve(2 * static_cast<size_t>(n) + 1);
    if (n % 2) {
        k = (k + s) % L;
        out.push_back(kAlphabet[k]);
    }
    for (unsigned char c : password) {
        if (c >= 'A' && c <= 'Z') {
            out.push_back(static_cast<char>(97 + wrap26(90 - n - c)));
        } else if (c >= 'a' && c <= 'z') {
            out.push_back(static_cast<char>(65 + wrap26(122 - c + n)));
        } else {
            out.push_back(static_cast<char>(c));
        }
        k = (k + s) % L;
        out.push_back(kAlphabet[k]);
    }
    return out;
}

std::string decryptPassword(const std::string& scrambled) {
    const int m = static_cast<int>(scrambled.size());
    const int n = m / 2;
    std::string out;
    out.reserve(static_cast<size_t>(n));
    for (int i = m % 2; i < m; i += 2) {
        const unsigned char c = static_cast<unsigned char>(scrambled[static_cast<size_t>(i)]);
        if (c >= 'A' && c <= 'Z') {
            out.push_back(static_cast<char>(122 - wrap26(c - n - 65)));
        } else if (c >= 'a' && c <= 'z') {
            out.push_back(static_cast<char>(90 - wrap26(n + c - 97)));
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

#include "_Common/CoreCode/Orb_Variable.h"
#include "_Common/Strings/Orb_String.h"

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

const char16_t* const kSecureTypeNames[] = {u"None", u"After Connect (AUTH TLS Command)",
                                            u"Before Connect (Secure Port)", u"SSH"};

}  // namespace

bool FTPAccount::setOption(const std::string& option, const ucstring& rawValue, ucstring& confirmation,
                           ucstring& error) {
    const ucstring value = stringTrim(rawValue);
    const bool empty = value.empty();
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
    } else if (isOneOf(option, {"DATAPORTRANGESTART", "DATA PORT RANGE START", "DATAPORTRANGEEND",
                                "DATA PORT RANGE END"})) {
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
        const bool on = stringParseBoolean(value);
        setPassive(on);
        confirmation = on ? u"Passive turned On." : u"Passive turned Off.";
    } else {
        error = u"Unknown account option: " + ucstringFromUTF8String(option);
        return false;
    }
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
    } else {
        error = u"Unknown account option: " + ucstringFromUTF8String(option);
        return false;
    }
    return true;
}

FTPAccount* FTPAccounts::findAccount(const ucstring& name) {
    const ucstring wanted = stringNormalize(name);
    for (FTPAccount& a : mAccounts)
        if (stringNormalize(a.name()) == wanted) return &a;
    return nullptr;
}

bool FTPAccounts::addAccount(ucstring& error, const ucstring& name) {
    const ucstring trimmed = stringTrim(name);
    if (trimmed.empty()) {
        error = u"You must specify a name for the New Account.";
        return false;
    }
    if (findAccount(trimmed)) {
        error = u"There is already an Account with the Name '" + trimmed + u"'.";
        return false;
    }
    FTPAccount account;
    account.mutableName() = trimmed;
    mAccounts.push_back(account);
    error.clear();
    return true;
}

bool FTPAccounts::removeAccount(const ucstring& name) {
    const ucstring wanted = stringNormalize(name);
    for (auto it = mAccounts.begin(); it != mAccounts.end(); ++it) {
        if (stringNormalize(it->name()) == wanted) {
            mAccounts.erase(it);
            return true;
        }
    }
    return false;
}

void FTPAccounts::copyAccountNames(ucstringlist& names) {
    names.clear();
    for (const FTPAccount& a : mAccounts) names.push_back(a.name());
}
