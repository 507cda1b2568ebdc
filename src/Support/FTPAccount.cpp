#include "FTPAccount.h"

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

#include "_Common/Strings/Orb_String.h"

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
