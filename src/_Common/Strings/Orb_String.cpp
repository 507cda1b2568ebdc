#include "Orb_String.h"

#include <platform/Unicode.h>

#include <unicode/ustring.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

constexpr UChar32 kReplacementChar = 0xFFFD;

// ---- Generic forms: both string types share one body ------------------------------------------

template <class S>
S trimmed(const S& s, bool left, bool right) {
    size_t first = 0, last = s.size();
    if (left)
        while (first < last && charIsSpace(s[first])) ++first;
    if (right)
        while (last > first && charIsSpace(s[last - 1])) --last;
    return s.substr(first, last - first);
}

template <class C>
C asciiUpper(C c) {
    return (c >= C('a') && c <= C('z')) ? C(c - ('a' - 'A')) : c;
}

template <class C>
C asciiLower(C c) {
    return (c >= C('A') && c <= C('Z')) ? C(c + ('a' - 'A')) : c;
}

template <class S>
bool equalIgnoringAsciiCase(const S& a, size_t aPos, const S& b) {
    for (size_t i = 0; i < b.size(); ++i)
        if (asciiUpper(a[aPos + i]) != asciiUpper(b[i])) return false;
    return true;
}

template <class S>
bool startsWith(const S& s, const S& prefix, bool ignoreCase) {
    if (prefix.size() > s.size()) return false;
    return ignoreCase ? equalIgnoringAsciiCase(s, 0, prefix) : s.compare(0, prefix.size(), prefix) == 0;
}

template <class S>
bool endsWith(const S& s, const S& suffix, bool ignoreCase) {
    if (suffix.size() > s.size()) return false;
    const size_t pos = s.size() - suffix.size();
    return ignoreCase ? equalIgnoringAsciiCase(s, pos, suffix) : s.compare(pos, suffix.size(), suffix) == 0;
}

template <class S, class C>
int64_t findNth(const S& s, C c, int64_t n) {
    if (n == -1) {
        const size_t pos = s.rfind(c);
        return pos == S::npos ? -1 : static_cast<int64_t>(pos);
    }
    if (n < 1) return -1;
    size_t pos = S::npos;
    size_t from = 0;
    for (int64_t i = 0; i < n; ++i) {
        pos = s.find(c, from);
        if (pos == S::npos) return -1;
        from = pos + 1;
    }
    return static_cast<int64_t>(pos);
}

template <class S>
S left(const S& s, int64_t n) {
    if (n <= 0) return S();
    return s.substr(0, std::min<size_t>(static_cast<uint64_t>(n), s.size()));
}

template <class S>
S right(const S& s, int64_t n) {
    if (n <= 0) return S();
    const size_t count = std::min<size_t>(static_cast<uint64_t>(n), s.size());
    return s.substr(s.size() - count);
}

template <class S>
size_t replaceAllInPlace(S& s, const S& from, const S& to) {
    if (from.empty()) return 0;
    size_t count = 0;
    size_t pos = s.find(from);
    if (pos == S::npos) return 0;
    S result;
    result.reserve(s.size());
    size_t start = 0;
    while (pos != S::npos) {
        result.append(s, start, pos - start);
        result += to;
        start = pos + from.size();
        ++count;
        pos = s.find(from, start);
    }
    result.append(s, start, S::npos);
    s.swap(result);
    return count;
}

// The part of a text strtol/strtod would look at, as ASCII: leading C blanks skipped, and every
// non-ASCII unit turned into a character that stops the reading.
template <class S>
std::string numberPrefix(const S& s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || (s[i] >= 9 && s[i] <= 13))) ++i;
    std::string ascii;
    ascii.reserve(std::min<size_t>(s.size() - i, 64));
    for (; i < s.size(); ++i) {
        const auto c = static_cast<std::make_unsigned_t<typename S::value_type>>(s[i]);
        if (c >= 128 || c == 0) break;
        ascii.push_back(static_cast<char>(c));
    }
    return ascii;
}

int64_t toInteger(const std::string& ascii, int base) {
    if (base != 0 && (base < 2 || base > 36)) return 0;
    return static_cast<int64_t>(std::strtoll(ascii.c_str(), nullptr, base));
}

