// Host scripts, calculations and queued SQL, against the host layer.
#include "Plugin_Config.h"
#include "Plugin_Glue.h"
#include "Plugin_Main.h"
#include "Plugin_Thread.h"
#include "_Common/FMPlugin/Plugin_FMXExtensions.h"
#include "_Common/FMPlugin/Plugin_SQL.h"
#include "_Common/FMPlugin/Plugin_Scripts.h"

#include <fmhost/Host.h>
#include <gtest/gtest.h>

namespace {

std::vector<fmhost::StartedScript> gStarted;
fmx::errcode gStartResult = 0;

class HostCalls : public ::testing::Test {
protected:
    void SetUp() override {
        startupPluginThread(57, 1, u"Pro 16.0.1");
        loadFMXAPIExtensions();
        fmhost::HostState& host = fmhost::HostState::get();
        host.reset();
        host.settings.fileName = u"Invoices";
        host.scripts = {{u"Invoices", u"Upload Done", u""}, {u"Archive", u"Tidy", u""}};
        gStarted.clear();
        gStartResult = 0;
        call.cCurrentEnv = [](fmx::ExprEnv*) -> fmx::errcode { return 0; };
        call.cStartScript = [](const fmx::Text* file, const fmx::Text* script, fmx::ScriptControl control,
                               const fmx::Data* parameter) -> fmx::errcode {
            fmhost::StartedScript s;
            s.database = ucstringFromFMX(*file);
            s.script = ucstringFromFMX(*script);
            s.control = control;
            s.hasParameter = parameter != nullptr;
            if (parameter) s.parameter = ucstringFromFMX(parameter->GetAsText());
            gStarted.push_back(s);
            return gStartResult;
        };
        gFMX_ExternCallPtr = &call;
    }
    void TearDown() override {
        gFMX_ExternCallPtr = nullptr;
        shutdownPluginThread();
        fmhost::HostState::get().reset();
        fmhost::HostState::get().settings = fmhost::HostSettings{};
    }
    static std::u16string ucstringFromFMX(const fmx::Text& t) {
        std::u16string s(t.GetSize(), u'\0');
        if (!s.empty()) t.GetUnicode(s.data(), 0, t.GetSize());
        return s;
    }
    FMX_ExternCallStruct call{};
};

}  // namespace

TEST_F(HostCalls, ScriptsAreCheckedByDatabaseAndName) {
    ucstring db, script;
    fmpScriptSplit(u"NoSeparator", db, script);
    EXPECT_EQ(checkFMPScriptExists(db, script), u"Missing DB Name.");
    fmpScriptSplit(u"Invoices::", db, script);
    EXPECT_EQ(checkFMPScriptExists(db, script), u"Missing Script Name.");
    EXPECT_EQ(checkFMPScriptExists(u"Invoices.fp7", u"Upload Done"), u"");  // looked up as Invoices
    EXPECT_EQ(checkFMPScriptExists(u"Archive", u"Tidy"), u"");
    EXPECT_EQ(checkFMPScriptExists(u"Payroll", u"Tidy"), u"Database \"Payroll\" does not exist.");
    EXPECT_EQ(checkFMPScriptExists(u"Invoices", u"Tidy"), u"Script \"Tidy\" does not exist in Database \"Invoices\".");
    fmpScriptSplit(u"Invoices::Upload Done::x", db, script);  // split at the first "::"
    EXPECT_EQ(db, u"Invoices");
    EXPECT_EQ(script, u"Upload Done::x");
}

TEST_F(HostCalls, CalculationsAndTheirErrors) {
    fmx::ExprEnvUniquePtr env;
    ucstring text;
    EXPECT_EQ(envEvaluate(*env, u"\"a\" & 1 + 1", &text), u"");
    EXPECT_EQ(text, u"a2");
    ucstringlist lines;
    EXPECT_EQ(envEvaluate(*env, u"DatabaseNames", &lines), u"");
    EXPECT_EQ(lines, (ucstringlist{u"Invoices", u"Archive"}));
    EXPECT_EQ(envEvaluate(*env, u"", &text), u"You must specify a Calculation.");
    EXPECT_EQ(envEvaluate(*env, u"1", static_cast<ucstring*>(nullptr)), u"Output String is NULL.");
    EXPECT_EQ(envEvaluate(*env, u"NoSuchFunction(1)", &text),
              u"Error Evaluating; FileMaker Error: Operator missing, function not found, or \"(\" not expected (1208)");
}

