// Reading variables from their text form, every error the reader gives, and the line form the
// preferences are saved in.
#include "_Common/CoreCode/Orb_Variable.h"
#include "_Common/Strings/Orb_StringList.h"

#include <gtest/gtest.h>

namespace {

const OrbVariable& named(const OrbVariableArray& array, const ucstring& name) {
    const OrbVariable* v = nullptr;
    EXPECT_TRUE(array.variableWithName(name, v)) << ::testing::PrintToString(name);
    static const OrbVariable none;
    return v ? *v : none;
}

// How the preferences store reads its lines.
bool parsePrefs(OrbVariableArray& array, ucstring& error, const ucstringlist& lines) {
    return array.parseVariables(error, lines, true, false, true);
}

ucstring parseError(const ucstring& text, bool commaIsDelimiter = false) {
    OrbVariableArray array;
    ucstring error;
    EXPECT_FALSE(array.parseVariables(error, text, false, commaIsDelimiter, false));
    return error;
}

}  // namespace

TEST(VariableParse, StoredLinesWithQuotedSemicolon) {
    OrbVariableArray array;
    ucstring error;
    ASSERT_TRUE(parsePrefs(array, error, {u"a=1", u"b=\"x; y\""})) << ::testing::PrintToString(error);
    ASSERT_EQ(array.size(), 2u);
    EXPECT_EQ(named(array, u"a").type(), OrbVariable::kInteger);
    EXPECT_EQ(named(array, u"a").integerValue(), 1);
    EXPECT_EQ(named(array, u"b").type(), OrbVariable::kString);
    EXPECT_EQ(named(array, u"b").stringValue(), u"x; y");
}

TEST(VariableParse, Delimiters) {
    OrbVariableArray array;
    ucstring error;
    // "?" always separates; the semicolon never does at the top level.
    ASSERT_TRUE(array.parseVariables(error, u"a=1?b=two; three", false, false, false));
    EXPECT_EQ(named(array, u"b").stringValue(), u"two; three");
    // The comma only when asked for.
    array.clear();
    ASSERT_TRUE(array.parseVariables(error, u"x=1, y=2", false, true, false));
    EXPECT_EQ(array.size(), 2u);
    EXPECT_EQ(named(array, u"y").integerValue(), 2);
    array.clear();
    ASSERT_TRUE(array.parseVariables(error, u"x=1, y=2", false, false, false));
    ASSERT_EQ(array.size(), 1u);
    EXPECT_EQ(named(array, u"x").stringValue(), u"1, y=2");
}

TEST(VariableParse, LineEndsInsideValuesBecomeLineBreaks) {
    OrbVariableArray array;
    ucstring error;
    // Not delimiters: a value goes on over the line end, which becomes a carriage return.
    ASSERT_TRUE(array.parseVariables(error, ucstringlist{u"  list=one ", u" two  "}, false, false, false));
    ASSERT_EQ(array.size(), 1u);
    EXPECT_EQ(named(array, u"list").listValue(), (ucstringlist{u"one", u"two"}));
    // Before the "=" a line end is a blank.
    array.clear();
    ASSERT_TRUE(array.parseVariables(error, ucstringlist{u"name", u"=5"}, false, false, false));
    EXPECT_EQ(named(array, u"name").integerValue(), 5);
}

TEST(VariableParse, LineBreakMarkers) {
    OrbVariableArray array;
    ucstring error;
    ASSERT_TRUE(parsePrefs(array, error, {u"l=x<CR>y<CR>z", u"s=\"one<CR>two\"", u"t=no marker"}));
    EXPECT_EQ(named(array, u"l").listValue(), (ucstringlist{u"x", u"y", u"z"}));
    EXPECT_EQ(named(array, u"s").type(), OrbVariable::kString);
    EXPECT_EQ(named(array, u"s").stringValue(), u"one\rtwo");
    EXPECT_EQ(named(array, u"t").stringValue(), u"no marker");
}

TEST(VariableParse, QuotedAndBracketedValues) {
    OrbVariableArray array;
    ucstring error;
    ASSERT_TRUE(parsePrefs(array, error,
                           {u"q='single'", u"url=\"http://h/?a=1,b=2\"", u"arr={a=1; b={c=x}}", u"sp = \"x\"   ",
                            u"\"quoted name\"=5", u"empty=", u"{1}"}))
        << ::testing::PrintToString(error);
    ASSERT_EQ(array.size(), 7u);
    EXPECT_EQ(named(array, u"q").stringValue(), u"single");
    EXPECT_EQ(named(array, u"url").stringValue(), u"http://h/?a=1,b=2");
    const OrbVariable& arr = named(array, u"arr");
    ASSERT_EQ(arr.type(), OrbVariable::kArray);
    EXPECT_EQ(named(arr.arrayValue(), u"a").integerValue(), 1);
    EXPECT_EQ(named(named(arr.arrayValue(), u"b").arrayValue(), u"c").stringValue(), u"x");
    EXPECT_EQ(named(array, u"sp").stringValue(), u"x");
    EXPECT_EQ(named(array, u"quoted name").integerValue(), 5);
    EXPECT_EQ(named(array, u"empty").type(), OrbVariable::kString);
    EXPECT_EQ(named(array, u"empty").stringValue(), u"");
    // An unnamed braced value is an unnamed array.
    EXPECT_EQ(array.variableArray().back().name(), u"");
    EXPECT_EQ(array.variableArray().back().type(), OrbVariable::kArray);
}