double toDouble(const std::string& ascii) {
    const char* p = ascii.data();
    const char* end = p + ascii.size();
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    // from_chars never looks at the locale, unlike strtod.
    double value = 0.0;
    const auto [stop, ec] = std::from_chars(p, end, value, std::chars_format::general);
    if (ec == std::errc::invalid_argument) return 0.0;
    if (ec == std::errc::result_out_of_range) {
        // Too large or too small to hold: saturate like strtod.
        const std::string_view parsed(p, static_cast<size_t>(stop - p));
        const size_t e = parsed.find_first_of("eE");
        const bool tiny = e != std::string_view::npos && e + 1 < parsed.size() && parsed[e + 1] == '-';
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}

template <class S>
S& fromInteger(S& out, int64_t value) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    out.assign(buf, r.ptr);
    return out;
}

template <class S>
S& fromDouble(S& out, double value, int precision) {
    // printf's "%.*g": a negative precision means the default, 6.
    if (precision < 0) precision = 6;
    precision = std::min(precision, 100);
    char buf[160];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, precision);
    out.assign(buf, r.ec == std::errc() ? r.ptr : buf);
    return out;
}

template <class S>
bool isNumeric(const S& s) {
    const S t = trimmed(s, true, true);
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    bool digit = false, dot = false;
    for (; i < t.size(); ++i) {
        if (t[i] >= '0' && t[i] <= '9') {
            digit = true;
        } else if (t[i] == '.' && !dot) {
            dot = true;
        } else {
            return false;
        }
    }
    return digit;
}

template <class S>
bool parseBoolean(const S& s) {
    const S n = stringNormalize(s);
    static const char* const words[] = {"T", "TRUE", "Y", "YES", "ON"};
    for (const char* w : words)
        if (std::equal(n.begin(), n.end(), w, w + std::char_traits<char>::length(w))) return true;
    const bool hasDigit = std::any_of(n.begin(), n.end(), [](auto c) { return c >= '0' && c <= '9'; });
    return hasDigit && stringToInteger(n, 10) > 0;
}

template <class S, class C>
S nameOf(const S& s, C separator) {
    const size_t pos = s.find(separator);
    return trimmed(pos == S::npos ? s : s.substr(0, pos), true, true);
}

template <class S, class C>
S valueOf(const S& s, C separator) {
    const size_t pos = s.find(separator);
    return pos == S::npos ? S() : s.substr(pos + 1);
}

}  // namespace

// ---- Conversions ---------------------------------------------------------------------------

ucstring ucstringFromUTF8String(std::string_view utf8, size_t* substitutions) {
    if (substitutions) *substitutions = 0;
    ucstring out;
    if (utf8.empty()) return out;
    // UTF-16 never needs more units than UTF-8 has bytes.
    out.resize(utf8.size());
    // ICU takes 32-bit lengths; longer input is converted in slices cut before a character start.
    const size_t maxSlice = INT32_MAX / 2;
    size_t done = 0, written = 0;
    while (done < utf8.size()) {
        size_t slice = std::min(utf8.size() - done, maxSlice);
        for (int back = 0;
             back < 3 && done + slice < utf8.size() && (static_cast<unsigned char>(utf8[done + slice]) & 0xC0) == 0x80;
             ++back)
            --slice;
        int32_t length = 0, replaced = 0;
        UErrorCode status = U_ZERO_ERROR;
        u_strFromUTF8WithSub(reinterpret_cast<UChar*>(out.data() + written),
                             static_cast<int32_t>(std::min<size_t>(out.size() - written, INT32_MAX)), &length,
                             utf8.data() + done, static_cast<int32_t>(slice), kReplacementChar, &replaced, &status);
        if (U_FAILURE(status)) return ucstring();
        if (substitutions) *substitutions += static_cast<size_t>(replaced);
        written += static_cast<size_t>(length);
        done += slice;
    }
    out.resize(written);
    return out;
}

ucstring ucstringFromUTF8CStr(const char* utf8) {
    return utf8 ? ucstringFromUTF8String(std::string_view(utf8)) : ucstring();
}

std::string ucstringToUTF8String(std::u16string_view text, size_t* substitutions) {
    if (substitutions) *substitutions = 0;
    std::string out;
    if (text.empty()) return out;
    // Three bytes per unit at most (a pair of units needs four).
    const size_t slice = INT32_MAX / 4;
    out.resize(text.size() * 3);
    size_t done = 0, written = 0;
    while (done < text.size()) {
        size_t count = std::min(text.size() - done, slice);
        // Keep a surrogate pair in one slice.
        if (done + count < text.size() && U16_IS_LEAD(text[done + count - 1])) --count;
        int32_t length = 0, replaced = 0;
        UErrorCode status = U_ZERO_ERROR;
        u_strToUTF8WithSub(out.data() + written,
                           static_cast<int32_t>(std::min<size_t>(out.size() - written, INT32_MAX)), &length,
                           reinterpret_cast<const UChar*>(text.data() + done), static_cast<int32_t>(count),
                           kReplacementChar, &replaced, &status);
        if (U_FAILURE(status)) return std::string();
        if (substitutions) *substitutions += static_cast<size_t>(replaced);
        written += static_cast<size_t>(length);
        done += count;
    }
    out.resize(written);
    return out;
}

