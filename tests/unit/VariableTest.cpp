// Variables and variable arrays: types, conversions, the text form, names and editing.
#include "_Common/CoreCode/Orb_Variable.h"
#include "_Common/Strings/Orb_StringList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const ucstring kInvalidNameTail = u"; Variable Names cannot contain the following: \",',$,{,},;";

OrbDateTime at(uint16_t y, uint16_t mo, uint16_t d, uint16_t h = 0, uint16_t mi = 0, uint16_t s = 0) {
    OrbDateTime t;
    EXPECT_TRUE(t.encodeDateTime({y, mo, d, h, mi, s, 0}));
    return t;
}

const OrbVariable& named(const OrbVariableArray& array, const ucstring& name) {
    const OrbVariable* v = nullptr;
    EXPECT_TRUE(array.variableWithName(name, v)) << ::testing::PrintToString(name);
    static const OrbVariable none;
    return v ? *v : none;
}

}  // namespace

TEST(Variable, SettersChangeTypeAndKeepTheName) {
    OrbVariable v(u"  Count ");
    EXPECT_EQ(v.name(), u"Count");
    EXPECT_EQ(v.nameUppercase(), u"COUNT");
    EXPECT_EQ(v.type(), OrbVariable::kEmpty);
    v.setStringValue(u"text");
    EXPECT_EQ(v.type(), OrbVariable::kString);
    v.setIntegerValue(5);
    EXPECT_EQ(v.type(), OrbVariable::kInteger);
    EXPECT_EQ(v.stringValue(), u"");  // cleared by the setter
    EXPECT_EQ(v.integerValue(), 5);
    v.setListValue({u"a"});
    EXPECT_EQ(v.integerValue(), 0);
    EXPECT_EQ(v.name(), u"Count");

    const OrbDateTime when = at(2020, 5, 6);
    v.setDateValue(when);
    v.clear();
    EXPECT_EQ(v.type(), OrbVariable::kEmpty);
    EXPECT_TRUE(v.listValue().empty());
    EXPECT_EQ(v.timestampValue(), when);  // the timestamp stays
    EXPECT_EQ(v.name(), u"Count");
    v.clear(true);
    EXPECT_EQ(v.name(), u"");
    EXPECT_EQ(v.nameUppercase(), u"");

    int object = 0;
    v.setPointerValue(&object);
    EXPECT_EQ(v.type(), OrbVariable::kPointer);
    EXPECT_EQ(v.pointerValue(), &object);
}

TEST(Variable, ArrayValuesAreDeepCopies) {
    OrbVariableArray source;
    ucstring error;
    ASSERT_TRUE(source.addIntegerVariable(error, u"a", 1));
    OrbVariable v;
    v.setArrayValue(source);
    source.clear();
    EXPECT_EQ(v.arrayValue().size(), 1u);
    // Setting a variable's array from its own element works too.
    OrbVariable outer;
    outer.setArrayValue(v.arrayValue());
    outer.mutableArrayValue().mutableVariableArray()[0].setArrayValue(outer.arrayValue());
    EXPECT_EQ(outer.variableAsString(kLineEndingCR), u"{a={a=1}}");
}

TEST(VariableText, EveryTypeAsText) {
    OrbVariable v;
    EXPECT_EQ(v.variableAsString(kLineEndingCR), u"");
    v.setStringValue(u"hello");
    EXPECT_EQ(v.variableAsString(kLineEndingCR), u"hello");
    v.setIntegerValue(-42);
    EXPECT_EQ(v.variableAsString(kLineEndingCR), u"-42");
    // A float prints with precision 6, a float string as it is.
    v.setFloatValue(3.14159265);
    EXPECT_EQ(v.variableAsString(kLineEndingCR), u"3.14159");
    v.setFloatStringValue(u"3.14159265");
    EXPECT_EQ(v.variableAsString(kLineEndingCR), u"3.14159265");
    v.setListValue({u"a", u"b"});
    EXPECT_EQ(v.variableAsString(kLineEndingCRLF), u"a\r\nb");
    EXPECT_EQ(v.variableAsString(kLineEndingNone), u"ab");
    v.setDateValue(at(2021, 7, 4, 9, 5, 3));
    EXPECT_EQ(v.variableAsString(kLineEndingCR), u"07/04/2021");
    v.setTimeValue(at(2021, 7, 4, 9, 5, 3));
    EXPECT_EQ(v.variableAsString(kLineEndingCR), u"09:05:03");
    v.setTimestampValue(at(2021, 7, 4, 9, 5, 3));
    EXPECT_EQ(v.variableAsString(kLineEndingCR), u"07/04/2021 09:05:03");
    v.setPointerValue(&v);
    EXPECT_EQ(v.variableAsString(kLineEndingCR), u"Pointer");
    v.setPointerValue(nullptr);
    EXPECT_EQ(v.variableAsString(kLineEndingCR), u"NULL");
}

