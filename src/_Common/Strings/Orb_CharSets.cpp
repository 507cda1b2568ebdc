#include "Orb_CharSets.h"

#include "Orb_String.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <algorithm>
#include <memory>

namespace {

struct CharSetName {
    const char* name;
    int16_t code;
};

// Every spelling users may give, in normalised form. "LATINn" is the ISO alphabet of that number:
// Latin-5 is ISO-8859-9, Latin-6 ISO-8859-10 and Latin-9 ISO-8859-15.
constexpr CharSetName kCharSetNames[] = {
    {"UCS-2", kCharSetUCS2},
    {"UCS_2", kCharSetUCS2},
    {"UCS2", kCharSetUCS2},
    {"UTF-8", kCharSetUTF8},
    {"UTF_8", kCharSetUTF8},
    {"UTF8", kCharSetUTF8},
    {"ISO-8859-1", kCharSetISO8859_1},
    {"ISO_8859_1", kCharSetISO8859_1},
    {"ISO88591", kCharSetISO8859_1},
    {"LATIN1", kCharSetISO8859_1},
    {"US-ASCII", kCharSetISO8859_1},
    {"USASCII", kCharSetISO8859_1},
    {"MACROMAN", kCharSetMacRoman},
    {"ISO-8859-2", kCharSetISO8859_2},
    {"ISO_8859_2", kCharSetISO8859_2},
    {"ISO88592", kCharSetISO8859_2},
    {"LATIN2", kCharSetISO8859_2},
    {"MACCENTEUROPE", kCharSetMacCentralEurope},
    {"ISO-2022-JP", kCharSetISO2022JP},
    {"ISO_2022_JP", kCharSetISO2022JP},
    {"ISO2022JP", kCharSetISO2022JP},
    {"SHIFTJIS", kCharSetJapanese},
    {"ISO-8859-3", kCharSetISO8859_3},
    {"ISO_8859_3", kCharSetISO8859_3},
    {"ISO88593", kCharSetISO8859_3},
    {"LATIN3", kCharSetISO8859_3},
    {"ISO-8859-4", kCharSetISO8859_4},
    {"ISO_8859_4", kCharSetISO8859_4},
    {"ISO88594", kCharSetISO8859_4},
    {"LATIN4", kCharSetISO8859_4},
    {"ISO-8859-5", kCharSetISO8859_5},
    {"ISO_8859_5", kCharSetISO8859_5},
    {"ISO88595", kCharSetISO8859_5},
    {"ISO-8859-6", kCharSetISO8859_6},
    {"ISO_8859_6", kCharSetISO8859_6},
    {"ISO88596", kCharSetISO8859_6},
    {"ISO-8859-9", kCharSetISO8859_9},
    {"ISO_8859_9", kCharSetISO8859_9},
    {"ISO88599", kCharSetISO8859_9},
    {"LATIN5", kCharSetISO8859_9},
    {"ISO-8859-10", kCharSetISO8859_10},
    {"ISO_8859_10", kCharSetISO8859_10},
    {"ISO885910", kCharSetISO8859_10},
    {"LATIN6", kCharSetISO8859_10},
    {"ISO-8859-15", kCharSetISO8859_15},
    {"ISO_8859_15", kCharSetISO8859_15},
    {"ISO885915", kCharSetISO8859_15},
    {"LATIN9", kCharSetISO8859_15},
    {"LATIN15", kCharSetISO8859_15},
    {"WINDOWS-1250", kCharSetWindows1250},
    {"WINDOWS_1250", kCharSetWindows1250},
    {"WINDOWS1250", kCharSetWindows1250},
    {"WINEASTERNEUROPE", kCharSetWindows1250},
    {"WINDOWS-1251", kCharSetWindows1251},
    {"WINDOWS_1251", kCharSetWindows1251},
    {"WINDOWS1251", kCharSetWindows1251},
    {"WINCYRILLIC", kCharSetWindows1251},
    {"WINDOWS-1252", kCharSetWindows1252},
    {"WINDOWS_1252", kCharSetWindows1252},
    {"WINDOWS1252", kCharSetWindows1252},
    {"WINASCII", kCharSetWindows1252},
    {"WINDOWS-1253", kCharSetWindows1253},
    {"WINDOWS_1253", kCharSetWindows1253},
    {"WINDOWS1253", kCharSetWindows1253},
    {"WINGREEK", kCharSetWindows1253},
    {"WINDOWS-1254", kCharSetWindows1254},
    {"WINDOWS_1254", kCharSetWindows1254},
    {"WINDOWS1254", kCharSetWindows1254},
    {"WINTURKISH", kCharSetWindows1254},
    {"WINDOWS-1255", kCharSetWindows1255},
    {"WINDOWS_1255", kCharSetWindows1255},
    {"WINDOWS1255", kCharSetWindows1255},
    {"WINHEBREW", kCharSetWindows1255},
    {"WINDOWS-1256", kCharSetWindows1256},
    {"WINDOWS_1256", kCharSetWindows1256},
    {"WINDOWS1256", kCharSetWindows1256},
    {"WINARABIC", kCharSetWindows1256},
    {"WINDOWS-1257", kCharSetWindows1257},
    {"WINDOWS_1257", kCharSetWindows1257},
    {"WINDOWS1257", kCharSetWindows1257},
    {"WINBALTIC", kCharSetWindows1257},
    {"BIG5", kCharSetBig5},
    {"CHINESETRAD", kCharSetBig5},
    {"GB2312", kCharSetGB2312},
    {"CHINESESIMP", kCharSetGB2312},
    {"KOI8-R", kCharSetKOI8R},
    {"KOI8_R", kCharSetKOI8R},
    {"KOI8R", kCharSetKOI8R},
    {"CYRILLIC", kCharSetKOI8R},
    {"KS-C-5601-1987", kCharSetKSC5601},
    {"KS_C_5601_1987", kCharSetKSC5601},
    {"KSC56011987", kCharSetKSC5601},
    {"KOREAN", kCharSetKSC5601},
};

// The ICU converter behind each code. Codes 0 and 1 do not use this table: UCS-2 is UTF-16 in
// the caller's byte order, copied unit by unit (so surrogate pairs, and any lone surrogate,
// pass unchanged), and UTF-8 goes through the UTF-8 codec of the string helpers.
//
// Where a name covers a family, the member Windows writes under that name is used, since that is
// what the files this plug-in exchanges contain:
//  - 6 Shift_JIS is written in its Windows form (code page 932, "windows-31j"): it is what
//    Japanese text files on Windows hold. Reading it still accepts ISO-2022-JP: text that is pure
//    7-bit and carries escape sequences can only be ISO-2022-JP and is read as such (see
//    charSetDecode).
//  - 21 Big5 is code page 950, 22 GB 2312 is code page 936 (GBK, a superset of GB 2312), 24
//    KS C 5601-1987 is code page 949 (Unified Hangul Code, a superset of KS C 5601): the
//    supersets read every text of the smaller sets.
//  - 2 ISO-8859-1 also stands for US-ASCII, of which it is a superset.
constexpr const char* kConverterNames[kCharSetCount] = {
    nullptr,                  // 0 UCS-2
    nullptr,                  // 1 UTF-8
    "ISO-8859-1",             // 2
    "macintosh",              // 3 Mac Roman
    "ISO-8859-2",             // 4
    "x-mac-centraleurroman",  // 5 Mac Central European
    "windows-31j",            // 6 Shift_JIS (code page 932)
    "ISO-8859-3",             // 7
    "ISO-8859-4",             // 8
    "ISO-8859-5",             // 9
    "ISO-8859-6",             // 10
    "ISO-8859-9",             // 11
    "ISO-8859-15",            // 12
    "windows-1250",           // 13
    "windows-1251",           // 14
    "windows-1252",           // 15
    "windows-1253",           // 16
    "windows-1254",           // 17
    "windows-1255",           // 18
    "windows-1256",           // 19
    "windows-1257",           // 20
    "windows-950",            // 21 Big5
    "windows-936",            // 22 GB 2312
    "KOI8-R",                 // 23
    "windows-949",            // 24 KS C 5601-1987
    "ISO-2022-JP",            // 25
    "ISO-8859-10",            // 26
};

constexpr char16_t kReplacementChar = 0xFFFD;

const ucstring kUnsupportedCharSet = u"Unsupported Character Set.";

template <class S>
int16_t charSetOfName(const S& name) {
    const S normalized = stringNormalize(name);
    for (const CharSetName& entry : kCharSetNames) {
        const std::string_view candidate(entry.name);
        if (std::equal(normalized.begin(), normalized.end(), candidate.begin(), candidate.end())) return entry.code;
    }
    return kCharSetUnknown;
}

// ISO-2022-JP is pure 7-bit and shifts into its double-byte sets with escape sequences; Shift_JIS
// text has bytes above 0x7F for every Japanese character and no reason to hold an escape.
bool looksLikeISO2022JP(std::string_view bytes) {
    bool escape = false;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
        if (c == 0x1B) escape = true;
    }
    return escape;
}

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// Replaces each invalid byte sequence by U+FFFD and counts it.
void substituteToUnicode(const void* context, UConverterToUnicodeArgs* args, const char*, int32_t,
                         UConverterCallbackReason reason, UErrorCode* err) {
    if (reason > UCNV_IRREGULAR) return;  // reset, close and clone calls
    ++*static_cast<size_t*>(const_cast<void*>(context));
    *err = U_ZERO_ERROR;
    const UChar replacement = kReplacementChar;
    ucnv_cbToUWriteUChars(args, &replacement, 1, 0, err);
}

