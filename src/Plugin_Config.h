// The plug-in's process-wide state (preferences, accounts, the status window, the session records,
// the host script and SQL queues, the files libcurl verifies servers with), guarded by one named
// lock that every thread takes before it touches any of it. The state is reached only through a
// held lock's guard.
#pragma once

#include "_Common/CoreCode/Orb_Variable.h"

#include <FMWrapper/FMXClient.h>

#include <memory>
#include <vector>

class FMPScriptList;
class FTPAccounts;
class PluginPrefsEx;
class PluginVariables;
class StatusWindow;

struct PluginState {
    PluginState();
    ~PluginState();
    PluginState(const PluginState&) = delete;
    PluginState& operator=(const PluginState&) = delete;

    std::vector<std::unique_ptr<PluginVariables>> sessions;  // one record per host session
    std::unique_ptr<PluginPrefsEx> prefs;
    std::unique_ptr<FTPAccounts> accounts;
    std::unique_ptr<FMPScriptList> scripts;  // host scripts waiting to run
    OrbVariableArray sqlQueue;               // SQL statements the host runs on idle
    // Only the object: its window is built on a host thread when it is first shown.
    std::unique_ptr<StatusWindow> status;
    ucstring caPath;          // the certificate bundle servers are verified with; empty when none
    ucstring knownHostsPath;  // the file SFTP host keys are checked against
};

// Holds the configuration lock for a scope; `error` tells whether it was had. Waits: 10000 ms on
// the function path, 1000 ms when idle starts a queued transfer, 250 ms for idle tidying.
class PluginConfigLock {
public:
    explicit PluginConfigLock(int waitMs);
    ~PluginConfigLock();
    PluginConfigLock(const PluginConfigLock&) = delete;
    PluginConfigLock& operator=(const PluginConfigLock&) = delete;
    bool held() const { return mError.empty(); }
    const ucstring& error() const { return mError; }

    // The state while the lock is held; null before init and after shutdown.
    PluginState* state() const;
    // The state's objects; when there is no state, the error "Could not get <name> Config Var:
    // Plugin Config Variables are NULL.".
    [[nodiscard]] ucstring get(PluginPrefsEx*& prefs) const;
    [[nodiscard]] ucstring get(FTPAccounts*& accounts) const;
    [[nodiscard]] ucstring get(StatusWindow*& status) const;
    [[nodiscard]] ucstring get(FMPScriptList*& scripts) const;
    [[nodiscard]] ucstring get(std::vector<std::unique_ptr<PluginVariables>>*& sessions) const;

private:
    ucstring mError;
};

// The lock's own operations, for the guard above and for code that must hold it across calls.
[[nodiscard]] ucstring lockPluginConfigLock(int waitMs);
void unlockPluginConfigLock();

// The status window in the state, as the transfers update it: each takes the configuration lock
// for at most 250 ms and skips the update (with a debug line) when it cannot have it or there is
// no window.
void updateStatus(const ucstring& text, int64_t progress);
void updateStatusText(const ucstring& text);
void updateStatusTitle(const ucstring& title);
void updateStatusMultiFile(const ucstring& text);
// Shows done/total as a percentage (indeterminate when total is 0 or less) and dispatches the
// calling thread's window messages, so a click on Cancel is seen. Returns true, and sets
// `cancelled` when given, once Cancel has been pressed; the progress is then left alone.
bool updateStatusProgress(int64_t done, int64_t total, bool* cancelled = nullptr);

void pluginConfigInit(fmx::int16 version, fmx::uint8 applicationType, const ucstring& versionText);
void pluginConfigShutdown();
