// The string helpers: UTF-8 conversion, trimming, case, searching, numbers and booleans.
#include "_Common/Strings/Orb_String.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

}  // namespace

TEST(StringUTF8, DecodesOneToFourByteSequences) {
    // A (1 byte), é U+00E9 (2), € U+20AC (3), 😀 U+1F600 (4 bytes, a surrogate pair).
    const std::string utf8 = bytes({0x41, 0xC3, 0xA9, 0xE2, 0x82, 0xAC, 0xF0, 0x9F, 0x98, 0x80});
    const ucstring expected{u'A', 0x00E9, 0x20AC, 0xD83D, 0xDE00};
    EXPECT_EQ(ucstringFromUTF8String(utf8), expected);
    EXPECT_EQ(ucstringToUTF8String(expected), utf8);
}

TEST(StringUTF8, EveryPlaneRoundTrips) {
    ucstring text;
    for (char32_t cp : {0x7FU, 0x80U, 0x7FFU, 0x800U, 0xD7FFU, 0xE000U, 0xFFFDU, 0xFFFFU, 0x10000U, 0x10FFFFU}) {
        if (cp < 0x10000) {
            text.push_back(static_cast<char16_t>(cp));
        } else {
            text.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            text.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        }
    }
    const std::string utf8 = ucstringToUTF8String(text);
    // U+10FFFF is F4 8F BF BF.
    EXPECT_EQ(utf8.substr(utf8.size() - 4), bytes({0xF4, 0x8F, 0xBF, 0xBF}));
    EXPECT_EQ(ucstringFromUTF8String(utf8), text);
}

TEST(StringUTF8, InvalidBytesBecomeReplacementCharacters) {
    size_t replaced = 0;
    // A stray continuation byte, a lead byte without its continuation, an overlong "/" and a
    // UTF-8-encoded surrogate are all invalid; the ASCII around them survives.
    const std::string bad = bytes({'a', 0x80, 'b', 0xC3, 'c', 0xC0, 0xAF, 'd', 0xED, 0xA0, 0x80, 'e'});
    const ucstring decoded = ucstringFromUTF8String(bad, &replaced);
    EXPECT_GE(replaced, 4u);
    EXPECT_EQ(decoded.front(), u'a');
    EXPECT_EQ(decoded.back(), u'e');
    for (char16_t c : u"bcd") {
        if (c) {
            EXPECT_NE(decoded.find(c), ucstring::npos);
        }
    }
    EXPECT_NE(decoded.find(char16_t(0xFFFD)), ucstring::npos);
    EXPECT_EQ(decoded.find(char16_t(0xD800)), ucstring::npos);
}

TEST(StringUTF8, LoneSurrogatesEncodeAsReplacementCharacter) {
    size_t replaced = 0;
    const ucstring text{u'x', 0xD800, u'y', 0xDC00};
    EXPECT_EQ(ucstringToUTF8String(text, &replaced), bytes({'x', 0xEF, 0xBF, 0xBD, 'y', 0xEF, 0xBF, 0xBD}));
    EXPECT_EQ(replaced, 2u);
}

TEST(StringUTF8, CStringFormsAndLists) {
    EXPECT_EQ(ucstringFromUTF8CStr(nullptr), u"");
    EXPECT_EQ(ucstringFromUTF8CStr("caf\xC3\xA9"), u"caf\u00E9");
    EXPECT_EQ(ucstringFromUTF8String(""), u"");
    EXPECT_EQ(ucstringToUTF8String(u""), "");
    const ucstringlist wide = ucstringlistFromStringlist({"a", "\xC3\xBC", ""});
    EXPECT_EQ(wide, (ucstringlist{u"a", u"\u00FC", u""}));
}

TEST(StringASCII, WidensAndNarrowsByteForUnit) {
    EXPECT_EQ(ucstringFromString("Pro 16"), u"Pro 16");
    EXPECT_EQ(ucstringFromString(bytes({0xE9})), ucstring(1, char16_t(0xE9)));
    EXPECT_EQ(ucstringToString(u"abc"), "abc");
    EXPECT_EQ(ucstringToString(ucstring(1, char16_t(0x0141))), bytes({0x41}));  // the low byte
}