TEST(VariableText, ArrayTextForm) {
    OrbVariableArray array;
    ucstring error;
    ASSERT_TRUE(array.addIntegerVariable(error, u"a", 1));
    ASSERT_TRUE(array.addStringVariable(error, u"b", u"x"));
    OrbVariable v;
    v.setArrayValue(array);
    EXPECT_EQ(v.variableAsString(kLineEndingCR), u"{a=1; b=x}");

    // Unnamed elements print their value alone; nested arrays and lists print in place.
    OrbVariableArray outer;
    ASSERT_TRUE(outer.addArrayVariable(error, u"inner", array));
    ASSERT_TRUE(outer.addIntegerVariable(error, u"", 7));
    ASSERT_TRUE(outer.addListVariable(error, u"l", {u"p", u"q"}));
    v.setArrayValue(outer);
    EXPECT_EQ(v.variableAsString(kLineEndingLF), u"{inner={a=1; b=x}; 7; l=p\nq}");

    v.setArrayValue(OrbVariableArray());
    EXPECT_EQ(v.variableAsString(kLineEndingCR), u"");
}

TEST(VariableConversion, AsInteger) {
    OrbVariable v;
    EXPECT_EQ(v.variableAsInteger(), 0);
    v.setStringValue(u" 42abc");
    EXPECT_EQ(v.variableAsInteger(), 42);
    v.setFloatValue(3.9);
    EXPECT_EQ(v.variableAsInteger(), 3);
    v.setFloatValue(-3.9);
    EXPECT_EQ(v.variableAsInteger(), -3);
    v.setFloatValue(std::nan(""));
    EXPECT_EQ(v.variableAsInteger(), 0);
    v.setFloatValue(1e300);
    EXPECT_EQ(v.variableAsInteger(), std::numeric_limits<int64_t>::max());
    v.setFloatStringValue(u"7.8");
    EXPECT_EQ(v.variableAsInteger(), 7);
    v.setListValue({u"a", u"b", u"c"});
    EXPECT_EQ(v.variableAsInteger(), 3);
    OrbVariableArray two;
    ucstring error;
    two.addIntegerVariable(error, u"x", 1);
    two.addIntegerVariable(error, u"y", 2);
    v.setArrayValue(two);
    EXPECT_EQ(v.variableAsInteger(), 2);
    v.setTimestampValue(at(1970, 1, 1, 0, 1, 0));
    EXPECT_EQ(v.variableAsInteger(), 60);
}

TEST(VariableConversion, AsBoolean) {
    OrbVariable v;
    EXPECT_FALSE(v.variableAsBoolean());
    v.setStringValue(u"no");
    EXPECT_FALSE(v.variableAsBoolean());
    v.setStringValue(u" Yes");
    EXPECT_TRUE(v.variableAsBoolean());
    v.setIntegerValue(-1);
    EXPECT_FALSE(v.variableAsBoolean());
    v.setIntegerValue(2);
    EXPECT_TRUE(v.variableAsBoolean());
    v.setFloatValue(0.5);
    EXPECT_TRUE(v.variableAsBoolean());
    v.setFloatStringValue(u"0.0");
    EXPECT_FALSE(v.variableAsBoolean());
    v.setListValue({});
    EXPECT_FALSE(v.variableAsBoolean());
    v.setListValue({u""});
    EXPECT_TRUE(v.variableAsBoolean());
    v.setDateValue(at(2021, 1, 1));  // a date is never true
    EXPECT_FALSE(v.variableAsBoolean());
    v.setPointerValue(&v);
    EXPECT_TRUE(v.variableAsBoolean());
}

