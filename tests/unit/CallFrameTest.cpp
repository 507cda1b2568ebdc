// The call frame: host arguments in, one result out, and the "ERROR: " convention.
#include "Plugin_Thread.h"
#include "_Common/FMPlugin/Plugin_FMXExtensions.h"
#include "_Common/Strings/Orb_FMXText.h"
#include "functions/Function__Common.h"
#include "functions/Functions.h"

#include <fmhost/Host.h>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class CallFrame : public ::testing::Test {
protected:
    void SetUp() override {
        startupPluginThread(57, 1, u"Pro 16.0.1");
        loadFMXAPIExtensions();
        env = fmhost::environmentFor(7);
    }
    void TearDown() override { shutdownPluginThread(); }

    // Runs a callback with the given arguments; returns the host result's text.
    std::u16string call(fmx::ExtPluginType callback, const std::vector<fmx::Data*>& args = {}) {
        fmx::DataVectUniquePtr vect;
        for (fmx::Data* a : args) vect->PushBack(*a);
        fmx::DataUniquePtr result;
        EXPECT_EQ(callback(0, *env, *vect, *result), 0);
        return ucstringFromFMXText(result->GetAsText());
    }

    PluginVariables& session() {
        PluginVariables* v = nullptr;
        EXPECT_EQ(pluginVariablesForSession(env.get(), v, true, 1000), u"");
        return *v;
    }

    static fmx::DataUniquePtr text(const std::u16string& s) {
        fmx::DataUniquePtr d;
        fmx::TextUniquePtr t;
        t->AssignUnicodeWithLength(s.data(), static_cast<fmx::uint32>(s.size()));
        fmx::LocaleUniquePtr locale;
        d->SetAsText(*t, *locale);
        return d;
    }

    std::shared_ptr<fmx::ExprEnv> env;
};

}  // namespace

TEST_F(CallFrame, EachHostTypeBecomesItsVariable) {
    PluginParameter reader;
    OrbVariable v;
    v.setName(u"stale");

    reader.extract(*text(u"h\u00E9llo \U0001F600"), v);
    EXPECT_EQ(v.type(), OrbVariable::kString);
    EXPECT_EQ(v.stringValue(), u"h\u00E9llo \U0001F600");
    EXPECT_EQ(v.name(), u"");  // cleared, name included

    fmx::DataUniquePtr number;
    fmx::FixPtUniquePtr n;
    n->AssignDouble(2.5);
    number->SetAsNumber(*n);
    reader.extract(*number, v);
    EXPECT_EQ(v.type(), OrbVariable::kFloat);
    EXPECT_DOUBLE_EQ(v.floatValue(), 2.5);

    fmx::DataUniquePtr boolean;
    boolean->SetAsBoolean(true);
    reader.extract(*boolean, v);
    EXPECT_EQ(v.type(), OrbVariable::kInteger);
    EXPECT_EQ(v.integerValue(), 1);

    fmx::DateTimeUniquePtr dt;
    dt->SetNormalizedDate1(2015, 7, 23);
    dt->SetNormalizedTime1(13, 5, 9, 250000);
    fmx::DataUniquePtr date, time, stamp;
    date->SetAsDate(*dt);
    time->SetAsTime(*dt);
    stamp->SetAsTimeStamp(*dt);
    ucstring s;
    reader.extract(*date, v);
    EXPECT_EQ(v.type(), OrbVariable::kDate);
    v.variableAsString(s, 1);
    EXPECT_EQ(s, u"07/23/2015");
    reader.extract(*time, v);
    EXPECT_EQ(v.type(), OrbVariable::kTime);
    v.variableAsString(s, 1);
    EXPECT_EQ(s, u"13:05:09");
    reader.extract(*stamp, v);
    EXPECT_EQ(v.type(), OrbVariable::kTimestamp);
    v.variableAsString(s, 1);
    EXPECT_EQ(s, u"07/23/2015 13:05:09");

    fmx::DataUniquePtr emptyDate;
    emptyDate->Clear(fmx::kDTDate);
    reader.extract(*emptyDate, v);
    EXPECT_EQ(v.type(), OrbVariable::kEmpty);  // not a date

    fmx::TextUniquePtr name;
    name->Assign("photo.jpg");
    char bytes[] = "JPEG";
    fmx::BinaryDataUniquePtr file(*name, 4, bytes);
    fmx::DataUniquePtr container;
    container->SetBinaryData(*file);
    reader.extract(*container, v);
    EXPECT_EQ(v.type(), OrbVariable::kString);
    EXPECT_EQ(v.stringValue(), u"photo.jpg");

    fmx::DataUniquePtr invalid;
    reader.extract(*invalid, v);
    EXPECT_EQ(v.type(), OrbVariable::kEmpty);

    // Long texts grow the reusable buffer.
    const std::u16string longText(5000, u'x');
    reader.extract(*text(longText), v);
    EXPECT_EQ(v.stringValue(), longText);
    EXPECT_GE(reader.bufferSize(), 5000u);
}

