// The SCSU codec: hand-worked byte sequences for every tag, malformed input, round trips, and a
// cross-check against ICU's own SCSU converter.
#include "_Common/Strings/Orb_SCSU.h"

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <random>

using namespace std::string_literals;

namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

ucstring decoded(const std::string& scsu) {
    ucstring out;
    const ucstring error = decodeFMUnicode(out, scsu);
    EXPECT_EQ(error, u"");
    return out;
}

std::string encoded(const ucstring& text) {
    std::string out;
    encodeFMUnicode(out, text);
    return out;
}

// An independent SCSU implementation to compare with.
bool icuDecode(const std::string& scsu, ucstring& out) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* c = ucnv_open("SCSU", &status);
    if (U_FAILURE(status)) return false;
    ucnv_setToUCallBack(c, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    out.assign(scsu.size() * 2 + 8, u'\0');
    const int32_t n = ucnv_toUChars(c, reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                                    scsu.data(), static_cast<int32_t>(scsu.size()), &status);
    ucnv_close(c);
    out.resize(U_SUCCESS(status) ? static_cast<size_t>(n) : 0);
    return U_SUCCESS(status);
}

std::string icuEncode(const ucstring& text) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* c = ucnv_open("SCSU", &status);
    std::string out(text.size() * 4 + 16, '\0');
    const int32_t n =
        ucnv_fromUChars(c, out.data(), static_cast<int32_t>(out.size()), reinterpret_cast<const UChar*>(text.data()),
                        static_cast<int32_t>(text.size()), &status);
    ucnv_close(c);
    out.resize(U_SUCCESS(status) ? static_cast<size_t>(n) : 0);
    return out;
}

}  // namespace

TEST(SCSUDecode, ExamplesOfTheStandard) {
    // German: Ö and ß lie in the initial window 0 (U+0080..U+00FF).
    EXPECT_EQ(decoded(bytes({0xD6, 0x6C, 0x20, 0x66, 0x6C, 0x69, 0x65, 0xDF, 0x74})), u"\u00D6l flie\u00DFt");
    // Russian: SC2 selects the Cyrillic window at U+0400.
    EXPECT_EQ(decoded(bytes({0x12, 0x9C, 0xBE, 0xC1, 0xBA, 0xB2, 0xB0})), u"\u041C\u043E\u0441\u043A\u0432\u0430");
    // The start of the Japanese example: SQ7 (static U+3000), SD3 to U+2600 for the note, SC6
    // (Katakana), SCU with two kanji, UC5 (Hiragana), and SQ7 again for the full stop.
    const std::string japanese =
        bytes({0x08, 0x00, 0x1B, 0x4C, 0xEA, 0x16, 0xCA, 0xD3, 0x94, 0x0F, 0x53, 0xEF, 0x61, 0x1B, 0xE5, 0x84,
               0xC4, 0x0F, 0x53, 0xEF, 0x61, 0x1B, 0xE5, 0x84, 0xC4, 0x16, 0xCA, 0xD3, 0x94, 0x08, 0x02});
    EXPECT_EQ(decoded(japanese),
              u"\u3000\u266A\u30EA\u30F3\u30B4\u53EF\u611B\u3044\u3084\u53EF\u611B\u3044\u3084\u30EA\u30F3\u30B4"
              u"\u3002");
}

TEST(SCSUDecode, SingleByteModeTags) {
    // SQ4 quotes from the static window at U+2000; SQ0 quotes a control character or, above
    // 0x7F, from dynamic window 0.
    EXPECT_EQ(decoded(bytes({'a', 0x05, 0x14, 'b'})), u"a\u2014b");
    EXPECT_EQ(decoded(bytes({0x01, 0x07, 0x01, 0xC0})), u"\u0007\u00C0");
    // NUL, TAB, LF and CR pass through as themselves.
    EXPECT_EQ(decoded(bytes({0x00, 0x09, 0x0A, 0x0D})), ucstring(u"\0\t\n\r", 4));
    // SQ5 quotes from dynamic window 5 (Hiragana) without leaving window 0.
    EXPECT_EQ(decoded(bytes({0x06, 0x82, 0xE9})), u"\u3042\u00E9");
    // SC3 locks onto the Arabic window; SC0 goes back.
    EXPECT_EQ(decoded(bytes({0x13, 0xA8, 0x10, 0xE9})), u"\u0628\u00E9");
    // SD1 with a fixed offset (F9 = U+00C0, FB = U+0370) and with computed ones.
    EXPECT_EQ(decoded(bytes({0x19, 0xFB, 0xA3})), u"\u0393");
    EXPECT_EQ(decoded(bytes({0x19, 0xF9, 0x80})), u"\u00C0");
    EXPECT_EQ(decoded(bytes({0x1F, 0x08, 0x90})), u"\u0410");
    EXPECT_EQ(decoded(bytes({0x18, 0x68, 0x80, 0x18, 0xA7, 0xFF})), u"\uE000\uFFFF");
    // SQU quotes one UTF-16 unit.
    EXPECT_EQ(decoded(bytes({0x0E, 0x4E, 0x2D, '!'})), u"\u4E2D!");
}