// Replaces each character the set cannot hold by the converter's substitute ("?") and counts it.
void substituteFromUnicode(const void* context, UConverterFromUnicodeArgs* args, const UChar* units, int32_t length,
                           UChar32 codePoint, UConverterCallbackReason reason, UErrorCode* err) {
    if (reason > UCNV_IRREGULAR) return;
    ++*static_cast<size_t*>(const_cast<void*>(context));
    UCNV_FROM_U_CALLBACK_SUBSTITUTE(nullptr, args, units, length, codePoint, reason, err);
}

ucstring openConverter(Converter& converter, const char* name, size_t* counter) {
    UErrorCode status = U_ZERO_ERROR;
    converter.reset(ucnv_open(name, &status));
    if (U_FAILURE(status) || !converter) {
        return u"Could not open the converter for " + ucstringFromString(name) + u": " +
               ucstringFromString(u_errorName(status));
    }
    ucnv_setSubstChars(converter.get(), "?", 1, &status);
    ucnv_setToUCallBack(converter.get(), substituteToUnicode, counter, nullptr, nullptr, &status);
    ucnv_setFromUCallBack(converter.get(), substituteFromUnicode, counter, nullptr, nullptr, &status);
    if (U_FAILURE(status))
        return u"Could not set up the converter for " + ucstringFromString(name) + u": " +
               ucstringFromString(u_errorName(status));
    return {};
}

