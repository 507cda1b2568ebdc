// String lists: splitting into lines, joining, searching and name=value lines; host text.
#include "_Common/Strings/Orb_FMXText.h"
#include "_Common/Strings/Orb_StringList.h"

#include <gtest/gtest.h>

TEST(StringListSplit, AtASeparator) {
    EXPECT_EQ(stringlistSplitString(std::string("a,b,,c"), ','), (stringlist{"a", "b", "", "c"}));
    EXPECT_EQ(stringlistSplitString(std::string("a,"), ','), (stringlist{"a", ""}));
    EXPECT_EQ(stringlistSplitString(std::string(""), ','), (stringlist{""}));
    EXPECT_EQ(stringlistSplitString(ucstring(u"x|y"), u'|'), (ucstringlist{u"x", u"y"}));
}

TEST(StringListSplit, ByLinesWithMixedBreaks) {
    // a CR LF b CR LF gives a, b and an empty last line.
    EXPECT_EQ(stringlistSplitStringByLines(ucstring(u"a\r\nb\r\n")), (ucstringlist{u"a", u"b", u""}));
    // CR, LF and CR LF each end one line; LF CR is two breaks.
    EXPECT_EQ(stringlistSplitStringByLines(std::string("1\r2\n3\r\n4\n\r5")),
              (stringlist{"1", "2", "3", "4", "", "5"}));
    EXPECT_EQ(stringlistSplitStringByLines(std::string("")), (stringlist{""}));
    EXPECT_EQ(stringlistSplitStringByLines(std::string("\n")), (stringlist{"", ""}));
}

TEST(StringListSplit, ByLinesWithTrimming) {
    const ucstring text = u" a \n\tb\t";
    EXPECT_EQ(stringlistSplitStringByLines(text, kTrimNone), (ucstringlist{u" a ", u"\tb\t"}));
    EXPECT_EQ(stringlistSplitStringByLines(text, kTrimBoth), (ucstringlist{u"a", u"b"}));
    EXPECT_EQ(stringlistSplitStringByLines(text, kTrimLeft), (ucstringlist{u"a ", u"b\t"}));
    EXPECT_EQ(stringlistSplitStringByLines(text, kTrimRight), (ucstringlist{u" a", u"\tb"}));
}

TEST(StringListAppend, JoinsALineCutBetweenPieces) {
    stringlist lines;
    stringlistAppendLines(lines, "220 Welcome\r\n230 Log");
    stringlistAppendLines(lines, "ged in\r\n");
    stringlistAppendLines(lines, "250 OK");
    EXPECT_EQ(lines, (stringlist{"220 Welcome", "230 Logged in", "250 OK"}));

    ucstringlist wide{u"first"};
    stringlistAppendLines(wide, u" line\nsecond");
    EXPECT_EQ(wide, (ucstringlist{u"first line", u"second"}));
}

TEST(StringListJoin, WithStringsAndLineEndings) {
    const stringlist ab{"a", "b"};
    EXPECT_EQ(stringlistJoinWithLineEnding(ab, kLineEndingNone), "ab");
    EXPECT_EQ(stringlistJoinWithLineEnding(ab, kLineEndingCR), "a\rb");
    EXPECT_EQ(stringlistJoinWithLineEnding(ab, kLineEndingLF), "a\nb");
    EXPECT_EQ(stringlistJoinWithLineEnding(ab, kLineEndingCRLF), "a\r\nb");
    EXPECT_EQ(stringlistJoinWithLineEnding(ucstringlist{u"x"}, kLineEndingCRLF), u"x");
    EXPECT_EQ(stringlistJoinWithLineEnding(ucstringlist{}, kLineEndingCR), u"");
    EXPECT_EQ(stringlistJoinWithString(ucstringlist{u"a", u"", u"c"}, ucstring(u"||")), u"a||||c");
}

TEST(StringListSearch, BlankLists) {
    EXPECT_TRUE(stringlistIsBlank(ucstringlist{}));
    EXPECT_TRUE(stringlistIsBlank(ucstringlist{u"", u" \t", u"\u3000"}));
    EXPECT_FALSE(stringlistIsBlank(ucstringlist{u"", u" x "}));
    EXPECT_TRUE(stringlistIsBlank(stringlist{"\r\n", ""}));
}

TEST(StringListSearch, LinesWithoutRegardToCase) {
    const ucstringlist lines{u"alpha", u"Beta", u"beta"};
    EXPECT_EQ(stringlistIndexOfString(lines, ucstring(u"BETA")), 1);
    EXPECT_EQ(stringlistIndexOfString(lines, ucstring(u"bet")), -1);
    EXPECT_EQ(stringlistIterOfString(lines, ucstring(u"ALPHA")), lines.begin());
    EXPECT_EQ(stringlistIterOfString(lines, ucstring(u"gamma")), lines.end());
}

TEST(StringListNames, FindsReadsAndSetsValues) {
    stringlist lines{"Host = ftp.example.com", "User=anna", "Note=a=b", "Note=second"};
    EXPECT_EQ(stringlistIndexOfName(lines, "host"), 0);
    EXPECT_EQ(stringlistIndexOfName(lines, "host", '=', true), -1);
    EXPECT_EQ(stringlistIndexOfName(lines, "Host", '=', true), 0);
    EXPECT_EQ(stringlistValueForName(lines, "HOST"), " ftp.example.com");
    EXPECT_EQ(stringlistValueForName(lines, "note"), "a=b");  // the first line of that name
    EXPECT_EQ(stringlistValueForName(lines, "missing"), "");
    EXPECT_EQ(stringlistNameAtIndex(lines, 1), "User");
    EXPECT_EQ(stringlistNameAtIndex(lines, 9), "");
    EXPECT_EQ(stringlistIterOfName(lines, "user"), lines.begin() + 1);

    stringlistSetValueForName(lines, "user", "bob");
    EXPECT_EQ(lines[1], "user=bob");
    stringlistSetValueForName(lines, "Port", "21");
    EXPECT_EQ(lines.back(), "Port=21");
    EXPECT_EQ(lines.size(), 5u);

    ucstringlist wide{u"Key: value"};
    EXPECT_EQ(stringlistValueForName(wide, ucstring(u"KEY"), u':'), u" value");
    stringlistSetValueForName(wide, ucstring(u"key"), ucstring(u"v2"), u':');
    EXPECT_EQ(wide, (ucstringlist{u"key:v2"}));
}

TEST(HostText, ConvertsToAndFromLines) {
    fmx::TextUniquePtr text;
    const ucstring source = u"line one\rl\u00EDne two\r\U0001F600";
    text->AssignUnicodeWithLength(source.data(), static_cast<fmx::uint32>(source.size()));
    EXPECT_EQ(ucstringFromFMXText(*text), source);
    EXPECT_EQ(ucstringlistFromFMXText(*text), (ucstringlist{u"line one", u"l\u00EDne two", u"\U0001F600"}));

    fmx::TextUniquePtr out;
    ucstringlistToFMXText(ucstringlist{u"a", u"", u"c"}, *out);
    EXPECT_EQ(ucstringFromFMXText(*out), u"a\r\rc");

    fmx::TextUniquePtr empty;
    EXPECT_EQ(ucstringFromFMXText(*empty), u"");
    EXPECT_TRUE(ucstringlistFromFMXText(*empty).empty());
}
