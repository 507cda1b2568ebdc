#include "Function__Common.h"

#include "Function__Session.h"

#include "Orb_Debug.h"
#include "Plugin_Config.h"
#include "Plugin_Thread.h"
#include "Support/QueueThread.h"
#include "_Common/FMPlugin/Plugin_Prefs.h"
#include "_Common/FMPlugin/Plugin_Utilities.h"
#include "_Common/Strings/Orb_FMXText.h"
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"

#include <platform/Files.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

// The host's date and time values as local date-times. A time alone sits on 1970-01-01 (so its
// seconds() are the seconds since midnight); hours beyond 23 carry into the following days.
// False for a date the calendar cannot hold (before 1400).
bool toOrbDateTime(const fmx::DateTime& value, bool hasDate, bool hasTime, OrbDateTime& result) {
    OrbDateTimeComponents c;
    c.year = hasDate ? static_cast<uint16_t>(value.GetYear()) : 1970;
    c.month = hasDate ? static_cast<uint16_t>(value.GetMonth()) : 1;
    c.day = hasDate ? static_cast<uint16_t>(value.GetDay()) : 1;
    int32_t extraDays = 0;
    if (hasTime) {
        const int32_t hour = value.GetHour();
        extraDays = hour / 24;
        c.hour = static_cast<uint16_t>(hour % 24);
        c.minute = static_cast<uint16_t>(value.GetMinute());
        c.second = static_cast<uint16_t>(value.GetSec());
        c.millisecond = static_cast<uint16_t>(value.GetUSec() / 1000);
    }
    if (!result.encodeDateTime(c)) return false;
    if (extraDays) result.setDateTime(result.dateTime() + boost::gregorian::days(extraDays));
    return true;
}

// A host date (or timestamp) as a variable of `type`; one the calendar cannot hold keeps its
// value as the text such a date shows ("07/04/1200"), rather than becoming another date.
void setHostDateValue(OrbVariable& variable, const fmx::DateTime& value, int type) {
    const bool hasDate = type != OrbVariable::kTime;
    const bool hasTime = type != OrbVariable::kDate;
    OrbDateTime when;
    if (toOrbDateTime(value, hasDate, hasTime, when)) {
        if (type == OrbVariable::kDate) variable.setDateValue(when);
        if (type == OrbVariable::kTime) variable.setTimeValue(when);
        if (type == OrbVariable::kTimestamp) variable.setTimestampValue(when);
        return;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d", int(value.GetMonth()), int(value.GetDay()),
                  int(value.GetYear()));
    std::string shown = text;
    if (hasTime) {
        std::snprintf(text, sizeof text, " %02d:%02d:%02d", int(value.GetHour()), int(value.GetMinute()),
                      int(value.GetSec()));
        shown += text;
    }
    variable.setStringValue(ucstringFromString(shown));
}

// A host number: a whole one keeps every digit (a float's six-digit text would turn
// 99999999999999 into "1e+14", which reads back as 1); one beyond the 64-bit range keeps its
// digits as text, which reads back as the largest integer instead of wrapping.
void setHostNumberValue(OrbVariable& variable, double number) {
    if (!std::isfinite(number) || number != std::trunc(number)) {
        variable.setFloatValue(number);
    } else if (std::fabs(number) < 9223372036854775808.0) {
        variable.setIntegerValue(static_cast<int64_t>(number));
    } else {
        char digits[400];
        const auto r = std::to_chars(digits, digits + sizeof digits, number, std::chars_format::fixed);
        variable.setFloatStringValue(ucstringFromString(std::string(digits, r.ec == std::errc() ? r.ptr : digits)));
    }
}

void setHostDate(fmx::DateTime& out, const OrbDateTime& value) {
    OrbDateTimeComponents c;
    value.decodeDateTime(c);
    out.SetNormalizedDate1(static_cast<fmx::int16>(c.year), static_cast<fmx::int16>(c.month),
                           static_cast<fmx::int16>(c.day));
}

void setHostTime(fmx::DateTime& out, const OrbDateTime& value) {
    OrbDateTimeComponents c;
    value.decodeDateTime(c);
    out.SetNormalizedTime1(c.hour, static_cast<fmx::int16>(c.minute), static_cast<fmx::int16>(c.second),
                           c.millisecond * 1000);
}

void setHostText(fmx::Data& hostResult, const ucstring& text, const fmx::Locale& locale) {
    fmx::TextUniquePtr t;
    t->AssignUnicodeWithLength(text.data(), static_cast<fmx::uint32>(text.size()));
    hostResult.SetAsText(*t, locale);
}