TEST_F(CallFrame, ResultsReachTheHostAsTheirOwnType) {
    fmx::DataVectUniquePtr noArgs;
    fmx::DataUniquePtr out;
    OrbVariable r;

    r.setIntegerValue(5000000000LL);  // beyond 32 bits: a file size, say
    functionEnd(r, *out, *noArgs);
    EXPECT_EQ(out->GetNativeType(), fmx::kDTNumber);
    EXPECT_EQ(out->GetAsNumber().AsLong64(), 5000000000LL);

    r.setFloatStringValue(u"");
    functionEnd(r, *out, *noArgs);
    EXPECT_EQ(out->GetNativeType(), fmx::kDTNumber);
    EXPECT_EQ(out->GetAsNumber().AsLong64(), 0);

    r.setListValue({u"a", u"b"});
    functionEnd(r, *out, *noArgs);
    EXPECT_EQ(ucstringFromFMXText(out->GetAsText()), u"a\rb");

    OrbDateTime when;
    ASSERT_TRUE(when.setDateTimeString(u"2/29/2024 23:59:58.500"));
    r.setTimestampValue(when);
    functionEnd(r, *out, *noArgs);
    EXPECT_EQ(out->GetNativeType(), fmx::kDTTimeStamp);
    EXPECT_EQ(out->GetAsTimeStamp().GetDay(), 29);
    EXPECT_EQ(out->GetAsTimeStamp().GetUSec(), 500000);

    r.setPointerValue(&r);
    functionEnd(r, *out, *noArgs);
    EXPECT_EQ(ucstringFromFMXText(out->GetAsText()), u"ERROR: Plugin Function did not set a result.");

    // An empty text leaves the result as it was.
    r.setStringValue(u"kept");
    functionEnd(r, *out, *noArgs);
    r.setStringValue(u"");
    functionEnd(r, *out, *noArgs);
    EXPECT_EQ(ucstringFromFMXText(out->GetAsText()), u"kept");
}

TEST_F(CallFrame, ErrorsAndEscapingExceptionsBecomeErrorTexts) {
    fmx::DataVectUniquePtr noArgs;
    fmx::DataUniquePtr out;
    EXPECT_EQ(runFunction("Thing", *env, *noArgs, *out, [](FunctionCall&) -> ucstring { return u"it broke"; }), 0);
    EXPECT_EQ(ucstringFromFMXText(out->GetAsText()), u"ERROR: Thing: it broke");
    EXPECT_EQ(
        runFunction("Thing", *env, *noArgs, *out, [](FunctionCall&) -> ucstring { throw std::runtime_error("boom"); }),
        0);
    EXPECT_EQ(ucstringFromFMXText(out->GetAsText()), u"ERROR: Plug-in Function caught an unhandled exception.");
    // A function called with no arguments still runs, with an empty argument array.
    size_t seen = 99;
    runFunction("Thing", *env, *noArgs, *out, [&](FunctionCall& c) -> ucstring {
        seen = c.arguments.size();
        c.result.setStringValue(u"ran");
        return {};
    });
    EXPECT_EQ(seen, 0u);
    EXPECT_EQ(ucstringFromFMXText(out->GetAsText()), u"ran");
}

TEST_F(CallFrame, LastResultDescribesTheSessionsLastTransfer) {
    EXPECT_EQ(call(GetLastResultFunctionCallback), u"No transfers have occurred.");

    OrbVariableArray record;
    ucstring e;
    record.addStringVariable(e, u"Type", u"DownloadFile");
    record.addStringVariable(e, u"LocalFile", u"copy.txt");
    record.addStringVariable(e, u"LocalPath", u"C:\\data\\");
    record.addStringVariable(e, u"RemoteFile", u"orig.txt");
    record.addStringVariable(e, u"RemotePath", u"/in/");
    session().lastTransfer.setArrayValue(record);
    EXPECT_EQ(call(GetLastResultFunctionCallback), u"Downloaded 'copy.txt' (originally 'orig.txt').");
    EXPECT_EQ(call(GetLastResultFunctionCallback, {text(u" type ").get()}), u"DownloadFile");
    EXPECT_EQ(call(GetLastResultFunctionCallback, {text(u"FileName").get()}), u"copy.txt");
    EXPECT_EQ(call(GetLastResultFunctionCallback, {text(u"remotelocation").get()}), u"/in/");
    EXPECT_EQ(call(GetLastResultFunctionCallback, {text(u"Text").get()}),
              u"ERROR: GetLastResult: Unknown attribute or this transfer type does not support this attribute.");

    record.setStringVariable(e, u"Type", u"UploadFile");
    record.setStringVariable(e, u"RemoteFile", u"");
    session().lastTransfer.setArrayValue(record);
    EXPECT_EQ(call(GetLastResultFunctionCallback), u"Uploaded 'copy.txt'.");

    OrbVariableArray text;
    text.addStringVariable(e, u"Type", u"DownloadText");
    text.addStringVariable(e, u"RemoteFile", u"notes.txt");
    session().lastTransfer.setArrayValue(text);
    EXPECT_EQ(call(GetLastResultFunctionCallback), u"ERROR: GetLastResult: Could not get text from transfer variable.");
    text.addListVariable(e, u"Text", {u"line 1", u"line 2"});
    session().lastTransfer.setArrayValue(text);
    EXPECT_EQ(call(GetLastResultFunctionCallback), u"line 1\rline 2");

    text.setStringVariable(e, u"Type", u"Mystery");
    session().lastTransfer.setArrayValue(text);
    EXPECT_EQ(call(GetLastResultFunctionCallback, {this->text(u"Type").get()}), u"Mystery");
    EXPECT_EQ(call(GetLastResultFunctionCallback), u"ERROR: GetLastResult: Transfer type is unknown or invalid.");

    session().lastTransfer.setStringValue(u"ERROR: UploadFile: Connection refused");
    EXPECT_EQ(call(GetLastResultFunctionCallback, {this->text(u"Type").get()}),
              u"ERROR: UploadFile: Connection refused");
    session().lastTransfer.setIntegerValue(3);
    EXPECT_EQ(call(GetLastResultFunctionCallback), u"ERROR: GetLastResult: Last transfer variable is invalid.");
}