TEST(StringSpace, WideWhiteSpaceSet) {
    for (char16_t c : {9, 10, 11, 12, 13, 32, 0x85, 0xA0, 0x1680, 0x180E, 0x2000, 0x2005, 0x200A, 0x200C, 0x2028,
                       0x2029, 0x202F, 0x205F, 0x3000})
        EXPECT_TRUE(charIsSpace(c)) << std::hex << int(c);
    for (char16_t c : {0, 8, 14, 31, 33, 0x84, 0x86, 0x9F, 0x200B, 0x200D, 0xFEFF, 0x3001})
        EXPECT_FALSE(charIsSpace(c)) << std::hex << int(c);
}

TEST(StringSpace, EightBitFormLeavesUTF8ContinuationBytesAlone) {
    EXPECT_TRUE(charIsSpace(' '));
    EXPECT_TRUE(charIsSpace('\t'));
    EXPECT_FALSE(charIsSpace(static_cast<char>(0xA0)));
    EXPECT_FALSE(charIsSpace(static_cast<char>(0x85)));
    // "voilà" ends in C3 A0; trimming must not cut the A0.
    const std::string voila = "voil\xC3\xA0";
    EXPECT_EQ(stringTrim(" " + voila + "\r\n"), voila);
}

TEST(StringTrim, BothEndsAndEachEnd) {
    const ucstring padded = u"\u3000\t a b \u00A0\n";
    EXPECT_EQ(stringTrim(padded), u"a b");
    EXPECT_EQ(stringTrimLeft(padded), u"a b \u00A0\n");
    EXPECT_EQ(stringTrimRight(padded), u"\u3000\t a b");
    EXPECT_EQ(stringTrim(ucstring(u" \u2028 ")), u"");
    EXPECT_EQ(stringTrim(std::string(" x ")), "x");
}

TEST(StringCase, OnlyAsciiLettersChange) {
    EXPECT_EQ(stringUpperCase(ucstring(u"abc\u00E9z{")), u"ABC\u00E9Z{");
    EXPECT_EQ(stringLowerCase(ucstring(u"ABC\u00C9Z@")), u"abc\u00C9z@");
    EXPECT_EQ(stringUpperCase(std::string("a\xC3\xA9")), "A\xC3\xA9");
    // Normalising trims and upper-cases, and an accented small e stays small.
    EXPECT_EQ(stringNormalize(ucstring(u"  my site\u00E9 ")), u"MY SITE\u00E9");
    EXPECT_EQ(stringNormalize(std::string("\tutf-8 ")), "UTF-8");
}

TEST(StringUnicode, ComposesDecomposedText) {
    const ucstring decomposed = u"Cafe\u0301";  // e + combining acute
    EXPECT_EQ(stringNormalizeUnicode(decomposed), u"Caf\u00E9");
    EXPECT_EQ(stringNormalizeUnicode(std::string("Cafe\xCC\x81")), "Caf\xC3\xA9");
    EXPECT_EQ(stringNormalizeUnicode(ucstring(u"plain")), u"plain");
}

TEST(StringUnicode, ComparesComposedFormsWithoutCase) {
    EXPECT_TRUE(stringNormalizeUnicodeUpperCaseCompare(ucstring(u"cafe\u0301"), ucstring(u"CAF\u00C9")));
    EXPECT_TRUE(stringNormalizeUnicodeUpperCaseCompare(ucstring(u"\u00FCber"), ucstring(u"\u00DCBER")));
    EXPECT_FALSE(stringNormalizeUnicodeUpperCaseCompare(ucstring(u"cafe"), ucstring(u"caf\u00E9")));
    EXPECT_TRUE(stringNormalizeUnicodeUpperCaseCompare(std::string("Users"), std::string("USERS")));
    EXPECT_FALSE(stringNormalizeUnicodeUpperCaseCompare(std::string("Users"), std::string("User")));
}

TEST(StringSearch, StartsAndEndsWithOptionalCase) {
    EXPECT_TRUE(stringStartsWith(ucstring(u"ftp://host"), ucstring(u"FTP://"), true));
    EXPECT_FALSE(stringStartsWith(ucstring(u"ftp://host"), ucstring(u"FTP://"), false));
    EXPECT_FALSE(stringStartsWith(ucstring(u"ft"), ucstring(u"ftp"), true));
    EXPECT_TRUE(stringEndsWith(std::string("file.TXT"), std::string(".txt"), true));
    EXPECT_FALSE(stringEndsWith(std::string("file.TXT"), std::string(".txt")));
    EXPECT_TRUE(stringEndsWith(std::string("x"), std::string("")));
}