TEST(VariableConversion, ToList) {
    OrbVariable v;
    ucstringlist out{u"stale"};
    v.copyVariableToList(out);
    EXPECT_TRUE(out.empty());
    v.setStringValue(u"one\r\ntwo\nthree");
    v.copyVariableToList(out);
    EXPECT_EQ(out, (ucstringlist{u"one", u"two", u"three"}));
    v.setIntegerValue(12);
    v.copyVariableToList(out);
    EXPECT_EQ(out, (ucstringlist{u"12"}));
    v.setListValue({u"x", u"y"});
    v.copyVariableToList(out);
    EXPECT_EQ(out, (ucstringlist{u"x", u"y"}));
    v.setPointerValue(nullptr);
    v.copyVariableToList(out);
    EXPECT_EQ(out, (ucstringlist{u"NULL"}));
}

TEST(VariableArrayNames, LookupIgnoresCaseAndBlanks) {
    OrbVariableArray array;
    ucstring error;
    ASSERT_TRUE(array.addStringVariable(error, u"abc", u"first"));
    ASSERT_TRUE(array.addStringVariable(error, u"ABC", u"second"));  // duplicates are not refused by add
    EXPECT_EQ(named(array, u"ABC").stringValue(), u"first");
    EXPECT_EQ(named(array, u" abc ").stringValue(), u"first");
    const OrbVariable* v = &array.variableArray()[0];
    EXPECT_FALSE(array.variableWithName(u"abd", v));
    EXPECT_EQ(v, nullptr);

    OrbVariable* m = nullptr;
    ASSERT_TRUE(array.mutableVariableAtIndex(1, m));
    EXPECT_EQ(m->stringValue(), u"second");
    EXPECT_FALSE(array.variableAtIndex(2, v));
}

TEST(VariableArrayNames, ValidationTexts) {
    OrbVariableArray array;
    ucstring error;
    EXPECT_FALSE(array.addIntegerVariable(error, u"a$b", 1));
    EXPECT_EQ(error, u"Invalid Variable Name: a$b" + kInvalidNameTail);
    for (const char16_t* bad : {u"q\"", u"it's", u"{x", u"x}", u"a;b"}) {
        EXPECT_FALSE(array.variableNameIsValid(error, bad, false)) << ::testing::PrintToString(ucstring(bad));
        EXPECT_EQ(error, u"Invalid Variable Name: " + ucstring(bad) + kInvalidNameTail);
    }
    EXPECT_TRUE(array.empty());
    // Skipping validation lets any name in; an empty name needs none.
    EXPECT_TRUE(array.addIntegerVariable(error, u"a$b", 1, true));
    EXPECT_EQ(error, u"");
    EXPECT_TRUE(array.addIntegerVariable(error, u"", 2));

    EXPECT_TRUE(array.variableNameIsValid(error, u"fresh", true));
    EXPECT_FALSE(array.variableNameIsValid(error, u"A$B", true));
    ASSERT_TRUE(array.addIntegerVariable(error, u"Port", 21));
    EXPECT_FALSE(array.variableNameIsValid(error, u"port", true));
    EXPECT_EQ(error, u"Duplicate Variable Name: port");
    EXPECT_TRUE(array.variableNameIsValid(error, u"port", false));
    EXPECT_TRUE(array.variableNameIsValid(error, u"", true));
}

TEST(VariableArrayNames, RenamingByIndex) {
    OrbVariableArray array;
    ucstring error;
    array.addIntegerVariable(error, u"", 1);
    array.addIntegerVariable(error, u"", 2);
    ASSERT_TRUE(array.setNameOfVariableAtIndex(error, u" First ", 0, true));
    EXPECT_EQ(array.variableArray()[0].name(), u"First");
    EXPECT_FALSE(array.setNameOfVariableAtIndex(error, u"FIRST", 1, true));
    EXPECT_EQ(error, u"There is already a variable named FIRST.");
    ASSERT_TRUE(array.setNameOfVariableAtIndex(error, u"first", 0, true));  // its own name
    ASSERT_TRUE(array.setNameOfVariableAtIndex(error, u"first", 1, false));
    EXPECT_FALSE(array.setNameOfVariableAtIndex(error, u"third", 2, true));
    EXPECT_EQ(error, u"A variable with index 2 was not found.");
}

