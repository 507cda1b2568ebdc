// The regular-expression wrapper: whole-text matching, sub-matches and compile errors.
#include "_Common/Strings/Orb_StringRegEx.h"

#include <gtest/gtest.h>

TEST(StringRegEx, MatchesWholeTextsOnly) {
    StringRegEx re;
    ASSERT_EQ(re.setExpression("^.*\\.TXT"), "");
    EXPECT_EQ(re.expression(), "^.*\\.TXT");
    EXPECT_TRUE(re.match("A.TXT"));
    EXPECT_FALSE(re.match("A.TXT.BAK"));  // a partial match is no match
    EXPECT_FALSE(re.match("ATXT"));
}

TEST(StringRegEx, ExposesSubMatches) {
    StringRegEx re;
    ASSERT_EQ(re.setExpression("(\\d{3})([ -])(.*)"), "");
    ASSERT_TRUE(re.match("226 Transfer complete"));
    ASSERT_EQ(re.results().size(), 4u);
    EXPECT_EQ(re.result(0), "226 Transfer complete");
    EXPECT_EQ(re.result(1), "226");
    EXPECT_EQ(re.result(2), " ");
    EXPECT_EQ(re.result(3), "Transfer complete");
    EXPECT_EQ(re.result(9), "");
    EXPECT_FALSE(re.match("22 short"));
    EXPECT_TRUE(re.results().empty());
}

TEST(StringRegEx, ReportsCompileErrors) {
    StringRegEx re;
    const std::string error = re.setExpression("(unclosed");
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(re.match("(unclosed"));

    ucStringRegEx wide;
    EXPECT_FALSE(wide.setExpression(u"a[").empty());
    EXPECT_FALSE(wide.match(u"a["));
    // A good expression afterwards works again.
    EXPECT_EQ(wide.setExpression(u"a\\["), u"");
    EXPECT_TRUE(wide.match(u"a["));
}

TEST(StringRegEx, WideFormWorksOnCharacters) {
    ucStringRegEx re;
    // The wildcard "A?C" after conversion: "?" is one character, even beyond the BMP.
    ASSERT_EQ(re.setExpression(u"^A.C"), u"");
    EXPECT_TRUE(re.match(u"A\u00C9C"));
    EXPECT_TRUE(re.match(u"A\U0001F600C"));
    EXPECT_FALSE(re.match(u"ABBC"));
    ASSERT_EQ(re.setExpression(u"(\u00DC+)(.)"), u"");
    ASSERT_TRUE(re.match(u"\u00DC\u00DC\U0001F600"));
    EXPECT_EQ(re.result(1), u"\u00DC\u00DC");
    EXPECT_EQ(re.result(2), u"\U0001F600");
}
