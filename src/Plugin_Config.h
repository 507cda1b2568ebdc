// The store of the plug-in's process-wide objects (preferences, accounts, the status window, the
// session records, the host script and SQL queues), guarded by one named system lock that every
// thread takes before it touches any of them; and the host facts recorded at load.
#pragma once

#include "_Common/CoreCode/Orb_Variable.h"

#include <FMWrapper/FMXClient.h>

// The host's extension version, application type and version text, as they came with init.
fmx::int16 constFMAPIVersion();
fmx::uint8 constFMProduct();
const ucstring& constFMVersionStr();

void createPluginConfigLock();
// Empty when the lock is now held; otherwise why not. Waits: 10000 ms on the function path,
// 1000 ms when idle starts a queued transfer, 250 ms for idle tidying.
ucstring lockPluginConfigLock(int waitMs);
void unlockPluginConfigLock();

ucstring getPluginConfigVar(const ucstring& name, const OrbVariable*& variable);
ucstring getMutablePluginConfigVar(const ucstring& name, OrbVariable*& variable);

// Looks up a pointer variable of the store and checks it, with the frame's texts:
// "Could not get <name> Config Var: " + error, or "<name> Config Var is NULL.".
template <class T>
ucstring getPluginConfigObject(const ucstring& name, T*& object) {
    object = nullptr;
    const OrbVariable* v = nullptr;
    ucstring error = getPluginConfigVar(name, v);
    if (!error.empty()) return u"Could not get " + name + u" Config Var: " + error;
    object = static_cast<T*>(v->pointerValue());
    return object ? ucstring() : name + u" Config Var is NULL.";
}

// Holds the configuration lock for a scope; `error` tells whether it was had.
class PluginConfigLock {
public:
    explicit PluginConfigLock(int waitMs) : mError(lockPluginConfigLock(waitMs)) {}
    ~PluginConfigLock() {
        if (mError.empty()) unlockPluginConfigLock();
    }
    PluginConfigLock(const PluginConfigLock&) = delete;
    PluginConfigLock& operator=(const PluginConfigLock&) = delete;
    bool held() const { return mError.empty(); }
    const ucstring& error() const { return mError; }

private:
    ucstring mError;
};

void pluginConfigInit(fmx::int16 version, fmx::uint8 applicationType, const ucstring& versionText);
void pluginConfigShutdown();