TEST(VariableArrayAdd, TypedValues) {
    OrbVariableArray array;
    ucstring error;
    ASSERT_TRUE(array.addStringVariable(error, u" s ", u"  padded  "));
    ASSERT_TRUE(array.addBooleanVariable(error, u"yes", true));
    ASSERT_TRUE(array.addBooleanVariable(error, u"no", false));
    ASSERT_TRUE(array.addFloatVariable(error, u"f", 0.25));
    ASSERT_TRUE(array.addDateVariable(error, u"d", at(2000, 1, 2)));
    ASSERT_TRUE(array.addTimestampVariable(error, u"ts", at(2000, 1, 2, 3, 4, 5)));
    EXPECT_EQ(named(array, u"s").stringValue(), u"padded");
    EXPECT_EQ(named(array, u"yes").type(), OrbVariable::kInteger);
    EXPECT_EQ(named(array, u"yes").integerValue(), 1);
    EXPECT_EQ(named(array, u"no").integerValue(), 0);
    EXPECT_EQ(named(array, u"f").floatValue(), 0.25);
    EXPECT_EQ(named(array, u"d").type(), OrbVariable::kDate);
    EXPECT_EQ(named(array, u"ts").variableAsString(kLineEndingCR), u"01/02/2000 03:04:05");

    OrbVariable copy(u"  copied ");
    copy.setIntegerValue(9);
    ASSERT_TRUE(array.addVariable(error, copy));
    EXPECT_EQ(array.variableArray().back().name(), u"copied");
    copy.setName(u"bad{");
    EXPECT_FALSE(array.addVariable(error, copy));
    EXPECT_EQ(error, u"Invalid Variable Name: bad{" + kInvalidNameTail);
}

TEST(VariableArrayAdd, ArrayFromText) {
    OrbVariableArray array;
    ucstring error;
    EXPECT_FALSE(array.addArrayVariable(error, u"arr", ucstring(u"a=1")));
    EXPECT_EQ(error, u"Start and End Curly Brackets not found for Array Variable named arr.");
    EXPECT_FALSE(array.addArrayVariable(error, u"arr", ucstring(u"{a=1")));
    EXPECT_EQ(error, u"Start and End Curly Brackets not found for Array Variable named arr.");
    ASSERT_TRUE(array.addArrayVariable(error, u"arr", ucstring(u" {a=1; b=x} ")));
    const OrbVariable& arr = named(array, u"arr");
    ASSERT_EQ(arr.type(), OrbVariable::kArray);
    ASSERT_EQ(arr.arrayValue().size(), 2u);
    EXPECT_EQ(named(arr.arrayValue(), u"a").integerValue(), 1);
    EXPECT_EQ(named(arr.arrayValue(), u"b").stringValue(), u"x");
    EXPECT_EQ(arr.variableAsString(kLineEndingCR), u"{a=1; b=x}");
}

TEST(VariableArrayAdd, TypeInferenceFromText) {
    OrbVariableArray array;
    ucstring error;
    ASSERT_TRUE(array.addVariable(error, u"empty", u"   "));
    ASSERT_TRUE(array.addVariable(error, u"dq", u" \"quoted \" "));
    ASSERT_TRUE(array.addVariable(error, u"sq", u"'single'"));
    ASSERT_TRUE(array.addVariable(error, u"int", u"-12"));
    ASSERT_TRUE(array.addVariable(error, u"float", u".5"));
    ASSERT_TRUE(array.addVariable(error, u"dash", u"-"));
    ASSERT_TRUE(array.addVariable(error, u"dots", u"1.2.3"));
    ASSERT_TRUE(array.addVariable(error, u"lines", u"a\r\nb"));
    ASSERT_TRUE(array.addVariable(error, u"text", u"hello world"));
    ASSERT_TRUE(array.addVariable(error, u"arr", u"{x=1}"));

    EXPECT_EQ(named(array, u"empty").type(), OrbVariable::kString);
    EXPECT_EQ(named(array, u"dq").stringValue(), u"quoted ");
    EXPECT_EQ(named(array, u"sq").stringValue(), u"single");
    EXPECT_EQ(named(array, u"int").type(), OrbVariable::kInteger);
    EXPECT_EQ(named(array, u"int").integerValue(), -12);
    EXPECT_EQ(named(array, u"float").type(), OrbVariable::kFloat);
    EXPECT_EQ(named(array, u"float").floatValue(), 0.5);
    EXPECT_EQ(named(array, u"dash").type(), OrbVariable::kString);
    EXPECT_EQ(named(array, u"dots").type(), OrbVariable::kString);
    EXPECT_EQ(named(array, u"lines").listValue(), (ucstringlist{u"a", u"b"}));
    EXPECT_EQ(named(array, u"text").stringValue(), u"hello world");
    EXPECT_EQ(named(array, u"arr").arrayValue().size(), 1u);

    EXPECT_FALSE(array.addVariable(error, u"s", u"\"abc"));
    EXPECT_EQ(error, u"Ending Quote Not Found or Not Matched for String Variable named s.");
    EXPECT_FALSE(array.addVariable(error, u"s", u"\"abc'"));
    EXPECT_EQ(error, u"Ending Quote Not Found or Not Matched for String Variable named s.");
    EXPECT_FALSE(array.addVariable(error, u"s", u"'"));
    EXPECT_EQ(error, u"Ending Quote Not Found or Not Matched for String Variable named s.");
    EXPECT_FALSE(array.addVariable(error, u"arr", u"{x=1"));
    EXPECT_EQ(error, u"Closing Curly Bracket Not Found for Array Variable named arr.");
    EXPECT_FALSE(array.addVariable(error, u"bad$", u"1"));
    EXPECT_EQ(error, u"Invalid Variable Name: bad$" + kInvalidNameTail);
    EXPECT_FALSE(array.addVariable(error, u"bad$", u""));
    EXPECT_EQ(array.size(), 10u);
}

