#include "Plugin_Scripts.h"

#include "Orb_Debug.h"
#include "_Common/FMPlugin/Plugin_ErrorTexts.h"
#include "_Common/FMPlugin/Plugin_HostFacts.h"
#include "_Common/FMPlugin/Plugin_Values.h"
#include "_Common/FileAndStream/Orb_FileRef.h"
#include "_Common/Strings/Orb_FMXText.h"
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"

namespace {

void assign(fmx::Text& text, const ucstring& value) {
    text.AssignUnicodeWithLength(value.data(), static_cast<fmx::uint32>(value.size()));
}

bool currentEnvironment(fmx::ExprEnv& env, fmx::errcode& error) {
    error = 1200;
    if (!gFMX_ExternCallPtr || !gFMX_ExternCallPtr->cCurrentEnv) return false;
    error = gFMX_ExternCallPtr->cCurrentEnv(&env);
    return error == 0;
}

ucstring quoted(const ucstring& s) { return u"\"" + s + u"\""; }

}  // namespace

bool FMPScriptList::getNextEvent(bool allowImmediate, int idleSeconds, int64_t now, bool& immediate, size_t& index) {
    if (allowImmediate && !mImmediate.empty()) {
        DEBUG_OUT("Found an Immediate Event");
        immediate = true;
        index = 0;
        return true;
    }
    immediate = false;
    for (index = 0; index < mTimed.size(); ++index) {
        FMPScriptEvent& e = mTimed[index];
        switch (e.kind) {
            case FMPScriptEvent::kIdle:
                if (idleSeconds < e.seconds) {
                    if (!e.idleArmed) DEBUG_OUT("Reset an Idle Event.");
                    e.idleArmed = true;  // the user was busy again: the next idle period may run it
                } else if (e.idleArmed) {
                    DEBUG_OUT("Found an Idle Event.");
                    return true;
                }
                break;
            case FMPScriptEvent::kInterval:
                if (now - e.lastRun >= e.seconds) {
                    DEBUG_OUT("Found an Interval Event.");
                    return true;
                }
                break;
            case FMPScriptEvent::kDateTime:
                if (now >= e.when.seconds()) {
                    DEBUG_OUT("Found a Date Time Event.");
                    return true;
                }
                break;
            default: break;
        }
    }
    return false;
}

fmx::errcode callFMPScript(const ucstring& database, const ucstring& script, const ucstring* parameter,
                           fmx::uint8 control) {
    if (!gFMX_ExternCallPtr || !gFMX_ExternCallPtr->cStartScript) return 1200;
    fmx::TextUniquePtr file, name;
    assign(*file, database);
    assign(*name, script);
    std::unique_ptr<fmx::DataUniquePtr> data;
    if (parameter) {
        data = std::make_unique<fmx::DataUniquePtr>();
        fmx::TextUniquePtr text;
        assign(*text, *parameter);
        fmx::LocaleUniquePtr locale;
        (**data).SetAsText(*text, *locale);
    }
    const fmx::errcode result = gFMX_ExternCallPtr->cStartScript(
        file.get(), name.get(), static_cast<fmx::ScriptControl>(control), data ? data->get() : nullptr);
    if (result != 0) DEBUG_OUT(u"callFMPScript: FMX_StartScript returned an error: " + ucstringFromFMError(result));
    return result;
}

void fmpScriptSplit(const ucstring& reference, ucstring& database, ucstring& script) {
    const size_t separator = reference.find(u"::");
    if (separator == ucstring::npos) {
        database.clear();
        script = reference;
    } else {
        database = reference.substr(0, separator);
        script = reference.substr(separator + 2);
    }
}