std::unique_ptr<fmx::LocaleUniquePtr> resultLocale(const fmx::DataVect& arguments) {
    if (arguments.Size() > 0) return std::make_unique<fmx::LocaleUniquePtr>(arguments.At(0).GetLocale());
    return std::make_unique<fmx::LocaleUniquePtr>(fmx::Locale::kType_System);
}

std::vector<PluginVariables*>* sessionList(ucstring& error) {
    std::vector<PluginVariables*>* list = nullptr;
    error = getPluginConfigObject(u"PluginVarsCache", list);
    return list;
}

}  // namespace

// ---- PluginParameter ------------------------------------------------------------------------------

void PluginParameter::extract(const fmx::Data& data, OrbVariable& variable) {
    variable.clear(true);
    if (!data.IsValid()) return;
    switch (data.GetNativeType()) {
        case fmx::kDTText:
        case fmx::kDTBinary: {
            // Text, and a container as the host's text form of it.
            const fmx::Text& text = data.GetAsText();
            const fmx::uint32 size = text.GetSize();
            if (bufferSize() < size || bufferSize() < 256) setBufferSize(std::max<size_t>(size, 256));
            if (size) text.GetUnicode(mBuffer.data(), 0, size);
            variable.setStringValue(ucstring(mBuffer.data(), size));
            break;
        }
        case fmx::kDTNumber: setHostNumberValue(variable, data.GetAsNumber().AsFloat()); break;
        case fmx::kDTBoolean: variable.setIntegerValue(data.GetAsNumber().AsLong64()); break;
        case fmx::kDTDate:
            if (!data.IsEmpty()) setHostDateValue(variable, data.GetAsDate(), OrbVariable::kDate);
            break;
        case fmx::kDTTime:
            if (!data.IsEmpty()) setHostDateValue(variable, data.GetAsTime(), OrbVariable::kTime);
            break;
        case fmx::kDTTimeStamp:
            if (!data.IsEmpty()) setHostDateValue(variable, data.GetAsTimeStamp(), OrbVariable::kTimestamp);
            break;
        default: break;
    }
}

// ---- Session records ------------------------------------------------------------------------------

PluginVariables::~PluginVariables() {
    sessionRelease(*this);
    removeTemporaryFiles();
}

void PluginVariables::removeTemporaryFiles() {
    std::string ignored;
    for (const ucstring& path : temporaryFiles) platform::fileRemove(path, ignored);
    temporaryFiles.clear();
}

void PluginVariables::clear() {
    sessionRelease(*this);
    removeTemporaryFiles();
    sessionId = 0;
    threadId = 0;
    initializedByWorker = false;
    lastTransfer.clear(true);
    localList.clear();
    remoteList.clear();
    queue.clear();
    currentTransfer.reset();
    queueOutcomeError.clear();
    queueOutcomeText.clear();
    queueOutcomeReady = false;
    queueStartAttempts = 0;
    queueNextStartMs = 0;
    localFolder.clear();
    localFolderSet = false;
    localListValid = false;
    localListPosition = 0;
}

ucstring pluginVariablesForSession(const fmx::ExprEnv* environment, PluginVariables*& variables, bool create,
                                   int lockWaitMs) {
    variables = nullptr;
    PluginConfigLock lock(lockWaitMs);
    if (!lock.held()) return u"Could not get Plugin Config Lock: " + lock.error();
    ucstring error;
    std::vector<PluginVariables*>* list = sessionList(error);
    if (!list) return error;

    const bool bySession = envIsFM_15_0_Plus();
    const uint64_t sessionKey = bySession ? (environment ? environment->SessionID() : 4294967295u) : 0;
    const platform::ThreadId threadKey = bySession ? 0 : platform::currentThreadId();
    PluginVariables* free = nullptr;
    for (PluginVariables* v : *list) {
        if (bySession) {
            if (v->sessionId == sessionKey) {
                variables = v;
                break;
            }
            if (v->sessionId == 0 && !free) free = v;
        } else {
            if (v->threadId == threadKey) {
                variables = v;
                break;
            }
            if (v->threadId != 0 && !platform::threadIsAlive(v->threadId)) {
                v->clear();  // its thread has ended: the record is free again
            }
            if (v->threadId == 0 && !free) free = v;
        }
    }
    if (!variables) variables = free;
    if (!variables && create) {
        try {
            variables = new PluginVariables();
            list->push_back(variables);
        } catch (...) {
            variables = nullptr;
            return u"Couldn't allocate a Plug-in Variables instance for this session/thread.";
        }
    }
    if (variables) {
        if (bySession)
            variables->sessionId = sessionKey;
        else
            variables->threadId = threadKey;
    }
    return {};
}