TEST(VariableArraySet, OverwritesInPlaceOrAppends) {
    OrbVariableArray array;
    ucstring error;
    ASSERT_TRUE(array.setStringVariable(error, u"Host", u" 'ftp.example.com' "));
    ASSERT_TRUE(array.setIntegerVariable(error, u"Port", 21));
    EXPECT_EQ(named(array, u"host").stringValue(), u"ftp.example.com");
    ASSERT_TRUE(array.setStringVariable(error, u"HOST", u"\"a\" and \"b\""));
    EXPECT_EQ(array.variableArray()[0].name(), u"HOST");  // same place, new name
    EXPECT_EQ(array.variableArray()[0].stringValue(), u"a\" and \"b");
    ASSERT_TRUE(array.setFloatVariable(error, u"port", 2.5));
    EXPECT_EQ(array.size(), 2u);
    EXPECT_EQ(array.variableArray()[1].type(), OrbVariable::kFloat);
    ASSERT_TRUE(array.setListVariable(error, u"list", {u"a"}));
    ASSERT_TRUE(array.setArrayVariable(error, u"list", array));
    EXPECT_EQ(array.size(), 3u);
    EXPECT_EQ(named(array, u"list").arrayValue().size(), 3u);
    ASSERT_TRUE(array.setVariable(error, u"port", u"'quoted'"));
    EXPECT_EQ(named(array, u"port").stringValue(), u"quoted");
    EXPECT_EQ(array.size(), 3u);

    EXPECT_FALSE(array.setIntegerVariable(error, u"  ", 1));
    EXPECT_EQ(error, u"Variable Name was blank.");
    EXPECT_FALSE(array.setVariable(error, u"", u"1"));
    EXPECT_EQ(error, u"Variable Name was blank.");
    EXPECT_FALSE(array.setVariable(error, u"x;", u"1"));
    EXPECT_EQ(error, u"Invalid Variable Name: x;" + kInvalidNameTail);
}

TEST(VariableArrayEdit, InsertRemoveCopy) {
    OrbVariableArray array;
    ucstring error;
    array.addIntegerVariable(error, u"a", 1);
    array.addIntegerVariable(error, u"c", 3);
    OrbVariable b(u"b");
    b.setIntegerValue(2);
    array.insertVariable(1, b);
    array.insertVariable(99, b);
    ASSERT_EQ(array.size(), 4u);
    EXPECT_EQ(array.variableArray()[1].name(), u"b");
    EXPECT_EQ(array.variableArray()[3].name(), u"b");
    EXPECT_TRUE(array.removeVariable(u"B"));  // the first one
    EXPECT_EQ(array.variableArray()[1].name(), u"c");
    EXPECT_TRUE(array.removeVariable(size_t(2)));
    EXPECT_FALSE(array.removeVariable(size_t(2)));
    EXPECT_FALSE(array.removeVariable(u"zzz"));

    OrbVariableArray copy;
    copy.copyFromVariableArray(array);
    array.mutableVariableArray()[0].setIntegerValue(100);
    EXPECT_EQ(copy.variableArray()[0].integerValue(), 1);
    copy.copyFromVariableArray(copy);
    EXPECT_EQ(copy.size(), 2u);
    int count = 0;
    for (auto it = copy.rbegin(); it != copy.rend(); ++it) ++count;
    EXPECT_EQ(count, 2);
}