ucstring ucstringFromString(std::string_view ascii) {
    ucstring out(ascii.size(), u'\0');
    std::transform(ascii.begin(), ascii.end(), out.begin(),
                   [](char c) { return static_cast<char16_t>(static_cast<unsigned char>(c)); });
    return out;
}

std::string ucstringToString(std::u16string_view text) {
    std::string out(text.size(), '\0');
    std::transform(text.begin(), text.end(), out.begin(), [](char16_t c) { return static_cast<char>(c & 0xFF); });
    return out;
}

ucstringlist ucstringlistFromStringlist(const stringlist& utf8Lines) {
    ucstringlist out;
    out.reserve(utf8Lines.size());
    for (const std::string& line : utf8Lines) out.push_back(ucstringFromUTF8String(line));
    return out;
}

// ---- Characters, trimming, case -------------------------------------------------------------

bool charIsSpace(char16_t c) {
    if (c <= 0x20) return c == 0x20 || (c >= 9 && c <= 13);
    if (c < 0x85) return false;
    switch (c) {
        case 0x85:
        case 0xA0:
        case 0x1680:
        case 0x180E:
        case 0x200C:
        case 0x2028:
        case 0x2029:
        case 0x202F:
        case 0x205F:
        case 0x3000: return true;
        default: return c >= 0x2000 && c <= 0x200A;
    }
}

bool charIsSpace(char c) { return c == ' ' || (c >= 9 && c <= 13); }

std::string stringTrim(const std::string& s) { return trimmed(s, true, true); }
ucstring stringTrim(const ucstring& s) { return trimmed(s, true, true); }
std::string stringTrimLeft(const std::string& s) { return trimmed(s, true, false); }
ucstring stringTrimLeft(const ucstring& s) { return trimmed(s, true, false); }
std::string stringTrimRight(const std::string& s) { return trimmed(s, false, true); }
ucstring stringTrimRight(const ucstring& s) { return trimmed(s, false, true); }

std::string stringUpperCase(const std::string& s) {
    std::string out(s);
    for (char& c : out) c = asciiUpper(c);
    return out;
}
ucstring stringUpperCase(const ucstring& s) {
    ucstring out(s);
    for (char16_t& c : out) c = asciiUpper(c);
    return out;
}
std::string stringLowerCase(const std::string& s) {
    std::string out(s);
    for (char& c : out) c = asciiLower(c);
    return out;
}
ucstring stringLowerCase(const ucstring& s) {
    ucstring out(s);
    for (char16_t& c : out) c = asciiLower(c);
    return out;
}

std::string stringNormalize(const std::string& s) { return stringUpperCase(stringTrim(s)); }
ucstring stringNormalize(const ucstring& s) { return stringUpperCase(stringTrim(s)); }

ucstring stringNormalizeUnicode(const ucstring& s) { return platform::unicodeNormalizeComposed(s); }
std::string stringNormalizeUnicode(const std::string& s) {
    return ucstringToUTF8String(platform::unicodeNormalizeComposed(ucstringFromUTF8String(s)));
}

bool stringNormalizeUnicodeUpperCaseCompare(const ucstring& a, const ucstring& b) {
    if (a == b) return true;
    return platform::unicodeUpperCase(platform::unicodeNormalizeComposed(a)) ==
           platform::unicodeUpperCase(platform::unicodeNormalizeComposed(b));
}
bool stringNormalizeUnicodeUpperCaseCompare(const std::string& a, const std::string& b) {
    return a == b || stringNormalizeUnicodeUpperCaseCompare(ucstringFromUTF8String(a), ucstringFromUTF8String(b));
}

// ---- Searching and slicing ------------------------------------------------------------------

