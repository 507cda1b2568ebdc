// A named system lock as the configuration stores and the debug log use it: created once per
// load, taken with a wait, and reporting failures as texts that name the lock.
#pragma once

#include <platform/NamedMutex.h>

#include <atomic>
#include <mutex>
#include <string>

class OrbNamedLock {
public:
    // The system name of one of the plug-in's locks: the maker's reverse-domain prefix (or the
    // VOLAN_LOCK_PREFIX environment variable, which keeps separate installations or test runs on
    // one machine apart), then `suffix`.
    static std::string systemName(const std::string& suffix);

    // `what` names the lock in its texts, for example "Plugin Config".
    explicit OrbNamedLock(const char* what) : mWhat(what) {}

    // Opens the system mutex of that name unless this load already did.
    void create(const std::string& name);
    // The empty text when the lock is held; otherwise why not. An abandoned lock (its owner ended
    // while holding it) is given up for the rest of this load.
    std::u16string lock(int waitMs);
    void unlock();
    void destroy();
    bool created() const { return mCreated; }

private:
    std::string mWhat;
    std::mutex mGuard;  // guards opening and closing the system mutex
    platform::NamedMutex mMutex;
    std::atomic<bool> mCreated{false};
};
