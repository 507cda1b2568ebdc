// Character-set names, byte-order marks and conversion of text in every character set.
#include "_Common/Strings/Orb_CharSets.h"

#include <gtest/gtest.h>

namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

struct Sample {
    int16_t charSet;
    ucstring text;         // text the set can hold, with characters particular to it
    std::string expected;  // its bytes from the set's code table; empty where only the round trip is checked
};

// One sample per character set. The byte values come from the published code tables.
const Sample kSamples[] = {
    {kCharSetUCS2, u"A\U0001F600", bytes({0x00, 0x41, 0xD8, 0x3D, 0xDE, 0x00})},
    {kCharSetUTF8, u"\u00E9\U0001F600", bytes({0xC3, 0xA9, 0xF0, 0x9F, 0x98, 0x80})},
    {kCharSetISO8859_1, u"caf\u00E9 \u00FF", bytes({'c', 'a', 'f', 0xE9, ' ', 0xFF})},
    {kCharSetMacRoman, u"\u00E9\u00FC\u00DF", bytes({0x8E, 0x9F, 0xA7})},
    {kCharSetISO8859_2, u"\u0141\u0142\u0151", bytes({0xA3, 0xB3, 0xF5})},
    {kCharSetMacCentralEurope, u"\u0141\u0104\u015B\u0107 ok", ""},
    {kCharSetJapanese, u"\u65E5\u672C\u3042", bytes({0x93, 0xFA, 0x96, 0x7B, 0x82, 0xA0})},
    {kCharSetISO8859_3, u"\u0127\u011D", bytes({0xB1, 0xF8})},
    {kCharSetISO8859_4, u"\u0101\u0137\u012B", ""},
    {kCharSetISO8859_5, u"\u0416\u0430", bytes({0xB6, 0xD0})},
    {kCharSetISO8859_6, u"\u0628", bytes({0xC8})},
    {kCharSetISO8859_9, u"\u011F\u015F\u0130", bytes({0xF0, 0xFE, 0xDD})},
    {kCharSetISO8859_15, u"\u20AC\u0153", bytes({0xA4, 0xBD})},
    {kCharSetWindows1250, u"\u0142\u015B", bytes({0xB3, 0x9C})},
    {kCharSetWindows1251, u"\u0416\u0436", bytes({0xC6, 0xE6})},
    {kCharSetWindows1252, u"\u20AC\u00E9", bytes({0x80, 0xE9})},
    {kCharSetWindows1253, u"\u03A9\u03B1", bytes({0xD9, 0xE1})},
    {kCharSetWindows1254, u"\u011F\u20AC", bytes({0xF0, 0x80})},
    {kCharSetWindows1255, u"\u05D0", bytes({0xE0})},
    {kCharSetWindows1256, u"\u0628", bytes({0xC8})},
    {kCharSetWindows1257, u"\u0105\u0173", bytes({0xE0, 0xF8})},
    {kCharSetBig5, u"\u4E2D\u6587", bytes({0xA4, 0xA4, 0xA4, 0xE5})},
    {kCharSetGB2312, u"\u4E2D\u6587", bytes({0xD6, 0xD0, 0xCE, 0xC4})},
    {kCharSetKOI8R, u"\u0416\u0436", bytes({0xF6, 0xD6})},
    {kCharSetKSC5601, u"\uD55C\uAD6D", bytes({0xC7, 0xD1, 0xB1, 0xB9})},
    {kCharSetISO2022JP, u"\u65E5\u672C\u3042",
     bytes({0x1B, '$', 'B', 0x46, 0x7C, 0x4B, 0x5C, 0x24, 0x22, 0x1B, '(', 'B'})},
    {kCharSetISO8859_10, u"\u014B\u0138\u00F0", bytes({0xBF, 0xFF, 0xF0})},
};

}  // namespace

