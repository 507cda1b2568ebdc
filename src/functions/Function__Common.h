// The frame every external function and script step runs in: the calling session's plug-in
// variables, argument conversion, the result, and the "ERROR: <Name>: " convention.
#pragma once

#include "Support/QueuedTransfer.h"
#include "_Common/CoreCode/Orb_Variable.h"
#include "_Common/FMPlugin/Plugin_Values.h"
#include "_Common/FileAndStream/Orb_FileRef.h"
#include "remote/Connection.h"

#include <FMWrapper/FMXClient.h>
#include <platform/Threads.h>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The state of one host session, kept from its first call until the session ends or the
// plug-in unloads. Everything here is reset by clear().
class PluginVariables {
public:
    PluginVariables();  // the connection's hooks: status window, password prompt, the queue's stop
    PluginVariables(const PluginVariables&) = delete;
    PluginVariables& operator=(const PluginVariables&) = delete;
    virtual ~PluginVariables();
    void clear();

    uint64_t sessionId = 0;            // host session id (hosts of version 15 and later); 0 = free record
    platform::ThreadId threadId = 0;   // on older hosts the host thread stands in for the session
    bool initializedByWorker = false;  // set when the worker thread made this record
    PluginParameter parameter;
    OrbVariable lastTransfer;     // empty, an error text, or the record of the last transfer
    OrbVariableArray localList;   // cached local listing
    OrbVariableArray remoteList;  // cached remote listing
    // The queued transfers, in order.
    std::deque<QueuedTransfer> queue;
    // The queued transfer in flight, kept apart: its end is recorded even after Cancel emptied the queue.
    std::optional<QueuedTransfer> currentTransfer;
    // Written by the queue thread when this session's transfer ends, read by its next idle call.
    ucstring queueOutcomeError;
    ucstringlist queueOutcomeText;
    bool queueOutcomeReady = false;
    int queueStartAttempts = 0;    // failed starts of the transfer at the head of the queue
    int64_t queueNextStartMs = 0;  // no new start before this (steady clock)

    // The remote connection (see Function__Session.h); connected = open and an account name.
    Connection connection;
    ucstring currentAccountName;
    ucstring currentRemoteDir;

    // The remote listing cache (see Function__RemoteList.h).
    bool remoteListCurrent = false;
    int32_t remoteListPosition = 0;
    int32_t machineListMode = -1;  // -1 unknown, 0 LIST, 1 MLSD/MLST
    // Names the server's listings gave in bytes that are not UTF-8: the text shown for each (its
    // bytes read as Latin-1), and the bytes that reach that item again (see sessionWirePath).
    std::map<ucstring, std::string> remoteRawNames;
    // The current local folder: the base of relative local paths. Starts as the default volume's
    // root (set on first use, see Function__Local.h); undefined after a failed change.
    OrbFileRef localFolder;
    bool localFolderSet = false;
    bool localListValid = false;    // localList holds localFolder's listing
    int32_t localListPosition = 0;  // 1-based index of the local item last returned
    // Container files exported for uploads; deleted when the record is cleared or goes away.
    ucstringlist temporaryFiles;
    void removeTemporaryFiles();
};

// The session's record, found by the environment's session id (or the calling thread on older
// hosts); made when missing and `create` is set. Takes the configuration lock for `lockWaitMs`.
ucstring pluginVariablesForSession(const fmx::ExprEnv* environment, PluginVariables*& variables, bool create,
                                   int lockWaitMs);
void pluginVariablesCleanup(fmx::ptrtype sessionId);
void pluginVariablesReset();

// Opens a call: the session's record, a preferences reload when due, and the arguments as an array.
ucstring functionBegin(PluginVariables*& variables, const fmx::ExprEnv& environment, const fmx::DataVect& arguments,
                       OrbVariableArray* argumentArray);
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