namespace {

// The session's record, found under the configuration lock.
PluginVariables* findSession(fmx::ptrtype sessionId) {
    PluginConfigLock lock(10000);
    if (!lock.held()) return nullptr;
    ucstring error;
    std::vector<PluginVariables*>* list = sessionList(error);
    if (!list) return nullptr;
    for (PluginVariables* v : *list)
        if (v->sessionId == sessionId) return v;
    return nullptr;
}

}  // namespace

void pluginVariablesCleanup(fmx::ptrtype sessionId) {
    if (debugMode()) debugOutput(__FILE__, __LINE__, "Looking for session: " + std::to_string(sessionId));
    PluginVariables* v = findSession(sessionId);
    if (!v) return;
    // A queued transfer running on this session's connection is stopped first (without the lock,
    // which its progress reports take); a record still in use is kept rather than freed under it.
    if (!queueReleaseSession(*v, 10000)) {
        DEBUG_OUT("Session's queued transfer did not stop; keeping its record.");
        return;
    }
    PluginConfigLock lock(10000);
    if (!lock.held()) return;
    ucstring error;
    std::vector<PluginVariables*>* list = sessionList(error);
    if (!list) return;
    const auto it = std::find(list->begin(), list->end(), v);
    if (it == list->end()) return;
    DEBUG_OUT("Found session; cleaning it up.");
    list->erase(it);
    delete v;
}

void pluginVariablesReset() {
    runPluginThread(PluginThread::kActionShutdown);
    PluginConfigLock lock(10000);
    if (!lock.held()) return;
    ucstring error;
    std::vector<PluginVariables*>* list = sessionList(error);
    if (!list) return;
    // The queue thread has been shut down before this; a record it could not give up stays.
    for (PluginVariables* v : *list)
        if (!queueThreadUsesSession(*v)) delete v;
    list->clear();
}

// ---- The frame ------------------------------------------------------------------------------------

ucstring functionBegin(PluginVariables*& variables, const fmx::ExprEnv& environment, const fmx::DataVect& arguments,
                       OrbVariableArray* argumentArray) {
    ucstring error = pluginVariablesForSession(&environment, variables, true, 10000);
    if (!error.empty()) return error;
    PluginConfigLock lock(10000);
    if (!lock.held()) return u"Could not get Plugin Config Lock: " + lock.error();
    PluginPrefsEx* prefs = nullptr;
    error = getPluginConfigObject(u"PluginPrefs", prefs);
    if (!error.empty()) return error;
    prefs->load(false);
    if (argumentArray) {
        const fmx::uint32 count = arguments.Size();
        for (fmx::uint32 i = 0; i < count; ++i) {
            OrbVariable v;
            variables->parameter.extract(arguments.At(i), v);
            argumentArray->addVariable(error, v, true);
        }
    }
    return {};
}

bool variableToHostData(const OrbVariable& value, fmx::Data& data, const fmx::Locale& locale) {
    switch (value.type()) {
        case OrbVariable::kString:
        case OrbVariable::kArray: {
            const ucstring text = value.variableAsString(1);
            if (!text.empty()) setHostText(data, text, locale);
            return true;
        }
        case OrbVariable::kInteger: {
            // 64-bit, so file sizes beyond 2 GiB arrive whole.
            fmx::FixPtUniquePtr n;
            n->AssignInt64(value.integerValue());
            data.SetAsNumber(*n);
            return true;
        }
        case OrbVariable::kFloat: {
            fmx::FixPtUniquePtr n;
            n->AssignDouble(value.floatValue());
            data.SetAsNumber(*n);
            return true;
        }
        case OrbVariable::kFloatString: {
            const ucstring text = value.stringValue().empty() ? ucstring(u"0") : value.stringValue();
            setHostText(data, text, locale);
            data.ConvertData(fmx::kDTNumber);
            return true;
        }
        case OrbVariable::kList: {
            fmx::TextUniquePtr t;
            ucstringlistToFMXText(value.listValue(), *t);
            data.SetAsText(*t, locale);
            return true;
        }
        case OrbVariable::kDate: {
            fmx::DateTimeUniquePtr d;
            setHostDate(*d, value.timestampValue());
            data.SetAsDate(*d);
            return true;
        }
        case OrbVariable::kTime: {
            fmx::DateTimeUniquePtr d;
            setHostTime(*d, value.timestampValue());
            data.SetAsTime(*d);
            return true;
        }
        case OrbVariable::kTimestamp: {
            fmx::DateTimeUniquePtr d;
            setHostDate(*d, value.timestampValue());
            setHostTime(*d, value.timestampValue());
            data.SetAsTimeStamp(*d);
            return true;
        }
        default: return false;
    }
}

