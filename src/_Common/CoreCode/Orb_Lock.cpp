#include "Orb_Lock.h"

#include "Plugin_Version.h"

#include <cstdlib>

namespace {
std::u16string widen(const std::string& s) { return std::u16string(s.begin(), s.end()); }
}  // namespace

std::string OrbNamedLock::systemName(const std::string& suffix) {
    const char* prefix = std::getenv("VOLAN_LOCK_PREFIX");
    return std::string(prefix && *prefix ? prefix : PLUGIN_MAKER_ID) + suffix;
}

void OrbNamedLock::create(const std::string& name) {
    std::lock_guard<std::mutex> guard(mGuard);
    if (mCreated) return;
    std::string error;
    if (mMutex.open(name, error)) mCreated = true;
}

std::u16string OrbNamedLock::lock(int waitMs) {
    if (!mCreated) return widen(mWhat + " Lock not created.");
    int code = 0;
    switch (mMutex.lock(waitMs, &code)) {
        case platform::NamedMutex::Lock::Acquired: return {};
        case platform::NamedMutex::Lock::TimedOut: return widen("Timed out trying to get " + mWhat + " Lock.");
        case platform::NamedMutex::Lock::Abandoned:
            mCreated = false;
            return widen("Couldn't get " + mWhat + " Lock; Lock Abandoned.");
        case platform::NamedMutex::Lock::Failed: break;
    }
    return widen("Couldn't get " + mWhat + " Lock; Unknown Error: " + std::to_string(code));
}

void OrbNamedLock::unlock() {
    if (mCreated) mMutex.unlock();
}

void OrbNamedLock::destroy() {
    std::lock_guard<std::mutex> guard(mGuard);
    mCreated = false;
    mMutex.close();
}