TEST(CharSetNames, SpellingsAfterNormalisation) {
    EXPECT_EQ(stringToCharSet(ucstring(u" utf-8")), 1);
    EXPECT_EQ(stringToCharSet(ucstring(u"latin5")), 11);  // the ISO alphabets: Latin-5 is ISO-8859-9
    EXPECT_EQ(stringToCharSet(ucstring(u"Latin6")), 26);
    EXPECT_EQ(stringToCharSet(ucstring(u"ISO-8859-10")), 26);
    EXPECT_EQ(stringToCharSet(ucstring(u"windows1257")), 20);
    EXPECT_EQ(stringToCharSet(ucstring(u"windows1249")), -1);
    EXPECT_EQ(stringToCharSet(ucstring(u"UCS_2")), 0);
    EXPECT_EQ(stringToCharSet(ucstring(u"us-ascii")), 2);
    EXPECT_EQ(stringToCharSet(ucstring(u"MacRoman")), 3);
    EXPECT_EQ(stringToCharSet(ucstring(u"MacCentEurope")), 5);
    EXPECT_EQ(stringToCharSet(ucstring(u"ShiftJIS")), 6);
    EXPECT_EQ(stringToCharSet(ucstring(u"iso2022jp")), 25);  // not Shift_JIS
    EXPECT_EQ(stringToCharSet(ucstring(u"Latin9")), 12);
    EXPECT_EQ(stringToCharSet(ucstring(u"latin15")), 12);
    EXPECT_EQ(stringToCharSet(ucstring(u"WinEasternEurope")), 13);
    EXPECT_EQ(stringToCharSet(ucstring(u"WINASCII")), 15);
    EXPECT_EQ(stringToCharSet(ucstring(u"ChineseTrad")), 21);
    EXPECT_EQ(stringToCharSet(ucstring(u"chinesesimp")), 22);
    EXPECT_EQ(stringToCharSet(ucstring(u"Cyrillic")), 23);
    EXPECT_EQ(stringToCharSet(std::string("\tks_c_5601_1987 ")), 24);
    EXPECT_EQ(stringToCharSet(std::string("korean")), 24);
    // Only the listed spellings count.
    EXPECT_EQ(stringToCharSet(std::string("shift_jis")), -1);
    EXPECT_EQ(stringToCharSet(std::string("ks_c_5601-1987")), -1);
    EXPECT_EQ(stringToCharSet(std::string("UTF 8")), -1);
    EXPECT_EQ(stringToCharSet(std::string("")), -1);
}

TEST(CharSetMarks, DetectsUnicodeForms) {
    int16_t set = -5;
    bool little = true;
    int mark = -1;
    EXPECT_TRUE(checkForUnicodeCharSet(bytes({0xFE, 0xFF}).data(), 2, set, little, mark));
    EXPECT_EQ(set, kCharSetUCS2);
    EXPECT_FALSE(little);
    EXPECT_EQ(mark, 2);

    EXPECT_TRUE(checkForUnicodeCharSet(bytes({0xFF, 0xFE, 'a', 0}).data(), 4, set, little, mark));
    EXPECT_EQ(set, kCharSetUCS2);
    EXPECT_TRUE(little);
    EXPECT_EQ(mark, 2);

    EXPECT_TRUE(checkForUnicodeCharSet(bytes({0xEF, 0xBB, 0xBF, 'x'}).data(), 4, set, little, mark));
    EXPECT_EQ(set, kCharSetUTF8);
    EXPECT_FALSE(little);
    EXPECT_EQ(mark, 3);

    // BMP text in UTF-16 without a mark shows its zero bytes.
    EXPECT_TRUE(checkForUnicodeCharSet(bytes({0, 'h', 0, 'i'}).data(), 4, set, little, mark));
    EXPECT_EQ(set, kCharSetUCS2);
    EXPECT_FALSE(little);
    EXPECT_EQ(mark, 0);
    EXPECT_TRUE(checkForUnicodeCharSet(bytes({'h', 0, 'i', 0}).data(), 4, set, little, mark));
    EXPECT_EQ(set, kCharSetUCS2);
    EXPECT_TRUE(little);
    EXPECT_EQ(mark, 0);
}

TEST(CharSetMarks, FallsBackToUTF8WithoutAMark) {
    int16_t set = -5;
    bool little = true;
    int mark = -1;
    EXPECT_FALSE(checkForUnicodeCharSet("abcd", 4, set, little, mark));
    EXPECT_EQ(set, kCharSetUTF8);
    EXPECT_FALSE(little);
    EXPECT_EQ(mark, 0);
    // Too short for the tests that need more bytes.
    EXPECT_FALSE(checkForUnicodeCharSet(bytes({0xEF, 0xBB}).data(), 2, set, little, mark));
    EXPECT_FALSE(checkForUnicodeCharSet(bytes({0, 'h', 0}).data(), 3, set, little, mark));
    EXPECT_FALSE(checkForUnicodeCharSet(bytes({0xFE}).data(), 1, set, little, mark));
    // All four zero is no text at all.
    EXPECT_FALSE(checkForUnicodeCharSet(bytes({0, 0, 0, 0}).data(), 4, set, little, mark));
    EXPECT_FALSE(checkForUnicodeCharSet(nullptr, 0, set, little, mark));
}

TEST(CharSetConversion, EverySetRoundTripsTextItCanHold) {
    ASSERT_EQ(std::size(kSamples), static_cast<size_t>(kCharSetCount));
    for (const Sample& sample : kSamples) {
        SCOPED_TRACE(sample.charSet);
        std::string encoded;
        size_t replaced = 99;
        ASSERT_EQ(charSetEncode(encoded, sample.text, sample.charSet, false, &replaced), u"");
        EXPECT_EQ(replaced, 0u);
        if (!sample.expected.empty()) {
            EXPECT_EQ(encoded, sample.expected);
        }
        ucstring decoded;
        ASSERT_EQ(charSetDecode(decoded, encoded, sample.charSet, false, &replaced), u"");
        EXPECT_EQ(replaced, 0u);
        EXPECT_EQ(decoded, sample.text);
        // ASCII is the same in every set but UCS-2.
        if (sample.charSet != kCharSetUCS2) {
            ASSERT_EQ(charSetEncode(encoded, u"Plain text 123", sample.charSet), u"");
            EXPECT_EQ(encoded, "Plain text 123");
        }
    }
}