void functionEnd(const OrbVariable& result, fmx::Data& hostResult, const fmx::DataVect& arguments) {
    auto locale = resultLocale(arguments);
    if (!variableToHostData(result, hostResult, **locale)) {
        const ucstring text = u"ERROR: Plugin Function did not set a result.";
        DEBUG_OUT(text);
        setHostText(hostResult, text, **locale);
    }
}

void functionEndError(const ucstring& error, fmx::Data& hostResult, const fmx::DataVect& arguments) {
    setHostText(hostResult, error, **resultLocale(arguments));
}

fmx::errcode runFunction(const char* name, const fmx::ExprEnv& environment, const fmx::DataVect& arguments,
                         fmx::Data& hostResult, const FunctionBody& body) {
    const std::string callback = std::string(name) + "FunctionCallback";
    DEBUG_SCOPE(callback.c_str());
    try {
        PluginVariables* variables = nullptr;
        OrbVariableArray argumentArray;
        OrbVariable result;
        bool written = false, secret = false;
        ucstring error = functionBegin(variables, environment, arguments, &argumentArray);
        if (error.empty()) {
            FunctionCall call{*variables, argumentArray, result, environment, &arguments, &hostResult};
            error = body(call);
            written = error.empty() && call.resultWritten;
            secret = error.empty() && call.resultIsSecret;
        }
        if (!error.empty()) result.setStringValue(u"ERROR: " + ucstringFromString(name) + u": " + error);
        if (!written) functionEnd(result, hostResult, arguments);
        if (debugMode())
            debugOutput(__FILE__, __LINE__, u"Result: " + (secret ? u"[CENSORED]" : result.variableAsString(1)));
    } catch (...) {
        const ucstring text = u"ERROR: Plug-in Function caught an unhandled exception.";
        try {
            DEBUG_OUT(text);
            logCallStack();
            functionEndError(text, hostResult, arguments);
        } catch (...) {
        }
    }
    return 0;
}

fmx::errcode runScriptStep(const char* name, const ucstring& errorPrefix, const fmx::ExprEnv& environment,
                           const fmx::DataVect& parameters, fmx::Data& hostResult, const FunctionBody& body) {
    const std::string callback = std::string(name) + "ScriptStepCallback";
    DEBUG_SCOPE(callback.c_str());
    try {
        PluginVariables* variables = nullptr;
        OrbVariableArray argumentArray;
        OrbVariable result;
        bool written = false;
        ucstring error = functionBegin(variables, environment, parameters, &argumentArray);
        if (error.empty()) {
            FunctionCall call{*variables, argumentArray, result, environment, &parameters, &hostResult};
            error = body(call);
            written = error.empty() && call.resultWritten;
        }
        if (!error.empty()) {
            functionEndError(errorPrefix + error, hostResult, parameters);
            DEBUG_OUT(errorPrefix + error);
            return kScriptStepError;
        }
        if (!written) functionEnd(result, hostResult, parameters);
        return 0;
    } catch (...) {
        const ucstring text = u"Volan Pro: Plug-in Function caught an unhandled exception.";
        try {
            DEBUG_OUT(text);
            logCallStack();
            functionEndError(text, hostResult, parameters);
        } catch (...) {
        }
        return kScriptStepError;
    }
}

ucstring functionNotAvailable() { return u"This function is not available yet."; }

const OrbVariable* argument(const OrbVariableArray& arguments, const ucstring& name) {
    const OrbVariable* v = nullptr;
    return arguments.variableWithName(name, v) ? v : nullptr;
}

ucstring argumentString(const OrbVariableArray& arguments, const ucstring& name) {
    const OrbVariable* v = argument(arguments, name);
    return v ? v->variableAsString(1) : ucstring();
}

bool argumentBoolean(const OrbVariableArray& arguments, const ucstring& name, bool defaultValue) {
    const OrbVariable* v = argument(arguments, name);
    return v && v->type() != OrbVariable::kEmpty ? v->variableAsBoolean() : defaultValue;
}

void nameArguments(OrbVariableArray& arguments, std::initializer_list<const char16_t*> names) {
    size_t i = 0;
    ucstring error;
    for (const char16_t* n : names) {
        if (i >= arguments.size()) break;
        arguments.setNameOfVariableAtIndex(error, n, i++, false);
    }
}