TEST_F(HostCalls, StartedScriptsCarryTheirControlAndParameter) {
    const ucstring parameter = u"Uploaded 'a.txt'.";
    EXPECT_EQ(callFMPScript(u"Invoices", u"Upload Done", &parameter, fmx::kFMXT_Pause), 0);
    EXPECT_EQ(callFMPScript(u"Invoices", u"Upload Done", nullptr, fmx::kFMXT_Resume), 0);
    ASSERT_EQ(gStarted.size(), 2u);
    EXPECT_EQ(gStarted[0].control, fmx::kFMXT_Pause);
    EXPECT_TRUE(gStarted[0].hasParameter);
    EXPECT_EQ(gStarted[0].parameter, parameter);
    EXPECT_FALSE(gStarted[1].hasParameter);
}

TEST_F(HostCalls, ScheduledScriptsRunFromIdleAndFailingOnesAreDropped) {
    FMPScriptList* scripts = nullptr;
    {
        PluginConfigLock lock(1000);
        ASSERT_EQ(PluginConfigLock(1000).get(scripts), u"");
        FMPScriptEvent e;
        e.database = u"Invoices";
        e.script = u"Upload Done";
        e.userName = u"someone";
        scripts->mutableImmediateQueue().push_back(e);
    }
    processFMPScripts(true, 0, 0);
    ASSERT_EQ(gStarted.size(), 1u);
    EXPECT_EQ(gStarted[0].script, u"Upload Done");
    EXPECT_TRUE(scripts->immediateQueue().empty());
    EXPECT_EQ(scripts->lastUserName, u"someone");

    gStartResult = 104;  // the host cannot find the script
    {
        PluginConfigLock lock(1000);
        FMPScriptEvent e;
        e.database = u"Invoices";
        e.script = u"Gone";
        scripts->mutableImmediateQueue().push_back(e);
    }
    for (int i = 0; i < FMPScriptList::kMaxTries - 1; ++i) {
        processFMPScripts(true, 0, 0);
        EXPECT_EQ(scripts->immediateQueue().size(), 1u) << "kept for another try";
    }
    processFMPScripts(true, 0, 0);
    EXPECT_TRUE(scripts->immediateQueue().empty());
    EXPECT_EQ(gStarted.size(), 1u + FMPScriptList::kMaxTries);
}

TEST_F(HostCalls, QueuedStatementsRunOnTheirDatabase) {
    auto entry = [](const ucstring& sql, const OrbVariableArray& parameters = {}) {
        OrbVariableArray e;
        ucstring error;
        e.addStringVariable(error, u"fileName", u"Invoices");
        e.addStringVariable(error, u"sql", sql);
        e.addArrayVariable(error, u"parameters", parameters);
        return e;
    };
    OrbVariableArray insertParameters;
    ucstring error;
    insertParameters.addStringVariable(error, u"", u"Ann");
    insertParameters.addIntegerVariable(error, u"", 42);
    {
        PluginConfigLock lock(1000);
        ASSERT_NE(lock.state(), nullptr);
        OrbVariableArray& q = lock.state()->sqlQueue;
        q.addArrayVariable(error, u"", entry(u"CREATE TABLE people (name TEXT, age INTEGER)"), true);
        q.addArrayVariable(error, u"", entry(u"INSERT INTO people VALUES (?, ?)", insertParameters), true);
        q.addArrayVariable(error, u"", entry(u"SELECT name, age FROM people"), true);
        q.addArrayVariable(error, u"", entry(u"SELECT nonsense FROM nowhere"), true);
    }
    fmx::ExprEnvUniquePtr env;
    processSQLQueue(*env);

    const OrbVariableArray& q = PluginConfigLock(1000).state()->sqlQueue;
    ASSERT_EQ(q.size(), 4u);
    const OrbVariable* select = nullptr;
    ASSERT_TRUE(q.variableAtIndex(2, select));
    const OrbVariable* field = nullptr;
    ASSERT_TRUE(select->arrayValue().variableWithName(u"complete", field));
    EXPECT_TRUE(field->variableAsBoolean());
    ASSERT_TRUE(select->arrayValue().variableWithName(u"resultCode", field));
    EXPECT_EQ(field->integerValue(), 0);
    ASSERT_TRUE(select->arrayValue().variableWithName(u"result", field));
    EXPECT_EQ(field->variableAsString(1), u"{{Ann; 42}}");
    const OrbVariable* bad = nullptr;
    ASSERT_TRUE(q.variableAtIndex(3, bad));
    ASSERT_TRUE(bad->arrayValue().variableWithName(u"resultCode", field));
    EXPECT_NE(field->integerValue(), 0);
    EXPECT_TRUE(bad->arrayValue().variableWithName(u"completeTimestamp", field));
}