bool stringStartsWith(const std::string& s, const std::string& prefix, bool ignoreCase) {
    return startsWith(s, prefix, ignoreCase);
}
bool stringStartsWith(const ucstring& s, const ucstring& prefix, bool ignoreCase) {
    return startsWith(s, prefix, ignoreCase);
}
bool stringEndsWith(const std::string& s, const std::string& suffix, bool ignoreCase) {
    return endsWith(s, suffix, ignoreCase);
}
bool stringEndsWith(const ucstring& s, const ucstring& suffix, bool ignoreCase) {
    return endsWith(s, suffix, ignoreCase);
}

int64_t stringFindNth(const std::string& s, char c, int64_t n) { return findNth(s, c, n); }
int64_t stringFindNth(const ucstring& s, char16_t c, int64_t n) { return findNth(s, c, n); }

std::string stringLeft(const std::string& s, int64_t n) { return left(s, n); }
ucstring stringLeft(const ucstring& s, int64_t n) { return left(s, n); }
std::string stringRight(const std::string& s, int64_t n) { return right(s, n); }
ucstring stringRight(const ucstring& s, int64_t n) { return right(s, n); }

std::string stringReplaceAll(const std::string& s, const std::string& from, const std::string& to) {
    std::string out(s);
    replaceAllInPlace(out, from, to);
    return out;
}
ucstring stringReplaceAll(const ucstring& s, const ucstring& from, const ucstring& to) {
    ucstring out(s);
    replaceAllInPlace(out, from, to);
    return out;
}
size_t stringReplaceAllInPlace(std::string& s, const std::string& from, const std::string& to) {
    return replaceAllInPlace(s, from, to);
}
size_t stringReplaceAllInPlace(ucstring& s, const ucstring& from, const ucstring& to) {
    return replaceAllInPlace(s, from, to);
}

ucstring stringReverse(const ucstring& s) {
    ucstring out;
    out.reserve(s.size());
    size_t i = s.size();
    while (i > 0) {
        --i;
        if (i > 0 && U16_IS_TRAIL(s[i]) && U16_IS_LEAD(s[i - 1])) {
            out.push_back(s[i - 1]);
            out.push_back(s[i]);
            --i;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

std::string stringReverse(const std::string& s) {
    std::string out(s.size(), '\0');
    size_t i = 0, end = s.size();
    while (i < s.size()) {
        // A lead byte with its continuation bytes moves as one piece; any other byte alone.
        const auto lead = static_cast<unsigned char>(s[i]);
        size_t len = 1;
        if (lead >= 0xC2 && lead <= 0xDF)
            len = 2;
        else if (lead >= 0xE0 && lead <= 0xEF)
            len = 3;
        else if (lead >= 0xF0 && lead <= 0xF4)
            len = 4;
        if (i + len > s.size()) len = 1;
        for (size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
                len = 1;
                break;
            }
        end -= len;
        std::copy_n(s.begin() + static_cast<ptrdiff_t>(i), len, out.begin() + static_cast<ptrdiff_t>(end));
        i += len;
    }
    return out;
}

// ---- Numbers and booleans -------------------------------------------------------------------

int64_t stringToInteger(const std::string& s, int base) { return toInteger(numberPrefix(s), base); }
int64_t stringToInteger(const ucstring& s, int base) { return toInteger(numberPrefix(s), base); }
double stringToDouble(const std::string& s) { return toDouble(numberPrefix(s)); }
double stringToDouble(const ucstring& s) { return toDouble(numberPrefix(s)); }

std::string& stringFromInteger(std::string& out, int64_t value) { return fromInteger(out, value); }
ucstring& stringFromInteger(ucstring& out, int64_t value) { return fromInteger(out, value); }
std::string& stringFromDouble(std::string& out, double value, int precision) {
    return fromDouble(out, value, precision);
}
ucstring& stringFromDouble(ucstring& out, double value, int precision) { return fromDouble(out, value, precision); }

bool stringIsNumeric(const std::string& s) { return isNumeric(s); }
bool stringIsNumeric(const ucstring& s) { return isNumeric(s); }

bool stringParseBoolean(const std::string& s) { return parseBoolean(s); }
bool stringParseBoolean(const ucstring& s) { return parseBoolean(s); }

std::string stringName(const std::string& s, char separator) { return nameOf(s, separator); }
ucstring stringName(const ucstring& s, char16_t separator) { return nameOf(s, separator); }
std::string stringValue(const std::string& s, char separator) { return valueOf(s, separator); }
ucstring stringValue(const ucstring& s, char16_t separator) { return valueOf(s, separator); }