TEST(CharSetConversion, UCS2ByteOrderAndSurrogatePairs) {
    const ucstring text = u"A\U0001F600";
    std::string encoded;
    ASSERT_EQ(charSetEncode(encoded, text, kCharSetUCS2, true), u"");
    EXPECT_EQ(encoded, bytes({0x41, 0x00, 0x3D, 0xD8, 0x00, 0xDE}));
    ucstring decoded;
    ASSERT_EQ(charSetDecode(decoded, encoded, kCharSetUCS2, true), u"");
    EXPECT_EQ(decoded, text);
    // Read in the wrong order, the units come out swapped.
    ASSERT_EQ(charSetDecode(decoded, encoded, kCharSetUCS2, false), u"");
    EXPECT_EQ(decoded, (ucstring{0x4100, 0x3DD8, 0x00DE}));
    // Half a unit at the end is marked, not dropped.
    size_t replaced = 0;
    ASSERT_EQ(charSetDecode(decoded, bytes({0x00, 0x41, 0x00}), kCharSetUCS2, false, &replaced), u"");
    EXPECT_EQ(decoded, (ucstring{u'A', 0xFFFD}));
    EXPECT_EQ(replaced, 1u);
}

TEST(CharSetConversion, JapaneseAlsoReadsISO2022JP) {
    // ESC $ B, JIS X 0208 rows for 日 (46 7C) and 本 (4B 5C), ESC ( B.
    const std::string jis = bytes({0x1B, '$', 'B', 0x46, 0x7C, 0x4B, 0x5C, 0x1B, '(', 'B', '!'});
    ucstring decoded;
    ASSERT_EQ(charSetDecode(decoded, jis, kCharSetJapanese), u"");
    EXPECT_EQ(decoded, u"\u65E5\u672C!");
}

TEST(CharSetConversion, UnmappableCharactersBecomeQuestionMarksAndAreCounted) {
    std::string encoded;
    size_t replaced = 0;
    ASSERT_EQ(charSetEncode(encoded, u"1\u20AC=\u65E5", kCharSetISO8859_1, false, &replaced), u"");
    EXPECT_EQ(encoded, "1?=?");
    EXPECT_EQ(replaced, 2u);
    // A character beyond the BMP is one character: one "?".
    ASSERT_EQ(charSetEncode(encoded, u"a\U0001F600b", kCharSetJapanese, false, &replaced), u"");
    EXPECT_EQ(encoded, "a?b");
    EXPECT_EQ(replaced, 1u);
    // A lone surrogate cannot be written in UTF-8 either.
    ASSERT_EQ(charSetEncode(encoded, ucstring{u'x', 0xDC00}, kCharSetUTF8, false, &replaced), u"");
    EXPECT_EQ(encoded, bytes({'x', 0xEF, 0xBF, 0xBD}));
    EXPECT_EQ(replaced, 1u);
}

TEST(CharSetConversion, InvalidBytesBecomeReplacementCharacters) {
    ucstring decoded;
    size_t replaced = 0;
    // A Shift_JIS lead byte with nothing after it.
    ASSERT_EQ(charSetDecode(decoded, bytes({'o', 'k', 0x82}), kCharSetJapanese, false, &replaced), u"");
    EXPECT_EQ(decoded, (ucstring{u'o', u'k', 0xFFFD}));
    EXPECT_EQ(replaced, 1u);
    ASSERT_EQ(charSetDecode(decoded, bytes({'a', 0xFF, 'b'}), kCharSetUTF8, false, &replaced), u"");
    EXPECT_EQ(decoded, (ucstring{u'a', 0xFFFD, u'b'}));
    EXPECT_EQ(replaced, 1u);
    // Every byte is a character in ISO-8859-1.
    ASSERT_EQ(charSetDecode(decoded, bytes({0x80, 0xFF}), kCharSetISO8859_1, false, &replaced), u"");
    EXPECT_EQ(decoded, (ucstring{0x80, 0xFF}));
    EXPECT_EQ(replaced, 0u);
}

TEST(CharSetConversion, UnknownCodesAreRefused) {
    std::string encoded = "old";
    ucstring decoded = u"old";
    EXPECT_EQ(charSetEncode(encoded, u"x", kCharSetCount), u"Unsupported Character Set.");
    EXPECT_EQ(charSetDecode(decoded, "x", -1), u"Unsupported Character Set.");
    EXPECT_EQ(encoded, "");
    EXPECT_EQ(decoded, u"");
}

TEST(CharSetConversion, EmptyTextInEverySet) {
    for (int16_t set = 0; set < kCharSetCount; ++set) {
        std::string encoded = "x";
        ucstring decoded = u"x";
        EXPECT_EQ(charSetEncode(encoded, u"", set), u"");
        EXPECT_EQ(charSetDecode(decoded, "", set), u"");
        EXPECT_TRUE(encoded.empty());
        EXPECT_TRUE(decoded.empty());
    }
}
