#include "Orb_Scramble.h"

#include "_Common/Strings/Orb_String.h"

#include <cstring>

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

ucstring encryptPasswordText(const std::string& password) {
    ucstring text;
    for (char c : encryptPassword(password)) text.push_back(static_cast<unsigned char>(c));  // U+0000 to U+00FF
    return text;
}

std::string decryptPasswordText(const ucstring& stored) {
    std::string bytes;
    bytes.reserve(stored.size());
    for (char16_t c : stored) {
        if (c > 0xFF) return decryptPassword(ucstringToUTF8String(stored));
        bytes.push_back(static_cast<char>(c));
    }
    return decryptPassword(bytes);
}
