// A lock of the plug-in as the configuration stores and the debug log use it: created once per
// load, taken with a wait, and reporting failures as texts that name the lock. It belongs to this
// process alone: what it guards lives in this process's memory, and what processes share (the
// files in the user's plug-in folder) is guarded by file locks (Orb_FolderLock.h).
#pragma once

#include <platform/Threads.h>

#include <atomic>
#include <string>

class OrbLock {
public:
    // `what` names the lock in its texts, for example "Plugin Config".
    explicit OrbLock(const char* what) : mWhat(what) {}

    void create() { mCreated = true; }
    // The empty text when the lock is held; otherwise why not. A lock whose owner thread ended
    // while holding it is given up for the rest of this load: what it guarded may be half changed.
    std::u16string lock(int waitMs);
    void unlock();
    void destroy() { mCreated = false; }
    bool created() const { return mCreated; }

private:
    std::string mWhat;
    platform::RecursiveTimedMutex mMutex;
    std::atomic<bool> mCreated{false};
};

// False at load; the worker thread sets it before it builds the stores and clears it after it
// tears them down. While it is false the stores' lock operations succeed at once and do nothing.
bool orbMultiThreaded();
void setORBMultiThreaded(bool multiThreaded);
