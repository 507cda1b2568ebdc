// Texts for host error codes: the documented descriptions, the unknown-code text and the set of known codes.
#include "_Common/FMPlugin/Plugin_ErrorTexts.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::u16string kUnknown = u"Unknown Error";

// The documented codes, written as the inclusive ranges of the published list.
std::set<int> documentedCodes() {
    const std::vector<std::pair<int, int>> ranges = {
        {0, 20},      {100, 118},   {130, 131},   {200, 218},   {300, 304},   {306, 308},   {400, 410},  {412, 417},
        {500, 513},   {600, 603},   {700, 700},   {706, 711},   {714, 727},   {729, 737},   {800, 811},  {813, 817},
        {819, 826},   {850, 852},   {900, 903},   {905, 906},   {920, 923},   {951, 951},   {954, 960},  {1200, 1225},
        {1300, 1300}, {1400, 1409}, {1413, 1414}, {1450, 1451}, {1501, 1507}, {1550, 1551}, {1626, 1631}};
    std::set<int> codes;
    for (const auto& [first, last] : ranges)
        for (int code = first; code <= last; ++code) codes.insert(code);
    return codes;
}

std::u16string suffix(int code) {
    std::u16string text = u" (";
    for (char c : std::to_string(code)) text += static_cast<char16_t>(c);
    return text + u")";
}

bool isKnown(int code) {
    const std::u16string text = ucstringFromFMError(static_cast<fmx::errcode>(code));
    return text.rfind(kUnknown + u" (", 0) != 0;
}

}  // namespace

TEST(ErrorTexts, TellingRowsCarryTheirDescriptionAndCode) {
    EXPECT_EQ(ucstringFromFMError(0), u"No error (0)");
    EXPECT_EQ(ucstringFromFMError(1), u"User canceled action (1)");
    EXPECT_EQ(ucstringFromFMError(100), u"File is missing (100)");
    EXPECT_EQ(ucstringFromFMError(300), u"File is locked or in use (300)");
    EXPECT_EQ(ucstringFromFMError(509), u"Field requires a valid value (509)");
    EXPECT_EQ(ucstringFromFMError(800), u"Unable to create file on disk (800)");
    EXPECT_EQ(ucstringFromFMError(1200), u"Generic calculation error (1200)");
    EXPECT_EQ(ucstringFromFMError(1631), u"Connection failed (1631)");
}

TEST(ErrorTexts, UnknownCodesSayUnknownErrorWithTheCode) {
    EXPECT_EQ(ucstringFromFMError(99), u"Unknown Error (99)");
    EXPECT_EQ(ucstringFromFMError(-1), u"Unknown Error (-1)");
    EXPECT_EQ(ucstringFromFMError(19999), u"Unknown Error (19999)");
    EXPECT_EQ(ucstringFromFMError(-32768), u"Unknown Error (-32768)");
    EXPECT_EQ(ucstringFromFMError(32767), u"Unknown Error (32767)");
}

TEST(ErrorTexts, ExactlyTheDocumentedCodesAreKnown) {
    const std::set<int> documented = documentedCodes();
    EXPECT_EQ(documented.size(), 236u);
    int known = 0;
    for (int code = -32768; code <= 32767; ++code) {
        const bool expected = documented.count(code) != 0;
        EXPECT_EQ(isKnown(code), expected) << "code " << code;
        if (isKnown(code)) ++known;
    }
    EXPECT_EQ(known, 236);
}

TEST(ErrorTexts, RangeBoundaries) {
    for (int code : {21,  99,  119,  129,  132,  219,  305,  309,  411,  418,  514,  604,  701, 705,
                     712, 713, 728,  738,  812,  818,  827,  853,  904,  907,  919,  924,  950, 952,
                     953, 961, 1199, 1226, 1301, 1410, 1412, 1415, 1500, 1508, 1552, 1625, 1632})
        EXPECT_FALSE(isKnown(code)) << "code " << code;
    for (int code :
         {20,  118, 131, 218, 304, 306, 410, 412, 513, 700, 706,  711,  714,  727,  729,  737,  811,  813,  817,
          819, 826, 852, 903, 905, 906, 923, 951, 954, 960, 1225, 1300, 1409, 1413, 1414, 1451, 1507, 1551, 1626})
        EXPECT_TRUE(isKnown(code)) << "code " << code;
}

TEST(ErrorTexts, EveryKnownTextIsAPlainPhraseFollowedByTheCode) {
    for (int code : documentedCodes()) {
        const std::u16string text = ucstringFromFMError(static_cast<fmx::errcode>(code));
        const std::u16string tail = suffix(code);
        ASSERT_GT(text.size(), tail.size()) << "code " << code;
        EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << "code " << code;
        const std::u16string description = text.substr(0, text.size() - tail.size());
        EXPECT_NE(description.front(), u' ') << "code " << code;
        EXPECT_NE(description.back(), u' ') << "code " << code;
        EXPECT_NE(description.back(), u'.') << "code " << code;
        EXPECT_EQ(description.find(u"(*)"), std::u16string::npos) << "code " << code;
    }
}