TEST(SCSUDecode, ExtendedWindowsGiveSurrogatePairs) {
    // SDX: window 2 at U+1F600 ((0x1F600 - 0x10000) >> 7 = 0x1EC), then two characters in it.
    EXPECT_EQ(decoded(bytes({0x0B, 0x41, 0xEC, 0x80, 0x81})), u"\U0001F600\U0001F601");
    // The window stays defined: SC0 leaves it, SQ2 quotes from it, SC2 returns to it.
    EXPECT_EQ(decoded(bytes({0x0B, 0x41, 0xEC, 0x10, 0xE9, 0x03, 0x82, 0x12, 0x80})), u"\u00E9\U0001F602\U0001F600");
    // The highest window reaches U+10FFFF.
    EXPECT_EQ(decoded(bytes({0x0B, 0x1F, 0xFF, 0xFF})), u"\U0010FFFF");
}

TEST(SCSUDecode, UnicodeModeTags) {
    // SCU, two units, UC0 back to window 0.
    EXPECT_EQ(decoded(bytes({0x0F, 0x4E, 0x2D, 0x65, 0x87, 0xE0, 'A'})), u"\u4E2D\u6587A");
    // UQU for a unit whose high byte is a tag; surrogate pairs arrive as two units.
    EXPECT_EQ(decoded(bytes({0x0F, 0xF0, 0xE0, 0x00, 0xD8, 0x3D, 0xDE, 0x00})), u"\uE000\U0001F600");
    // UD1 defines window 1 at U+0400 and returns to single-byte mode.
    EXPECT_EQ(decoded(bytes({0x0F, 0xE9, 0x08, 0x90, 'x'})), u"\u0410x");
    // UDX defines an extended window and returns to single-byte mode.
    EXPECT_EQ(decoded(bytes({0x0F, 0xF1, 0x41, 0xEC, 0x80})), u"\U0001F600");
    // UC7 selects the initial full-width window.
    EXPECT_EQ(decoded(bytes({0x0F, 0xE7, 0x81})), u"\uFF01");
}

TEST(SCSUDecode, LoneSurrogatesAreCarried) {
    EXPECT_EQ(decoded(bytes({'a', 0x0E, 0xD8, 0x00, 'b'})), (ucstring{u'a', 0xD800, u'b'}));
    EXPECT_EQ(decoded(bytes({0x0F, 0xDC, 0x00})), (ucstring{0xDC00}));
}

TEST(SCSUDecode, MalformedInputIsReportedWithoutOverrun) {
    ucstring out;
    EXPECT_EQ(decodeFMUnicode(out, bytes({'a', 0x01})), u"The encoded text ends inside the command 0x01 at byte 1.");
    EXPECT_EQ(out, u"a");
    EXPECT_EQ(decodeFMUnicode(out, bytes({0x0B, 0x41})), u"The encoded text ends inside the command 0x0B at byte 0.");
    EXPECT_EQ(decodeFMUnicode(out, bytes({0x0E, 0x4E})), u"The encoded text ends inside the command 0x0E at byte 0.");
    EXPECT_EQ(decodeFMUnicode(out, bytes({0x1A})), u"The encoded text ends inside the command 0x1A at byte 0.");
    EXPECT_EQ(decodeFMUnicode(out, bytes({0x0F, 0xF0, 0x00})),
              u"The encoded text ends inside the command 0xF0 at byte 1.");
    EXPECT_EQ(decodeFMUnicode(out, bytes({0x0F, 0xE8})), u"The encoded text ends inside the command 0xE8 at byte 1.");
    EXPECT_EQ(decodeFMUnicode(out, bytes({0x0F, 0xF1, 0x00})),
              u"The encoded text ends inside the command 0xF1 at byte 1.");
    EXPECT_EQ(decodeFMUnicode(out, bytes({0x0F, 0x4E})), u"The encoded text ends inside a character at byte 1.");
    EXPECT_EQ(decodeFMUnicode(out, bytes({'x', 0x0C})), u"The encoded text uses the reserved command 0x0C at byte 1.");
    EXPECT_EQ(out, u"x");
    EXPECT_EQ(decodeFMUnicode(out, bytes({0x0F, 0xF2})), u"The encoded text uses the reserved command 0xF2 at byte 1.");
    EXPECT_EQ(decodeFMUnicode(out, bytes({0x18, 0x00})),
              u"The encoded text places a window at the reserved position 0x00 at byte 1.");
    EXPECT_EQ(decodeFMUnicode(out, bytes({0x0F, 0xE8, 0xA8})),
              u"The encoded text places a window at the reserved position 0xA8 at byte 2.");
    EXPECT_EQ(decodeFMUnicode(out, bytes({0x1C, 0xF8})),
              u"The encoded text places a window at the reserved position 0xF8 at byte 1.");
    EXPECT_EQ(decodeFMUnicode(out, ""), u"");
    EXPECT_EQ(out, u"");
}

