// The character sets the text functions accept, byte-order-mark detection, and the one place
// where bytes in any of those sets are converted to and from wide (UTF-16) text.
#pragma once

#include "Orb_StringTypes.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

enum CharSetCode : int16_t {
    kCharSetUnknown = -1,
    kCharSetUCS2 = 0,  // UTF-16, byte order chosen by the caller
    kCharSetUTF8 = 1,
    kCharSetISO8859_1 = 2,
    kCharSetMacRoman = 3,
    kCharSetISO8859_2 = 4,
    kCharSetMacCentralEurope = 5,
    kCharSetJapanese = 6,
    kCharSetISO8859_3 = 7,
    kCharSetISO8859_4 = 8,
    kCharSetISO8859_5 = 9,
    kCharSetISO8859_6 = 10,
    kCharSetISO8859_9 = 11,
    kCharSetISO8859_15 = 12,
    kCharSetWindows1250 = 13,
    kCharSetWindows1251 = 14,
    kCharSetWindows1252 = 15,
    kCharSetWindows1253 = 16,
    kCharSetWindows1254 = 17,
    kCharSetWindows1255 = 18,
    kCharSetWindows1256 = 19,
    kCharSetWindows1257 = 20,
    kCharSetBig5 = 21,
    kCharSetGB2312 = 22,
    kCharSetKOI8R = 23,
    kCharSetKSC5601 = 24,
    kCharSetISO2022JP = 25,  // the 7-bit Japanese mail encoding; 6 is Shift_JIS
    kCharSetISO8859_10 = 26,
    kCharSetCount = 27
};

// The code of a character-set name as users write it ("utf-8", " Latin1 ", "WinCyrillic"),
// matched after stringNormalize; -1 when the name is unknown.
int16_t stringToCharSet(const ucstring& name);
int16_t stringToCharSet(const std::string& name);

// Looks at the first bytes of a text for a Unicode form: FE FF / FF FE (UTF-16 with a mark),
// EF BB BF (UTF-8 with a mark), or, in four bytes, the zero pattern of BMP text in UTF-16 without
// a mark. Returns whether one was recognised; the outputs are always set, to UTF-8, big-endian
// and no mark when nothing was.
bool checkForUnicodeCharSet(const void* bytes, size_t length, int16_t& charSet, bool& littleEndian, int& markLength);

// Converts bytes in a character set to wide text, replacing `out`. Bytes that are not valid in
// the set become U+FFFD. littleEndian matters for UCS-2 only. Returns an error text (empty on
// success); `substitutions`, when given, receives the number of replaced sequences.
[[nodiscard]] ucstring charSetDecode(ucstring& out, std::string_view bytes, int16_t charSet, bool littleEndian = false,
                                     size_t* substitutions = nullptr);

// Converts wide text to bytes in a character set, replacing `out`. A character the set cannot
// hold (and a lone surrogate) becomes "?" (U+FFFD in the Unicode forms); `substitutions` counts
// them so that callers can warn. Returns an error text (empty on success).
[[nodiscard]] ucstring charSetEncode(std::string& out, std::u16string_view text, int16_t charSet,
                                     bool littleEndian = false, size_t* substitutions = nullptr);
