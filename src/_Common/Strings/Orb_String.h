// String helpers used everywhere: conversions between wide and 8-bit text, trimming and case,
// numbers and booleans, name/value pairs. Each helper exists for both forms under one name.
#pragma once

#include "Orb_StringTypes.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// ---- Conversions ---------------------------------------------------------------------------

// UTF-8 to wide text. Four-byte sequences become surrogate pairs; every invalid byte sequence
// becomes U+FFFD, so valid UTF-8 round-trips and nothing is dropped unnoticed; `substitutions`,
// when given, receives the number of replacements.
ucstring ucstringFromUTF8String(std::string_view utf8, size_t* substitutions = nullptr);
ucstring ucstringFromUTF8CStr(const char* utf8);  // null gives the empty text
// Wide text to UTF-8. A surrogate pair becomes one four-byte sequence; a lone surrogate U+FFFD.
std::string ucstringToUTF8String(std::u16string_view text, size_t* substitutions = nullptr);

// Byte-for-unit widening and low-byte narrowing, for ASCII text only (option names, numbers).
ucstring ucstringFromString(std::string_view ascii);
std::string ucstringToString(std::u16string_view text);

ucstringlist ucstringlistFromStringlist(const stringlist& utf8Lines);

// ---- Characters, trimming, case -------------------------------------------------------------

// White space of the wide form: 9-13, 32, 0x85, 0xA0, 0x1680, 0x180E, 0x2000-0x200A, 0x200C,
// 0x2028, 0x2029, 0x202F, 0x205F, 0x3000.
bool charIsSpace(char16_t c);
// The 8-bit form is UTF-8 (or raw bytes): only 9-13 and 32 are blanks there, since 0x85 and
// 0xA0 are continuation bytes of multi-byte characters and must never be trimmed away.
bool charIsSpace(char c);

std::string stringTrim(const std::string& s);
ucstring stringTrim(const ucstring& s);
std::string stringTrimLeft(const std::string& s);
ucstring stringTrimLeft(const ucstring& s);
std::string stringTrimRight(const std::string& s);
ucstring stringTrimRight(const ucstring& s);

// ASCII letters only; everything else is left as it is.
std::string stringUpperCase(const std::string& s);
ucstring stringUpperCase(const ucstring& s);
std::string stringLowerCase(const std::string& s);
ucstring stringLowerCase(const ucstring& s);

// Trim, then ASCII upper case: the form in which names and keywords are compared.
std::string stringNormalize(const std::string& s);
ucstring stringNormalize(const ucstring& s);

// Unicode composition (NFC) by the platform. The 8-bit form is read and written as UTF-8.
std::string stringNormalizeUnicode(const std::string& s);
ucstring stringNormalizeUnicode(const ucstring& s);
// True when both texts are equal after composition and full Unicode upper-casing (path items).
bool stringNormalizeUnicodeUpperCaseCompare(const std::string& a, const std::string& b);
bool stringNormalizeUnicodeUpperCaseCompare(const ucstring& a, const ucstring& b);

// ---- Searching and slicing ------------------------------------------------------------------

// ignoreCase compares ASCII letters without regard to case.
bool stringStartsWith(const std::string& s, const std::string& prefix, bool ignoreCase = false);
bool stringStartsWith(const ucstring& s, const ucstring& prefix, bool ignoreCase = false);
bool stringEndsWith(const std::string& s, const std::string& suffix, bool ignoreCase = false);
bool stringEndsWith(const ucstring& s, const ucstring& suffix, bool ignoreCase = false);

// Position of the n-th (1 = first) occurrence of c; n = -1 finds the last one. -1 when absent.
int64_t stringFindNth(const std::string& s, char c, int64_t n);
int64_t stringFindNth(const ucstring& s, char16_t c, int64_t n);

// The first / last n characters; the whole text when it is shorter, empty for n <= 0.
std::string stringLeft(const std::string& s, int64_t n);
ucstring stringLeft(const ucstring& s, int64_t n);
std::string stringRight(const std::string& s, int64_t n);
ucstring stringRight(const ucstring& s, int64_t n);

// Every occurrence, left to right, without rescanning replaced text. An empty `from` changes
// nothing. The in-place forms return the number of replacements.
std::string stringReplaceAll(const std::string& s, const std::string& from, const std::string& to);
ucstring stringReplaceAll(const ucstring& s, const ucstring& from, const ucstring& to);
size_t stringReplaceAllInPlace(std::string& s, const std::string& from, const std::string& to);
size_t stringReplaceAllInPlace(ucstring& s, const ucstring& from, const ucstring& to);

// Characters in reverse order. Surrogate pairs (wide) and UTF-8 sequences (8-bit) stay whole,
// so reversing never produces broken text.
std::string stringReverse(const std::string& s);
ucstring stringReverse(const ucstring& s);

// ---- Numbers and booleans -------------------------------------------------------------------

// strtol's leniency: leading blanks and a sign, reading stops at the first non-digit, no digits
// give 0; out-of-range values saturate. Always 64-bit.
int64_t stringToInteger(const std::string& s, int base = 10);
int64_t stringToInteger(const ucstring& s, int base = 10);
// The same leniency for decimals ("1.5e3"); the decimal point is always "." whatever the locale.
double stringToDouble(const std::string& s);
double stringToDouble(const ucstring& s);

// Decimal text; the double form is printf's "%.*g" with the given precision, locale-free.
std::string& stringFromInteger(std::string& out, int64_t value);
ucstring& stringFromInteger(ucstring& out, int64_t value);
std::string& stringFromDouble(std::string& out, double value, int precision);
ucstring& stringFromDouble(ucstring& out, double value, int precision);

// True when the trimmed text is an optional sign, digits and at most one "." (at least one digit).
bool stringIsNumeric(const std::string& s);
bool stringIsNumeric(const ucstring& s);

// Normalised "T", "TRUE", "Y", "YES", "ON" are true; so is a text with a digit whose leading
// base-10 integer is above 0. Anything else ("0", "-1", "NO", "OFF", "") is false.
bool stringParseBoolean(const std::string& s);
bool stringParseBoolean(const ucstring& s);

// For "name<separator>value": the trimmed text before the first separator, and everything after
// it (untrimmed). Without a separator the name is the whole trimmed text and the value empty.
std::string stringName(const std::string& s, char separator);
ucstring stringName(const ucstring& s, char16_t separator);
std::string stringValue(const std::string& s, char separator);
ucstring stringValue(const ucstring& s, char16_t separator);