TEST(SCSUEncode, AsciiAndLatin1AreTheirOwnBytes) {
    EXPECT_EQ(encoded(u"Hello, World!\r\n"), "Hello, World!\r\n");
    EXPECT_EQ(encoded(u"\u00D6l flie\u00DFt"), bytes({0xD6, 0x6C, 0x20, 0x66, 0x6C, 0x69, 0x65, 0xDF, 0x74}));
    EXPECT_EQ(encoded(u""), "");
}

TEST(SCSUEncode, RoundTripsEveryKindOfText) {
    const ucstring texts[] = {
        u"plain ascii",
        u"controls \u0001\u0007\u000B\u000C\u001F and NUL \0 inside"s,
        u"\u041C\u043E\u0441\u043A\u0432\u0430 \u0391\u03B8\u03AE\u03BD\u03B1 \u05E9\u05DC\u05D5\u05DD",
        u"\u4E2D\u6587\u6587\u672C and \u65E5 alone",
        u"\uD55C\uAD6D\uC5B4 \uD14D\uC2A4\uD2B8",
        u"emoji \U0001F600\U0001F680 and \U00020000\U0010FFFF",
        u"private \uE000\uE123\uF2FF\uF300 after CJK \u4E00\u4E01\uE001\uF100",
        u"punctuation \u2014 \u20AC \u2122 \u3001 \uFEFF \uFFFD",
        u"/Volumes/disk\uE000folder\uE000file.txt",
        ucstring{u'a', 0xD800, u'b', 0xDC00, 0xDBFF},  // lone surrogates
        ucstring{0x4E00, 0xD800, 0x4E01},              // a lone surrogate inside a CJK run
    };
    for (const ucstring& text : texts) {
        SCOPED_TRACE(::testing::PrintToString(text));
        ucstring back;
        ASSERT_EQ(decodeFMUnicode(back, encoded(text)), u"");
        EXPECT_EQ(back, text);
    }
}

TEST(SCSUEncode, RandomTextRoundTrips) {
    std::mt19937 random(20240607);
    // Pick from ranges that exercise each path of the encoder.
    const std::pair<char32_t, char32_t> ranges[] = {{0x00, 0x7F},     {0x80, 0x24F},      {0x370, 0x52F},
                                                    {0x3040, 0x30FF}, {0x4E00, 0x9FFF},   {0xAC00, 0xD7A3},
                                                    {0xE000, 0xFFFF}, {0x10000, 0x1FFFF}, {0xD800, 0xDFFF}};
    for (int round = 0; round < 300; ++round) {
        ucstring text;
        const int length = static_cast<int>(random() % 60);
        for (int i = 0; i < length; ++i) {
            const auto& [low, high] = ranges[random() % std::size(ranges)];
            const char32_t cp = low + random() % (high - low + 1);
            if (cp >= 0x10000) {
                text.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
                text.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
            } else {
                text.push_back(static_cast<char16_t>(cp));
            }
        }
        ucstring back;
        ASSERT_EQ(decodeFMUnicode(back, encoded(text)), u"");
        ASSERT_EQ(back, text) << "round " << round;
    }
}

TEST(SCSUCrossCheck, AgreesWithAnIndependentImplementation) {
    const ucstring texts[] = {
        u"\u00D6l flie\u00DFt \u2014 \u041C\u043E\u0441\u043A\u0432\u0430",
        u"\u3000\u266A\u30EA\u30F3\u30B4\u53EF\u611B\u3044\u3084 \u4E2D\u6587\uD55C\uAD6D",
        u"\U0001F600 \U00020001 \uE000\uF8FF ok",
    };
    for (const ucstring& text : texts) {
        SCOPED_TRACE(::testing::PrintToString(text));
        // Our bytes, read by ICU.
        ucstring viaICU;
        ASSERT_TRUE(icuDecode(encoded(text), viaICU));
        EXPECT_EQ(viaICU, text);
        // ICU's bytes, read by us.
        const std::string theirs = icuEncode(text);
        ASSERT_FALSE(theirs.empty());
        EXPECT_EQ(decoded(theirs), text);
    }
}