TEST(StringSearch, FindNth) {
    const ucstring path = u"/a/b/c";
    EXPECT_EQ(stringFindNth(path, u'/', 1), 0);
    EXPECT_EQ(stringFindNth(path, u'/', 2), 2);
    EXPECT_EQ(stringFindNth(path, u'/', 3), 4);
    EXPECT_EQ(stringFindNth(path, u'/', 4), -1);
    EXPECT_EQ(stringFindNth(path, u'/', -1), 4);
    EXPECT_EQ(stringFindNth(path, u'x', -1), -1);
    EXPECT_EQ(stringFindNth(std::string("a.b.c"), '.', 2), 3);
    EXPECT_EQ(stringFindNth(std::string("a.b.c"), '.', 0), -1);
}

TEST(StringSlice, LeftAndRight) {
    EXPECT_EQ(stringLeft(ucstring(u"abcdef"), 2), u"ab");
    EXPECT_EQ(stringRight(ucstring(u"abcdef"), 2), u"ef");
    EXPECT_EQ(stringLeft(std::string("abc"), 10), "abc");
    EXPECT_EQ(stringRight(std::string("abc"), 10), "abc");
    EXPECT_EQ(stringLeft(std::string("abc"), 0), "");
    EXPECT_EQ(stringRight(std::string("abc"), -3), "");
}

TEST(StringReplace, LeftToRightWithoutRescanning) {
    EXPECT_EQ(stringReplaceAll(ucstring(u"aaa"), ucstring(u"a"), ucstring(u"aa")), u"aaaaaa");
    EXPECT_EQ(stringReplaceAll(std::string("aaaa"), std::string("aa"), std::string("b")), "bb");
    EXPECT_EQ(stringReplaceAll(std::string("abab"), std::string("ba"), std::string("")), "ab");
    std::string s = "x<CR>y<CR>";
    EXPECT_EQ(stringReplaceAllInPlace(s, "<CR>", "\r"), 2u);
    EXPECT_EQ(s, "x\ry\r");
    EXPECT_EQ(stringReplaceAllInPlace(s, "", "z"), 0u);
    EXPECT_EQ(s, "x\ry\r");
}

TEST(StringReverse, KeepsMultiUnitCharactersWhole) {
    EXPECT_EQ(stringReverse(ucstring(u"abc")), u"cba");
    EXPECT_EQ(stringReverse(ucstring(u"a\U0001F600b")), u"b\U0001F600a");
    EXPECT_EQ(stringReverse(std::string("ab\xC3\xA9")),
              "\xC3\xA9"
              "ba");
    EXPECT_EQ(stringReverse(std::string("\xF0\x9F\x98\x80!")), "!\xF0\x9F\x98\x80");
    // A broken sequence is reversed byte by byte.
    EXPECT_EQ(stringReverse(std::string("a\xC3")),
              "\xC3"
              "a");
}