ucstring conversionError(const char* name, UErrorCode status) {
    return u"Error converting text with " + ucstringFromString(name) + u": " + ucstringFromString(u_errorName(status));
}

}  // namespace

int16_t stringToCharSet(const ucstring& name) { return charSetOfName(name); }
int16_t stringToCharSet(const std::string& name) { return charSetOfName(name); }

bool checkForUnicodeCharSet(const void* bytes, size_t length, int16_t& charSet, bool& littleEndian, int& markLength) {
    charSet = kCharSetUTF8;
    littleEndian = false;
    markLength = 0;
    if (!bytes) return false;
    const auto* b = static_cast<const unsigned char*>(bytes);
    if (length >= 2 && b[0] == 0xFE && b[1] == 0xFF) {
        charSet = kCharSetUCS2;
        markLength = 2;
        return true;
    }
    if (length >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
        charSet = kCharSetUCS2;
        littleEndian = true;
        markLength = 2;
        return true;
    }
    if (length >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
        markLength = 3;
        return true;
    }
    if (length >= 4) {
        if (b[0] == 0 && b[2] == 0 && b[1] != 0 && b[3] != 0) {
            charSet = kCharSetUCS2;
            return true;
        }
        if (b[1] == 0 && b[3] == 0 && b[0] != 0 && b[2] != 0) {
            charSet = kCharSetUCS2;
            littleEndian = true;
            return true;
        }
    }
    return false;
}

