// Every test program keeps the plug-in's named locks to itself, so test programs running side by
// side (and a plug-in the developer runs meanwhile) never share or poison each other's locks.
#include <platform/NamedMutex.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {
struct PrivateLocks {
    std::string prefix = "volan-test-" + std::to_string(getpid()) + ".";
    PrivateLocks() { setenv("VOLAN_LOCK_PREFIX", prefix.c_str(), 1); }
    ~PrivateLocks() {
        for (const char* suffix : {"Volan-Pro.pluginconfiglock", "Volan-Pro.orbconfiglock", "Volan-Pro.debuglock"})
            platform::NamedMutex::remove(prefix + suffix);
    }
} gPrivateLocks;
}  // namespace
