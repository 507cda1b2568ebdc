#include "Function__Common.h"

#include "Orb_Debug.h"
#include "Plugin_Config.h"
#include "Support/QueueThread.h"
#include "_Common/FMPlugin/Plugin_Prefs.h"
#include "_Common/FMPlugin/Plugin_Utilities.h"
#include "_Common/Strings/Orb_FMXText.h"
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"
#include "_CommonEx/GUI/DW_Dialogs.h"

#include <platform/Files.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

std::unique_ptr<fmx::LocaleUniquePtr> resultLocale(const fmx::DataVect& arguments) {
    if (arguments.Size() > 0) return std::make_unique<fmx::LocaleUniquePtr>(arguments.At(0).GetLocale());
    return std::make_unique<fmx::LocaleUniquePtr>(fmx::Locale::kType_System);
}

using SessionList = std::vector<std::unique_ptr<PluginVariables>>;

SessionList* sessionList(const PluginConfigLock& lock, ucstring& error) {
    SessionList* list = nullptr;
    error = lock.get(list);
    return list;
}

}  // namespace

void installConnectionHooks(PluginVariables& session) {
    ConnectionHooks hooks;
    hooks.status = [](const ucstring& text, int64_t progress) {
        if (progress < 0)
            updateStatusText(text);
        else
            updateStatus(text, progress);
    };
    hooks.progress = [](int64_t done, int64_t total) { return updateStatusProgress(done, total); };
    // A queued transfer also stops when its session or the plug-in is going away.
    hooks.stopRequested = [&session] { return queueTransferStopRequested(session); };
    hooks.askPassword = [](const ucstring& prompt, ucstring& answer) {
        return inputDialog(prompt, answer, true, u"FTP Account Password") == kDialogOK;
    };
    session.connection.setHooks(std::move(hooks));
}

// ---- Session records ------------------------------------------------------------------------------

ucstring pluginVariablesForSession(const fmx::ExprEnv* environment, PluginVariables*& variables, bool create,
                                   int lockWaitMs) {
    variables = nullptr;
    PluginConfigLock lock(lockWaitMs);
    if (!lock.held()) return u"Could not get Plugin Config Lock: " + lock.error();
    ucstring error;
    SessionList* list = sessionList(lock, error);
    if (!list) return error;

    const bool bySession = envIsFM_15_0_Plus();
    const uint64_t sessionKey = bySession ? (environment ? environment->SessionID() : 4294967295u) : 0;
    const platform::ThreadId threadKey = bySession ? 0 : platform::currentThreadId();
    PluginVariables* free = nullptr;
    for (const auto& owned : *list) {
        PluginVariables* v = owned.get();
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
            list->push_back(std::make_unique<PluginVariables>());
            variables = list->back().get();
            installConnectionHooks(*variables);
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
    SessionList* list = sessionList(lock, error);
    if (!list) return nullptr;
    for (const auto& v : *list)
        if (v->sessionId == sessionId) return v.get();
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
    SessionList* list = sessionList(lock, error);
    if (!list) return;
    const auto it = std::find_if(list->begin(), list->end(), [v](const auto& owned) { return owned.get() == v; });
    if (it == list->end()) return;
    DEBUG_OUT("Found session; cleaning it up.");
    list->erase(it);
}

void pluginVariablesReset() {
    PluginConfigLock lock(10000);
    if (!lock.held()) return;
    ucstring error;
    SessionList* list = sessionList(lock, error);
    if (!list) return;
    // The queue thread has been shut down before this; a record it could not give up stays.
    for (auto& v : *list)
        if (queueThreadUsesSession(*v)) (void)v.release();  // left alone rather than freed under the thread
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
    error = lock.get(prefs);
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