ucstring checkFMPScriptExists(const ucstring& databaseName, const ucstring& script, ucstring* checkedDatabase) {
    DEBUG_OUT(u"checkFMPScriptExists: Checking for script " + quoted(script) + u" in db " + quoted(databaseName));
    ucstring database = databaseName;
    if (stringEndsWith(database, ucstring(u".fp7"), true)) {
        database.resize(database.size() - 4);
        DEBUG_OUT(u"checkFMPScriptExists: Adjusted DB name: " + database);
    }
    if (checkedDatabase) *checkedDatabase = database;
    if (database.empty()) return u"Missing DB Name.";
    if (script.empty()) return u"Missing Script Name.";
    fmx::ExprEnvUniquePtr env;
    fmx::errcode hostError = 0;
    if (!currentEnvironment(*env, hostError)) {
        DEBUG_OUT(u"checkFMPScriptExists: " + ucstringFromFMError(hostError) +
                  u": Could not get Calculation Environment for testing.");
        return u"Could not get Calculation Environment for testing.";
    }
    ucstringlist names;
    if (!envEvaluate(*env, u"DatabaseNames", &names).empty()) return u"Could not get Database Names for comparison.";
    if (stringlistIndexOfString(names, database) < 0) return u"Database " + quoted(database) + u" does not exist.";
    if (!envEvaluate(*env, u"ScriptNames(" + quoted(database) + u")", &names).empty())
        return u"Could not get Script Names for comparison.";
    if (stringlistIndexOfString(names, script) < 0)
        return u"Script " + quoted(script) + u" does not exist in Database " + quoted(database) + u".";
    return {};
}

namespace {
ucstring evaluate(const fmx::ExprEnv& environment, const ucstring& expression, OrbVariable& value) {
    if (expression.empty()) return u"You must specify a Calculation.";
    if (debugMode()) debugOutput(__FILE__, __LINE__, u"Evaluate (first 100 chars): " + stringLeft(expression, 100));
    fmx::TextUniquePtr text;
    assign(*text, expression);
    fmx::DataUniquePtr result;
    const fmx::errcode error = environment.Evaluate(*text, *result);
    if (error != 0) return u"Error Evaluating; FileMaker Error: " + ucstringFromFMError(error);
    DEBUG_OUT("Returned from FileMaker.");
    PluginParameter reader;
    reader.extract(*result, value);
    return {};
}
}  // namespace

ucstring envEvaluate(const fmx::ExprEnv& environment, const ucstring& expression, OrbVariable* result) {
    if (!result) return u"Output Variable is NULL.";
    return evaluate(environment, expression, *result);
}

ucstring envEvaluate(const fmx::ExprEnv& environment, const ucstring& expression, ucstring* result) {
    if (!result) return u"Output String is NULL.";
    OrbVariable value;
    ucstring error = evaluate(environment, expression, value);
    if (error.empty()) value.variableAsString(*result, 1);
    return error;
}

ucstring envEvaluate(const fmx::ExprEnv& environment, const ucstring& expression, ucstringlist* result) {
    if (!result) return u"Output List is NULL.";
    OrbVariable value;
    ucstring error = evaluate(environment, expression, value);
    if (error.empty()) *result = stringlistSplitStringByLines(value.variableAsString(1));
    return error;
}

ucstring frontDatabaseLocation(OrbFileRef& location) {
    location.clear();
    fmx::ExprEnvUniquePtr env;
    fmx::errcode code = 0;
    if (!currentEnvironment(*env, code))
        return u"Could not get the Calculation Environment: " + ucstringFromFMError(code);
    ucstring path;
    ucstring error = envEvaluate(*env, u"Get(FilePath)", &path);
    if (!error.empty()) return error;
    if (debugMode()) debugOutput(__FILE__, __LINE__, u"frontDatabaseLocation: " + path);
    return location.set(path) ? ucstring() : location.errorString();
}

bool FMPScriptList::takeNextEvent(bool allowImmediate, int idleSeconds, FMPScriptEvent& event, bool& immediate) {
    size_t index = 0;
    if (!getNextEvent(allowImmediate, idleSeconds, OrbDateTime().seconds(), immediate, index)) return false;
    event = (immediate ? mImmediate : mTimed)[index];
    lastUserName = event.userName;
    lastUserData = event.userData;
    return true;
}

void FMPScriptList::eventFinished(const FMPScriptEvent& event, bool immediate, fmx::errcode result) {
    auto& queue = immediate ? mImmediate : mTimed;
    // Find the event again: the queue may have changed while the script ran.
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        if (it->database != event.database || it->script != event.script || it->kind != event.kind) continue;
        if (result != 0 && ++it->tries < kMaxTries) break;  // try again later
        if (result != 0) DEBUG_OUT("processFMPScripts: exceeded try count: giving up");
        if (immediate || it->kind == FMPScriptEvent::kDateTime || result != 0) {
            queue.erase(it);
        } else {
            it->tries = 0;
            it->lastRun = OrbDateTime().seconds();
            it->idleArmed = false;
        }
        break;
    }
}
