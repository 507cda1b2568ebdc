#include "Orb_Lock.h"

namespace {
std::u16string widen(const std::string& s) { return std::u16string(s.begin(), s.end()); }
}  // namespace

std::u16string OrbLock::lock(int waitMs) {
    if (!mCreated) return widen(mWhat + " Lock not created.");
    switch (mMutex.lock(waitMs)) {
        case platform::RecursiveTimedMutex::Lock::Acquired: return {};
        case platform::RecursiveTimedMutex::Lock::TimedOut: return widen("Timed out trying to get " + mWhat + " Lock.");
        case platform::RecursiveTimedMutex::Lock::Abandoned: break;
    }
    mCreated = false;
    return widen("Couldn't get " + mWhat + " Lock; Lock Abandoned.");
}

// Also after destroy: a thread that held the lock across it still gives it back.
void OrbLock::unlock() { mMutex.unlock(); }

namespace {
std::atomic<bool> gMultiThreaded{false};
}  // namespace

bool orbMultiThreaded() { return gMultiThreaded; }
void setORBMultiThreaded(bool multiThreaded) { gMultiThreaded = multiThreaded; }