TEST(VariableParse, UnnamedValues) {
    OrbVariableArray array;
    ucstring error;
    ASSERT_TRUE(array.parseVariables(error, u"hello?42?'x'", false, false, false));
    ASSERT_EQ(array.size(), 3u);
    EXPECT_EQ(array.variableArray()[0].stringValue(), u"hello");
    EXPECT_EQ(array.variableArray()[1].integerValue(), 42);
    EXPECT_EQ(array.variableArray()[2].stringValue(), u"x");
    for (const OrbVariable& v : array) EXPECT_EQ(v.name(), u"");
}

TEST(VariableParse, Escapes) {
    OrbVariableArray array;
    ucstring error;
    ASSERT_TRUE(
        parsePrefs(array, error,
                   {uR"(say="he said \"hi\"")", uR"(unc="\\\\server\\share\\")", uR"(keep="a\qb")", uR"(bare=x\?y)"}))
        << ::testing::PrintToString(error);
    EXPECT_EQ(named(array, u"say").stringValue(), u"he said \"hi\"");
    EXPECT_EQ(named(array, u"unc").stringValue(), uR"(\\server\share\)");
    EXPECT_EQ(named(array, u"keep").stringValue(), uR"(a\qb)");
    // An escaped delimiter is no delimiter, and keeps its backslash.
    EXPECT_EQ(named(array, u"bare").stringValue(), uR"(x\?y)");
}

TEST(VariableParse, DuplicatesFailOrOverwrite) {
    OrbVariableArray array;
    ucstring error;
    EXPECT_FALSE(parsePrefs(array, error, {u"a=1", u"A=2", u"c=3"}));
    EXPECT_EQ(error, u"Duplicate Variable Name: A");
    ASSERT_EQ(array.size(), 1u);  // what was read before the error stays
    EXPECT_EQ(named(array, u"a").integerValue(), 1);

    // A name already in the array counts as a duplicate too.
    EXPECT_FALSE(parsePrefs(array, error, {u"b=1", u"a=5"}));
    EXPECT_EQ(error, u"Duplicate Variable Name: a");

    OrbVariableArray overwrite;
    ASSERT_TRUE(overwrite.parseVariables(error, ucstringlist{u"a=1", u"b=2", u"A=3"}, false, false, true));
    ASSERT_EQ(overwrite.size(), 2u);
    EXPECT_EQ(overwrite.variableArray()[0].name(), u"A");
    EXPECT_EQ(overwrite.variableArray()[0].integerValue(), 3);
}

TEST(VariableParseErrors, EveryMessage) {
    const ucstring invalidTail = u"; Variable Names cannot contain the following: \",',$,{,},;";
    EXPECT_EQ(parseError(u"a$=1"), u"Invalid Variable Name: a$" + invalidTail);
    EXPECT_EQ(parseError(u"s=\"abc"), u"Ending Quote not Found for Variable named s");
    EXPECT_EQ(parseError(u"'abc"), u"Ending Quote not Found for Unnamed Variable 'abc");
    EXPECT_EQ(parseError(u"arr={a={b=1}"),
              u"The number of closing Curly Brackets does not Match the number of opening Curly Brackets for "
              u"Variable named arr");
    EXPECT_EQ(parseError(u"{a=1"),
              u"The number of closing Curly Brackets does not Match the number of opening Curly Brackets for "
              u"Unnamed Variable {a=1");
    EXPECT_EQ(parseError(u"a=\"x\"=y"), u"Unexpected Equals after the Value for the Variable named a");
    EXPECT_EQ(parseError(u"a=\"x\" y"), u"Expected a Semicolon after the Value for the Variable named a");
    EXPECT_EQ(parseError(u"a={x} y"), u"Expected a Semicolon after the Value for the Variable named a");
    EXPECT_EQ(parseError(u"\"x\" y"), u"Expected a Delimiter after the Value \"x\"");
    // Errors inside an array's text come up from the nested reading.
    EXPECT_EQ(parseError(u"a={b=\"x}"), u"Ending Quote not Found for Variable named b");
}

TEST(VariableParseErrors, QuotesEndAtALineEndThatIsADelimiter) {
    OrbVariableArray array;
    ucstring error;
    EXPECT_FALSE(parsePrefs(array, error, {u"s=\"open", u"t=1"}));
    EXPECT_EQ(error, u"Ending Quote not Found for Variable named s");
    // Without line-end delimiters the quoted value simply goes on.
    array.clear();
    ASSERT_TRUE(array.parseVariables(error, ucstringlist{u"s=\"open", u"still\""}, false, false, false));
    EXPECT_EQ(named(array, u"s").stringValue(), u"open\rstill");
}

TEST(VariableParseErrors, EarlierVariablesStay) {
    OrbVariableArray array;
    ucstring error;
    EXPECT_FALSE(array.parseVariables(error, u"a=1?b=2?c}=3?d=4", false, false, false));
    EXPECT_EQ(error, u"Invalid Variable Name: c}; Variable Names cannot contain the following: \",',$,{,},;");
    EXPECT_EQ(array.size(), 2u);
}

TEST(VariableLines, PrintsOneLinePerVariable) {
    OrbVariableArray array;
    ucstring error;
    array.addStringVariable(error, u"s", u"say \"hi\"");
    array.addIntegerVariable(error, u"i", 7);
    array.addListVariable(error, u"l", {u"a", u"b"});
    array.addIntegerVariable(error, u"", 8);
    array.addArrayVariable(error, u"arr", ucstring(u"{x=1; y=z}"));

    ucstringlist lines;
    array.copyVariablesToList(lines, true, false);
    EXPECT_EQ(lines, (ucstringlist{u"s=\"say \\\"hi\\\"\"", u"i=7", u"l=\"a<CR>b\"", u"8", u"arr={x=1; y=z}"}));
    array.copyVariablesToList(lines, false, true);
    EXPECT_EQ(lines, (ucstringlist{u"s=say \"hi\"", u"i=7", u"8", u"arr={x=1; y=z}"}));
}

TEST(VariableLines, SavedLinesReadBackUnchanged) {
    OrbVariableArray saved;
    ucstring error;
    saved.addStringVariable(error, u"Path", uR"(\\server\share\folder\)");
    saved.addStringVariable(error, u"Url", u"ftp://h/x?y=1,2");
    saved.addStringVariable(error, u"Quote", u"it's \"fine\"");
    saved.addStringVariable(error, u"Multi", u"line one\r\nline two\rline three");
    saved.addStringVariable(error, u"Looks numeric", u"0042");
    saved.addListVariable(error, u"Files", {u"a.txt", u"b c.txt"});
    saved.addIntegerVariable(error, u"Port", -21);
    saved.addFloatVariable(error, u"Ratio", 0.5);
    saved.addArrayVariable(error, u"Nested", ucstring(u"{x=1; y=z}"));
    saved.mutableVariableArray()[0].setStringValue(uR"(\\server\share\folder\)");  // as given, untrimmed

    ucstringlist lines;
    saved.copyVariablesToList(lines, true, false);
    for (const ucstring& line : lines) EXPECT_EQ(line.find_first_of(u"\r\n"), ucstring::npos);

    OrbVariableArray loaded;
    ASSERT_TRUE(parsePrefs(loaded, error, lines)) << ::testing::PrintToString(error);
    ASSERT_EQ(loaded.size(), saved.size());
    EXPECT_EQ(named(loaded, u"Path").stringValue(), uR"(\\server\share\folder\)");
    EXPECT_EQ(named(loaded, u"Url").stringValue(), u"ftp://h/x?y=1,2");
    EXPECT_EQ(named(loaded, u"Quote").stringValue(), u"it's \"fine\"");
    EXPECT_EQ(named(loaded, u"Multi").stringValue(), u"line one\rline two\rline three");
    EXPECT_EQ(named(loaded, u"Looks numeric").type(), OrbVariable::kString);
    EXPECT_EQ(named(loaded, u"Looks numeric").stringValue(), u"0042");
    // A quoted list reads back as a text of lines, which gives the same items.
    ucstringlist files;
    named(loaded, u"Files").copyVariableToList(files);
    EXPECT_EQ(files, (ucstringlist{u"a.txt", u"b c.txt"}));
    EXPECT_EQ(named(loaded, u"Port").integerValue(), -21);
    EXPECT_EQ(named(loaded, u"Ratio").floatValue(), 0.5);
    EXPECT_EQ(named(loaded, u"Nested").variableAsString(kLineEndingCR), u"{x=1; y=z}");
}

TEST(VariableParseErrors, DeepNestingIsRefused) {
    const auto nested = [](int depth) {
        return u"a=" + ucstring(static_cast<size_t>(depth), u'{') + u"x=1" + ucstring(static_cast<size_t>(depth), u'}');
    };
    OrbVariableArray array;
    ucstring error;
    ASSERT_TRUE(array.parseVariables(error, nested(20), false, false, false)) << ::testing::PrintToString(error);
    const OrbVariable* v = &array.variableArray()[0];
    for (int level = 0; level < 19; ++level) v = &v->arrayValue().variableArray()[0];
    EXPECT_EQ(v->arrayValue().variableArray()[0].integerValue(), 1);

    array.clear();
    EXPECT_FALSE(array.parseVariables(error, nested(100000), false, false, false));
    EXPECT_EQ(error, u"Array Variables are nested more than 64 levels deep.");
}