ucstring charSetDecode(ucstring& out, std::string_view bytes, int16_t charSet, bool littleEndian,
                       size_t* substitutions) {
    size_t replaced = 0;
    if (substitutions) *substitutions = 0;
    out.clear();
    if (charSet < 0 || charSet >= kCharSetCount) return kUnsupportedCharSet;

    if (charSet == kCharSetUCS2) {
        const size_t units = bytes.size() / 2;
        out.resize(units);
        const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
        for (size_t i = 0; i < units; ++i) {
            const unsigned hi = littleEndian ? b[2 * i + 1] : b[2 * i];
            const unsigned lo = littleEndian ? b[2 * i] : b[2 * i + 1];
            out[i] = static_cast<char16_t>(hi << 8 | lo);
        }
        if (bytes.size() % 2) {
            out.push_back(kReplacementChar);  // half a code unit at the end
            replaced = 1;
        }
    } else if (charSet == kCharSetUTF8) {
        out = ucstringFromUTF8String(bytes, &replaced);
    } else if (!bytes.empty()) {
        const char* name = kConverterNames[charSet];
        if (charSet == kCharSetJapanese && looksLikeISO2022JP(bytes)) name = kConverterNames[kCharSetISO2022JP];
        Converter converter;
        const ucstring error = openConverter(converter, name, &replaced);
        if (!error.empty()) return error;

        // Every set here yields at most two units per byte; grow anyway if a table ever does more.
        out.resize(bytes.size() + 16);
        const char* source = bytes.data();
        const char* sourceEnd = source + bytes.size();
        size_t used = 0;
        for (;;) {
            UChar* target = reinterpret_cast<UChar*>(out.data()) + used;
            UChar* const targetEnd = reinterpret_cast<UChar*>(out.data()) + out.size();
            UErrorCode status = U_ZERO_ERROR;
            ucnv_toUnicode(converter.get(), &target, targetEnd, &source, sourceEnd, nullptr, true, &status);
            used = static_cast<size_t>(target - reinterpret_cast<UChar*>(out.data()));
            if (status == U_BUFFER_OVERFLOW_ERROR) {
                out.resize(out.size() * 2);
                continue;
            }
            if (U_FAILURE(status)) {
                out.clear();
                return conversionError(name, status);
            }
            break;
        }
        out.resize(used);
    }
    if (substitutions) *substitutions = replaced;
    return {};
}

ucstring charSetEncode(std::string& out, std::u16string_view text, int16_t charSet, bool littleEndian,
                       size_t* substitutions) {
    size_t replaced = 0;
    if (substitutions) *substitutions = 0;
    out.clear();
    if (charSet < 0 || charSet >= kCharSetCount) return kUnsupportedCharSet;

    if (charSet == kCharSetUCS2) {
        out.resize(text.size() * 2);
        for (size_t i = 0; i < text.size(); ++i) {
            const auto hi = static_cast<char>(text[i] >> 8);
            const auto lo = static_cast<char>(text[i] & 0xFF);
            out[2 * i] = littleEndian ? lo : hi;
            out[2 * i + 1] = littleEndian ? hi : lo;
        }
    } else if (charSet == kCharSetUTF8) {
        out = ucstringToUTF8String(text, &replaced);
    } else if (!text.empty()) {
        const char* name = kConverterNames[charSet];
        Converter converter;
        const ucstring error = openConverter(converter, name, &replaced);
        if (!error.empty()) return error;

        out.resize(text.size() * static_cast<size_t>(ucnv_getMaxCharSize(converter.get())) + 16);
        const UChar* source = reinterpret_cast<const UChar*>(text.data());
        const UChar* const sourceEnd = source + text.size();
        size_t used = 0;
        for (;;) {
            char* target = out.data() + used;
            char* const targetEnd = out.data() + out.size();
            UErrorCode status = U_ZERO_ERROR;
            ucnv_fromUnicode(converter.get(), &target, targetEnd, &source, sourceEnd, nullptr, true, &status);
            used = static_cast<size_t>(target - out.data());
            if (status == U_BUFFER_OVERFLOW_ERROR) {
                out.resize(out.size() * 2);
                continue;
            }
            if (U_FAILURE(status)) {
                out.clear();
                return conversionError(name, status);
            }
            break;
        }
        out.resize(used);
    }
    if (substitutions) *substitutions = replaced;
    return {};
}