TEST(StringNumbers, IntegerReadingIsLenient) {
    EXPECT_EQ(stringToInteger(ucstring(u"  -42abc")), -42);
    EXPECT_EQ(stringToInteger(ucstring(u"+7")), 7);
    EXPECT_EQ(stringToInteger(ucstring(u"abc")), 0);
    EXPECT_EQ(stringToInteger(ucstring(u"")), 0);
    EXPECT_EQ(stringToInteger(ucstring(u"12\u00E934")), 12);
    EXPECT_EQ(stringToInteger(std::string("ff"), 16), 255);
    EXPECT_EQ(stringToInteger(std::string("777"), 8), 511);
    EXPECT_EQ(stringToInteger(std::string("5000000000")), 5000000000LL);
    EXPECT_EQ(stringToInteger(std::string("99999999999999999999")), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(stringToInteger(std::string("12"), 1), 0);  // no such base
}

TEST(StringNumbers, DoubleReadingIgnoresLocaleAndTrailingText) {
    EXPECT_DOUBLE_EQ(stringToDouble(ucstring(u" 3.25kg")), 3.25);
    EXPECT_DOUBLE_EQ(stringToDouble(ucstring(u"-.5")), -0.5);
    EXPECT_DOUBLE_EQ(stringToDouble(std::string("+1e3")), 1000.0);
    EXPECT_DOUBLE_EQ(stringToDouble(std::string("1,5")), 1.0);
    EXPECT_DOUBLE_EQ(stringToDouble(std::string("x1")), 0.0);
    EXPECT_TRUE(std::isinf(stringToDouble(std::string("1e999"))));
    EXPECT_DOUBLE_EQ(stringToDouble(std::string("1e-999")), 0.0);
}

TEST(StringNumbers, TextOfNumbers) {
    ucstring w;
    std::string n;
    EXPECT_EQ(stringFromInteger(w, -1234567890123LL), u"-1234567890123");
    EXPECT_EQ(stringFromInteger(n, 0), "0");
    // printf "%.*g": significant digits, trailing zeros dropped, exponent form for large values.
    EXPECT_EQ(stringFromDouble(n, 3.14159265, 6), "3.14159");
    EXPECT_EQ(stringFromDouble(n, 2.5, 6), "2.5");
    EXPECT_EQ(stringFromDouble(n, 1e20, 6), "1e+20");
    EXPECT_EQ(stringFromDouble(n, 0.0001, 6), "0.0001");
    EXPECT_EQ(stringFromDouble(n, 0.00001, 6), "1e-05");
    EXPECT_EQ(stringFromDouble(w, 1234567.0, 6), u"1.23457e+06");
    EXPECT_EQ(stringFromDouble(w, 1234567.0, 10), u"1234567");
    EXPECT_EQ(stringFromDouble(n, 7.0, 0), "7");
}

TEST(StringNumbers, NumericTexts) {
    EXPECT_TRUE(stringIsNumeric(ucstring(u" 42 ")));
    EXPECT_TRUE(stringIsNumeric(ucstring(u"-3.5")));
    EXPECT_TRUE(stringIsNumeric(std::string(".5")));
    EXPECT_FALSE(stringIsNumeric(std::string("1.2.3")));
    EXPECT_FALSE(stringIsNumeric(std::string("-")));
    EXPECT_FALSE(stringIsNumeric(std::string("")));
    EXPECT_FALSE(stringIsNumeric(std::string("12a")));
}

TEST(StringBoolean, WordsAndLeadingNumbers) {
    EXPECT_TRUE(stringParseBoolean(ucstring(u"  yes ")));
    EXPECT_TRUE(stringParseBoolean(ucstring(u"2")));
    EXPECT_TRUE(stringParseBoolean(ucstring(u"t")));
    EXPECT_TRUE(stringParseBoolean(ucstring(u"True")));
    EXPECT_TRUE(stringParseBoolean(ucstring(u"Y")));
    EXPECT_TRUE(stringParseBoolean(std::string("on")));
    EXPECT_TRUE(stringParseBoolean(std::string("1 file")));
    EXPECT_FALSE(stringParseBoolean(ucstring(u"-5")));
    EXPECT_FALSE(stringParseBoolean(ucstring(u"n")));
    EXPECT_FALSE(stringParseBoolean(ucstring(u"0")));
    EXPECT_FALSE(stringParseBoolean(ucstring(u"NO")));
    EXPECT_FALSE(stringParseBoolean(std::string("OFF")));
    EXPECT_FALSE(stringParseBoolean(std::string("")));
    EXPECT_FALSE(stringParseBoolean(std::string("yess")));
    EXPECT_FALSE(stringParseBoolean(std::string("file 1")));  // the leading number is 0
}

TEST(StringNameValue, SplitsAtTheFirstSeparator) {
    EXPECT_EQ(stringName(ucstring(u" Host = a=b "), u'='), u"Host");
    EXPECT_EQ(stringValue(ucstring(u" Host = a=b "), u'='), u" a=b ");
    EXPECT_EQ(stringName(std::string(" lonely "), '='), "lonely");
    EXPECT_EQ(stringValue(std::string(" lonely "), '='), "");
    EXPECT_EQ(stringName(std::string("=v"), '='), "");
    EXPECT_EQ(stringValue(std::string("k:v"), ':'), "v");
}
