// Host scripts the plug-in starts, checks and schedules, and calculations it asks the host for.
#pragma once

#include "_Common/CoreCode/Orb_Variable.h"

#include <FMWrapper/FMXClient.h>

#include <deque>

class OrbFileRef;

// A scheduled host script: run at the next chance (immediate queue), or when the host has been
// idle long enough, after an interval, or at a moment (timed queue).
struct FMPScriptEvent {
    enum Kind { kImmediate, kIdle, kInterval, kDateTime };
    Kind kind = kImmediate;
    ucstring database;
    ucstring script;
    bool hasParameter = false;
    ucstring parameter;
    fmx::uint8 control = fmx::kFMXT_Pause;
    ucstring userName;
    ucstring userData;
    int64_t seconds = 0;    // idle threshold or interval
    OrbDateTime when;       // the moment of a date-time event
    int64_t lastRun = 0;    // seconds() of the last start (interval events)
    bool idleArmed = true;  // an idle event runs once per idle period
    int tries = 0;          // failed starts so far
};

class FMPScriptList {
public:
    // An event that keeps failing to start is dropped after this many tries.
    static constexpr int kMaxTries = 3;

    virtual std::deque<FMPScriptEvent>& mutableImmediateQueue() { return mImmediate; }
    virtual const std::deque<FMPScriptEvent>& immediateQueue() const { return mImmediate; }
    virtual std::deque<FMPScriptEvent>& mutableTimedQueue() { return mTimed; }
    virtual const std::deque<FMPScriptEvent>& timedQueue() const { return mTimed; }
    virtual ~FMPScriptList() = default;

    // The next event that is due (immediate ones first); its queue and position are returned.
    bool getNextEvent(bool allowImmediate, int idleSeconds, int64_t now, bool& immediate, size_t& index);
    // A copy of the next due event, whose user name and data become the last ones; false when none
    // is due. The event stays queued until eventFinished.
    bool takeNextEvent(bool allowImmediate, int idleSeconds, FMPScriptEvent& event, bool& immediate);
    // The host answered `result` to starting `event`: a started or hopeless event leaves its queue
    // (idle and interval events wait for their next turn), a failed one is tried again later.
    void eventFinished(const FMPScriptEvent& event, bool immediate, fmx::errcode result);

    // The user name and data of the script started last.
    ucstring lastUserName;
    ucstring lastUserData;

private:
    std::deque<FMPScriptEvent> mImmediate;
    std::deque<FMPScriptEvent> mTimed;
};

// Starts a host script through the host's start-script callback; the host error, 0 on success.
fmx::errcode callFMPScript(const ucstring& database, const ucstring& script, const ucstring* parameter,
                           fmx::uint8 control);
// Splits "Database::Script" at the first "::" (no "::": an empty database and the whole text).
void fmpScriptSplit(const ucstring& reference, ucstring& database, ucstring& script);
// Empty when the script exists in the open database; otherwise why not. The database is looked
// up as the host names its files, without a ".fp7" ending; `checkedDatabase` gets that name, the
// one to start the script in.
[[nodiscard]] ucstring checkFMPScriptExists(const ucstring& database, const ucstring& script,
                                            ucstring* checkedDatabase = nullptr);

// Has the host evaluate a calculation; the result as a variable, a text or a list of lines.
[[nodiscard]] ucstring envEvaluate(const fmx::ExprEnv& environment, const ucstring& expression, OrbVariable* result);
[[nodiscard]] ucstring envEvaluate(const fmx::ExprEnv& environment, const ucstring& expression, ucstring* result);
[[nodiscard]] ucstring envEvaluate(const fmx::ExprEnv& environment, const ucstring& expression, ucstringlist* result);

// The front database file, from the host's Get(FilePath). Error text, empty on success.
[[nodiscard]] ucstring frontDatabaseLocation(OrbFileRef& location);
