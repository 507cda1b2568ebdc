// The frame every external function and script step runs in: the calling session's plug-in
// variables, argument conversion, the result, and the "ERROR: <Name>: " convention.
#pragma once

#include "Support/PluginVariables.h"
#include "_Common/CoreCode/Orb_Variable.h"
#include "_Common/FMPlugin/Plugin_Values.h"
#include "_Common/FileAndStream/Orb_FileRef.h"

#include <FMWrapper/FMXClient.h>
#include <platform/Threads.h>

#include <functional>
#include <string>
#include <vector>

// The session's connection reports to the status window, asks the user for a password, and stops
// when the queue thread is asked to stop the transfer it runs on it. Installed with the record;
// again by whoever gave the connection other hooks for a while.
void installConnectionHooks(PluginVariables& session);

// The session's record, found by the environment's session id (or the calling thread on older
// hosts); made when missing and `create` is set. Takes the configuration lock for `lockWaitMs`.
[[nodiscard]] ucstring pluginVariablesForSession(const fmx::ExprEnv* environment, PluginVariables*& variables,
                                                 bool create, int lockWaitMs);
void pluginVariablesCleanup(fmx::ptrtype sessionId);
void pluginVariablesReset();

// Opens a call: the session's record, a preferences reload when due, and the arguments as an array.
[[nodiscard]] ucstring functionBegin(PluginVariables*& variables, const fmx::ExprEnv& environment,
                                     const fmx::DataVect& arguments, OrbVariableArray* argumentArray);
// Writes the result variable into the host result (in the first argument's locale).
void functionEnd(const OrbVariable& result, fmx::Data& hostResult, const fmx::DataVect& arguments);
void functionEndError(const ucstring& error, fmx::Data& hostResult, const fmx::DataVect& arguments);

// What a function's own logic works with.
struct FunctionCall {
    PluginVariables& variables;
    OrbVariableArray& arguments;
    OrbVariable& result;
    const fmx::ExprEnv& environment;
    // The host's own values, for functions that take or give containers: a function that writes
    // hostResult itself sets resultWritten, and the frame then leaves the result alone.
    const fmx::DataVect* hostArguments = nullptr;
    fmx::Data* hostResult = nullptr;
    bool resultWritten = false;
    // A result that is a password: the debug log shows "[CENSORED]" in its place.
    bool resultIsSecret = false;
};
// The function's logic: sets the result or returns an error text.
using FunctionBody = std::function<ucstring(FunctionCall&)>;

// Runs one external function by the call convention: errors become "ERROR: <name>: <text>",
// an escaping exception "ERROR: Plug-in Function caught an unhandled exception.", and the host
// is always told that the call succeeded.
fmx::errcode runFunction(const char* name, const fmx::ExprEnv& environment, const fmx::DataVect& arguments,
                         fmx::Data& hostResult, const FunctionBody& body);

// Runs one script step by the step convention: an error becomes `errorPrefix` + the text as the
// step's result with host error 1552, an escaping exception "Volan Pro: Plug-in Function caught an
// unhandled exception." with 1552; on success the result goes to the step's target and 0 is returned.
fmx::errcode runScriptStep(const char* name, const ucstring& errorPrefix, const fmx::ExprEnv& environment,
                           const fmx::DataVect& parameters, fmx::Data& hostResult, const FunctionBody& body);
constexpr fmx::errcode kScriptStepError = 1552;

// The error of a function whose work arrives in a later release of this port.
ucstring functionNotAvailable();

// Reading named arguments.
const OrbVariable* argument(const OrbVariableArray& arguments, const ucstring& name);
ucstring argumentString(const OrbVariableArray& arguments, const ucstring& name);
bool argumentBoolean(const OrbVariableArray& arguments, const ucstring& name, bool defaultValue);
// Names the arguments in order (an argument beyond the list stays unnamed).
void nameArguments(OrbVariableArray& arguments, std::initializer_list<const char16_t*> names);
